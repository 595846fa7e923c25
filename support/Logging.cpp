#include "support/Logging.h"

Q_LOGGING_CATEGORY(lcSupport, "ovilen.support")
