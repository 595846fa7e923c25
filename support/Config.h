#pragma once

#include <QString>
#include <memory>

struct TVideoInfo
{
    QString Format; // resolution text of the current run, e.g. "1600x1200 MJPG"
};

struct TVideoProperty
{
    int Brightness = 0;
    // "Brightness" is written in the file. Without it Brightness is only the
    // built-in 0, which must not reach a camera (0 is near black on a 0-255
    // camera): the camera's own value stays.
    bool HasBrightness = false;
};

struct TSizeRecord
{
    int cx = 0;
    int cy = 0;
};

// The settings kept between runs in "Ovilen.cfg" in the data folder.
class TConfig
{
public:
    static constexpr const char *FileName = "Ovilen.cfg";
    static constexpr const char *DefaultFormat = "1600x1200 MJPG";

    // Loads from APathData/Ovilen.cfg; the file is only read.
    explicit TConfig(QString APathData);
    // Saves, as at every program end.
    ~TConfig();
    TConfig(const TConfig &) = delete;
    TConfig &operator=(const TConfig &) = delete;

    // Writes PathImage, PathMovie and VideoRotate, keeping every other entry
    // of the file. Failures are swallowed (false is returned for callers
    // that care); the fields are not changed.
    bool Save();

    QString CfgFileName() const;
    QString DefaultPathImage() const { return FPathData + QStringLiteral("/Image"); }
    QString DefaultPathMovie() const { return FPathData + QStringLiteral("/Movie"); }

    TVideoInfo VideoDevice;
    TVideoProperty VideoProperty;
    int VideoRotate = 0;
    TSizeRecord RecordSize;
    QString PathImage;
    QString PathMovie;

private:
    void Load();

    QString FPathData;
};

// The program's settings, created at start-up after InitFolders.
extern std::unique_ptr<TConfig> Config;
