#pragma once

#include "mms/udpgaps.h"

#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <optional>

namespace lumo {

class TaskLog;
class UdpRouter;
struct DownloadTask;

// The media datagrams of a UDP task, on the event thread: only the server's are taken, the
// queue they wait in is bounded, each data packet's place is fixed by the start the server
// counts from, and lost packets are asked for again (RequestPacketListResend on the server's
// UDP port) a bounded number of times. The task's UDP fields tell the worker what is missing.
class UdpMediaIntake final : public QObject
{
    Q_OBJECT
public:
    // Datagrams waiting for the worker at most; beyond this they are dropped and asked for again.
    static constexpr qsizetype BacklogLimit = 8 * 1024 * 1024;
    static constexpr qsizetype LargestDatagram = 99999;

    UdpMediaIntake(DownloadTask &task, TaskLog &log, QObject *parent = nullptr);
    ~UdpMediaIntake() override;

    // A UDP task starts: datagrams from `server` come through `router`; resend requests go to
    // the server's `port`.
    void begin(const QHostAddress &server, quint16 port, UdpRouter &router);
    void end();
    QHostAddress server() const { return m_server; }
    quint16 serverPort() const { return m_serverPort; }

    // From the router: a datagram of this task's server; one from elsewhere (logged once); one
    // larger than the program takes.
    void deliver(const char *datagram, qsizetype size);
    void stranger(const QHostAddress &sender);
    void tooLarge();
    // Asks for what is missing and due (after datagrams came, and on its own timer).
    void askAgain();
    // The stream's data packets run up to this location: the last ones may have been lost.
    void expectUpTo(quint32 lastLocation);

Q_SIGNALS:
    // A datagram larger than the program takes was dropped.
    void datagramTooLarge();

private:
    void publishGaps();

    DownloadTask &m_task;
    UdpRouter *m_router = nullptr;
    TaskLog &m_log;
    QTimer m_retryTimer;
    UdpGapTracker m_gaps;
    QHostAddress m_server;
    quint16 m_serverPort = 0;
    bool m_active = false;
    std::optional<quint32> m_offset; // location - sequence, the same for every packet of the task
    bool m_strangerLogged = false;
    bool m_backlogLogged = false;
};

} // namespace lumo
