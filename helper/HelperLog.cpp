#include "helper/HelperLog.h"

Q_LOGGING_CATEGORY(lcHelper, "inkora.helper")
