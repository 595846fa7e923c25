#include "FuzzSupport.h"

#include <QFile>
#include <QtGlobal>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace ovilen::fuzz {
namespace {

struct TWorkDir
{
    TWorkDir()
    {
        const char *tmp = std::getenv("TMPDIR");
        Path =
            std::string(tmp && *tmp ? tmp : "/tmp") + "/ovilen-fuzz-" + std::to_string(::getpid());
        std::filesystem::create_directories(Path);
    }
    ~TWorkDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
    std::string Path;
};

} // namespace

const std::string &WorkDir()
{
    static const TWorkDir dir;
    return dir.Path;
}

QString WriteInput(const QString &AName, const QByteArray &AData)
{
    const QString path = QString::fromStdString(WorkDir()) + QLatin1Char('/') + AName;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(AData) != AData.size())
        std::abort(); // the harness itself is broken: stop rather than fuzz nothing
    return path;
}

void ClearFolder(const std::string &AFolder)
{
    std::error_code ignored;
    for (const auto &entry : std::filesystem::directory_iterator(AFolder, ignored))
        std::filesystem::remove_all(entry.path(), ignored);
}

} // namespace ovilen::fuzz

// Readers log what they refuse; millions of refusals would drown the fuzzer's
// own report.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}
