#pragma once

#include <QStringList>

class QPrinter;

namespace lumo {

// Prints the task log on one page: the heading, then the numbered lines; lines below the
// printable area are left out. Returns false when the printer could not be started.
bool printLog(QPrinter &printer, const QStringList &lines);

} // namespace lumo
