#include "app/DrawingLog.h"

Q_LOGGING_CATEGORY(lcDrawing, "ovilen.drawing")
