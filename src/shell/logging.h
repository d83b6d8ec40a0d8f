#pragma once

#include <QLoggingCategory>

// Developer diagnostics of this layer ("lumo.shell"), quiet below warnings. The task log is the
// person's log; this is not.
Q_DECLARE_LOGGING_CATEGORY(lcShell)
