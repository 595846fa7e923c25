#include "capture/devices/CaptureLog.h"

Q_LOGGING_CATEGORY(lcCapture, "ovilen.capture")
