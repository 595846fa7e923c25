#include "support/Config.h"

#include "support/Common.h"
#include "support/IniFile.h"

#include <QDir>

std::unique_ptr<TConfig> Config;

namespace {
const QString SectionCommon = QStringLiteral("COMMON");
const QString SectionVideo = QStringLiteral("VIDEO");
const QString KeyPathImage = QStringLiteral("PathImage");
const QString KeyPathMovie = QStringLiteral("PathMovie");
const QString KeyVideoRotate = QStringLiteral("VideoRotate");
const QString KeyBrightness = QStringLiteral("Brightness");
} // namespace

TConfig::TConfig(QString APathData)
    : FPathData(std::move(APathData))
{
    Load();
}

TConfig::~TConfig()
{
    Save();
}

QString TConfig::CfgFileName() const
{
    return FPathData + u'/' + QLatin1String(FileName);
}

void TConfig::Load()
{
    const TIniFile ini(CfgFileName());
    RecordSize = {1280, 720};
    VideoDevice.Format = QLatin1String(DefaultFormat);
    VideoProperty.Brightness = ini.ReadInteger(SectionVideo, KeyBrightness, 0);
    // Present only as a number: a value that does not read as one gives the
    // default, as if absent.
    const QString brightness = ini.ReadString(SectionVideo, KeyBrightness, QString());
    VideoProperty.HasBrightness = ini.ValueExists(SectionVideo, KeyBrightness) &&
                                  StrToIntDef(brightness, 0) == StrToIntDef(brightness, 1);
    VideoRotate = ini.ReadInteger(SectionVideo, KeyVideoRotate, 0);
    // An empty folder value means the default folder: files must never be
    // written into the root folder.
    PathImage = ini.ReadString(SectionCommon, KeyPathImage, DefaultPathImage());
    if (PathImage.isEmpty())
        PathImage = DefaultPathImage();
    PathMovie = ini.ReadString(SectionCommon, KeyPathMovie, DefaultPathMovie());
    if (PathMovie.isEmpty())
        PathMovie = DefaultPathMovie();
    QDir().mkpath(PathImage);
    QDir().mkpath(PathMovie);
}

bool TConfig::Save()
{
    TIniFile ini(CfgFileName());
    ini.WriteString(SectionCommon, KeyPathImage, PathImage);
    ini.WriteString(SectionCommon, KeyPathMovie, PathMovie);
    ini.WriteInteger(SectionVideo, KeyVideoRotate, VideoRotate);
    return ini.UpdateFile();
}
