#pragma once

#include <QLoggingCategory>
#include <string>

// Diagnostics of the recording layer ("ovilen.encoding").
Q_DECLARE_LOGGING_CATEGORY(lcEncoding)

// Sends FFmpeg's and ALSA's own messages to the "ovilen.encoding" category instead of
// stderr. Safe to call more than once; the first call installs the handlers.
void InstallLibraryLogHandlers();

// FFmpeg's text for an AVERROR code, such as "Permission denied".
std::string ErrorText(int averror);
