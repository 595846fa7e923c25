#pragma once

#include <QLoggingCategory>

// Diagnostics of the settings, language and device-support layer ("ovilen.support").
Q_DECLARE_LOGGING_CATEGORY(lcSupport)
