#pragma once

#include <QLoggingCategory>

// Diagnostics of the preview commands ("ovilen.preview").
Q_DECLARE_LOGGING_CATEGORY(lcPreview)
