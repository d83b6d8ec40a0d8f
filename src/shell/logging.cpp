#include "shell/logging.h"

Q_LOGGING_CATEGORY(lcShell, "lumo.shell", QtWarningMsg)
