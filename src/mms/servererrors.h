#pragma once

#include <QString>
#include <QStringList>

namespace lumo {

// What the person is told about a failure code in a server command.
struct ServerErrorReport
{
    bool known = false;   // a WinSock code or a code of the table
    QStringList logLines; // the two task-log lines: the heading, then the message or the code
    QString messageBox;   // the message-box text
};

// The one mapping from a server result code to its texts.
ServerErrorReport ServerErrorText(quint32 code);

} // namespace lumo
