#include "canvaslib/CanvasLog.h"

Q_LOGGING_CATEGORY(lcCanvasLib, "ovilen.canvaslib")
