#pragma once

#include "mms/udpgaps.h"

#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <optional>

namespace lumo {

class TaskLog;
class UdpEndpoint;
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

    UdpMediaIntake(DownloadTask &task, UdpEndpoint &udp, TaskLog &log, QObject *parent = nullptr);

    // A UDP task starts: datagrams from `server` only; resend requests go to its `port`.
    void begin(const QHostAddress &server, quint16 port);
    void end();

    // Takes every waiting datagram. `wanted` false: UDP is not in use and they are dropped.
    void readPending(bool wanted);
    // The stream's data packets run up to this location: the last ones may have been lost.
    void expectUpTo(quint32 lastLocation);

Q_SIGNALS:
    // A datagram larger than the program takes was dropped.
    void datagramTooLarge();

private:
    void take(const char *datagram, qsizetype size);
    void askAgain();
    void publishGaps();

    DownloadTask &m_task;
    UdpEndpoint &m_udp;
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
