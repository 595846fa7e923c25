#include "canvas/CanvasLog.h"

Q_LOGGING_CATEGORY(lcCanvas, "ovilen.canvas")
