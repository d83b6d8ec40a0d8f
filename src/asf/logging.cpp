#include "asf/logging.h"

Q_LOGGING_CATEGORY(lcAsf, "lumo.asf", QtWarningMsg)
