#pragma once

#include <QObject>
#include <QString>
#include <QUdpSocket>
#include <QVariant>

namespace lumo {

// The local UDP endpoint for media data, bound once at start.
class UdpEndpoint final : public QObject
{
    Q_OBJECT
public:
    explicit UdpEndpoint(QObject *parent = nullptr);

    // Binds to the port (0: any free port). False with errorString() on failure.
    bool bind(quint16 port);
    bool isBound() const;
    quint16 localPort() const;
    QString errorString() const;

    bool hasPendingDatagram();
    qint64 pendingDatagramSize();
    // Reads the waiting datagram into `buffer` (at most `max` bytes); -1 when none. `sender`
    // and `senderPort`, when given, get where it came from.
    qint64 readDatagram(char *buffer, qint64 max, QHostAddress *sender = nullptr,
                        quint16 *senderPort = nullptr);
    // Sends one datagram (a resend request to the server).
    void send(const QByteArray &datagram, const QHostAddress &to, quint16 port);

Q_SIGNALS:
    // One or more datagrams are waiting.
    void dataReceived();

private:
    QUdpSocket m_socket;
};

} // namespace lumo
