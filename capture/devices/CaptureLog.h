#pragma once

#include <QLoggingCategory>

// Diagnostics of the capture engine ("ovilen.capture"): the fixed failure
// texts of the pipeline build, device and stream errors.
Q_DECLARE_LOGGING_CATEGORY(lcCapture)
