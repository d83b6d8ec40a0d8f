#pragma once

#include <QString>

#include <optional>

namespace lumo {

// The log line and the message of a task's end.
struct EndTexts
{
    QString logLine;
    QString message;
};

// Why a connection could not be made, for a socket error the system reported while connecting;
// nullopt for an error that is left to the connect time-out.
std::optional<EndTexts> connectionFailureTexts(int socketError, const QString &host);

// A stored download ended early: how much is on disk, and how to go on.
QString interruptedMessage(const QString &reason, quint32 packetsHeld, quint32 packetCount);

// How a task ended, for the desktop notification.
enum class TaskEnd
{
    Completed,
    StoppedByPerson, // Stop, or a lumo-cli --for that ran out: no notification
    Interrupted,     // a stored download cut off: a resume continues it
    Failed,          // an error ended it
};

// The notification of a task's end: nothing when the person ended it. `lastLogLine` names the
// cause of a failure.
struct Notice
{
    QString summary;
    QString body;
};
std::optional<Notice> taskEndNotice(TaskEnd end, const QString &saveFile, const QString &lastLogLine);

// Start's message for a TCP port that is missing or not a number.
QString noPortMessage();

// The local UDP port could not be bound (another program holds it, or a second Lumo runs): the
// log line at start, and Start's message when UDP is chosen.
QString udpPortUnavailableLogLine(quint16 port, const QString &why);
QString udpPortUnavailableMessage(quint16 port);

} // namespace lumo
