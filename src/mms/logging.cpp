#include "mms/logging.h"

Q_LOGGING_CATEGORY(lcMms, "lumo.mms", QtWarningMsg)
