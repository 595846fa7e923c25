#pragma once

#include <QLoggingCategory>

// Diagnostics of the annotation-canvas library ("ovilen.canvaslib").
Q_DECLARE_LOGGING_CATEGORY(lcCanvasLib)
