#pragma once

#include <QLoggingCategory>

// Diagnostics of the drawing commands ("ovilen.drawing").
Q_DECLARE_LOGGING_CATEGORY(lcDrawing)
