#include "encoding/EncodingLog.h"

extern "C" {
#include <alsa/asoundlib.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
}

#include <cstdarg>
#include <cstdio>
#include <mutex>

Q_LOGGING_CATEGORY(lcEncoding, "ovilen.encoding")

namespace {

void FFmpegLog(void *avcl, int level, const char *fmt, va_list args)
{
    if (level > av_log_get_level())
        return;
    char line[1024];
    int printPrefix = 1;
    av_log_format_line2(avcl, level, fmt, args, line, sizeof line, &printPrefix);
    QByteArray text(line);
    while (text.endsWith('\n'))
        text.chop(1);
    if (text.isEmpty())
        return;
    if (level <= AV_LOG_ERROR)
        qCWarning(lcEncoding, "ffmpeg: %s", text.constData());
    else
        qCDebug(lcEncoding, "ffmpeg: %s", text.constData());
}

// ALSA reports open failures ("Unknown PCM default") through this hook; on a machine
// without sound they are expected, so they are debug messages here.
void AlsaLog(const char *file, int line, const char *function, int err, const char *fmt, ...)
{
    char text[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    qCDebug(lcEncoding, "alsa: %s:%d (%s) %s%s%s", file, line, function, text, err ? ": " : "",
            err ? snd_strerror(err) : "");
}

} // namespace

void InstallLibraryLogHandlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        av_log_set_level(AV_LOG_WARNING);
        av_log_set_callback(FFmpegLog);
        snd_lib_error_set_handler(AlsaLog);
    });
}

std::string ErrorText(int averror)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(averror, text, sizeof text);
    return text;
}
