#include "app/PreviewLog.h"

Q_LOGGING_CATEGORY(lcPreview, "ovilen.preview")
