#include "mms/udpendpoint.h"

namespace lumo {

namespace {
// Media bursts arrive faster than one event-loop turn; give the kernel room to hold them.
constexpr int ReceiveBufferBytes = 4 * 1024 * 1024;
} // namespace

UdpEndpoint::UdpEndpoint(QObject *parent) : QObject(parent), m_socket(this)
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &UdpEndpoint::dataReceived);
}

bool UdpEndpoint::bind(quint16 port)
{
    // Not shared: a second program (or a second Lumo) on the same port would take our datagrams.
    if (!m_socket.bind(QHostAddress::AnyIPv4, port, QAbstractSocket::DontShareAddress))
        return false;
    m_socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(ReceiveBufferBytes));
    return true;
}

bool UdpEndpoint::isBound() const
{
    return m_socket.state() == QAbstractSocket::BoundState;
}

quint16 UdpEndpoint::localPort() const
{
    return m_socket.localPort();
}

QString UdpEndpoint::errorString() const
{
    return m_socket.errorString();
}

bool UdpEndpoint::hasPendingDatagram()
{
    return m_socket.hasPendingDatagrams();
}

qint64 UdpEndpoint::pendingDatagramSize()
{
    return m_socket.pendingDatagramSize();
}

qint64 UdpEndpoint::readDatagram(char *buffer, qint64 max, QHostAddress *sender, quint16 *senderPort)
{
    return m_socket.readDatagram(buffer, max, sender, senderPort);
}

void UdpEndpoint::send(const QByteArray &datagram, const QHostAddress &to, quint16 port)
{
    m_socket.writeDatagram(datagram, to, port);
}

} // namespace lumo
