#pragma once

#include <QLoggingCategory>

// Diagnostics of the program and its main window ("ovilen.app").
Q_DECLARE_LOGGING_CATEGORY(lcApp)
