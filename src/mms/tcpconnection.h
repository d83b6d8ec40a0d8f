#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>

#include <atomic>
#include <mutex>

namespace lumo {

// The TCP connection to the media server. Lives on the event thread and raises its events
// there; sendText() and the local address may also be used from the worker.
class TcpConnection final : public QObject
{
    Q_OBJECT
public:
    explicit TcpConnection(QObject *parent = nullptr);

    // Opens the connection; with bypassDns the host must be a numeric address (no lookup).
    void open(const QString &host, quint16 port, bool bypassDns);
    bool isActive() const;
    // Ends the connection. Our own close raises no disconnected() event.
    void close();

    // Sends one whole message, after every message sent before it. Any thread.
    void sendText(const QByteArray &bytes);

    // Reads what the connection holds, up to `max` bytes, straight from the system (the socket
    // keeps no buffer of its own). 0: nothing now (readyRead() tells when there is more);
    // -1: the connection has ended and atEnd() is true. The first end raises disconnected()
    // from the event loop, unless our own close() caused it.
    qint64 read(char *to, qint64 max);
    bool atEnd() const { return m_atEnd; }
    // Reads and drops whatever has arrived.
    void discardInput();

    // Valid from connected() on; safe from any thread.
    QString remoteAddress() const;
    quint16 remotePort() const;
    QString localAddress() const;
    quint16 localPort() const;

Q_SIGNALS:
    void lookup();
    void connecting();
    void connected();
    void readyRead();
    void disconnected();
    void error(int code);

private:
    void writeNow(const QByteArray &bytes);
    void reportEnd();

    QTcpSocket m_socket;
    bool m_closing = false;
    bool m_atEnd = false;
    bool m_endReported = false;
    quint64 m_session = 0; // an end found in an earlier connection is not reported in this one
    std::atomic<int> m_queuedSends{0};
    mutable std::mutex m_addressMutex;
    QString m_remoteAddress, m_localAddress;
    quint16 m_remotePort = 0, m_localPort = 0;
};

} // namespace lumo
