#pragma once

#include <QLoggingCategory>

// Diagnostics of the canvas binding ("ovilen.canvas").
Q_DECLARE_LOGGING_CATEGORY(lcCanvas)
