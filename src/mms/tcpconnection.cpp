#include "mms/tcpconnection.h"

#include <QHostAddress>
#include <QThread>

namespace lumo {

namespace {
QString addressText(const QHostAddress &address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : address.toString();
}
} // namespace

TcpConnection::TcpConnection(QObject *parent) : QObject(parent), m_socket(this)
{
    connect(&m_socket, &QAbstractSocket::stateChanged, this, [this](QAbstractSocket::SocketState s) {
        if (s == QAbstractSocket::ConnectingState)
            Q_EMIT connecting();
    });
    connect(&m_socket, &QAbstractSocket::connected, this, [this] {
        {
            std::lock_guard lock(m_addressMutex);
            m_remoteAddress = addressText(m_socket.peerAddress());
            m_remotePort = m_socket.peerPort();
            m_localAddress = addressText(m_socket.localAddress());
            m_localPort = m_socket.localPort();
        }
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        Q_EMIT connected();
    });
    connect(&m_socket, &QAbstractSocket::readyRead, this, &TcpConnection::readyRead);
    connect(&m_socket, &QAbstractSocket::disconnected, this, &TcpConnection::reportEnd);
    connect(&m_socket, &QAbstractSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError e) { Q_EMIT error(int(e)); });
}

void TcpConnection::open(const QString &host, quint16 port, bool bypassDns)
{
    ++m_session;
    m_closing = m_atEnd = m_endReported = false;
    // Unbuffered: reads go from the system straight into RecvBuffer, without a copy in
    // between, and a full RecvBuffer leaves the bytes in the system, whose flow control then
    // slows the server.
    constexpr QIODevice::OpenMode mode = QIODevice::ReadWrite | QIODevice::Unbuffered;
    Q_EMIT lookup();
    if (bypassDns) {
        const QHostAddress address(host);
        if (address.isNull()) {
            // Not a numeric address: nothing to connect to; the connect time-out ends the task.
            Q_EMIT error(int(QAbstractSocket::HostNotFoundError));
            return;
        }
        m_socket.connectToHost(address, port, mode);
    } else {
        m_socket.connectToHost(host, port, mode);
    }
}

bool TcpConnection::isActive() const
{
    return m_socket.state() != QAbstractSocket::UnconnectedState;
}

void TcpConnection::close()
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this] { close(); }, Qt::BlockingQueuedConnection);
        return;
    }
    m_closing = true;
    m_socket.abort();
}

qint64 TcpConnection::read(char *to, qint64 max)
{
    if (!m_socket.isOpen())
        m_atEnd = true; // closed by us, or never opened
    if (m_atEnd)
        return -1;
    // Still looking up or connecting: nothing to read yet (an end is told by a read, or by
    // Qt's own disconnected()).
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        return 0;
    const qint64 got = m_socket.read(to, max);
    if (got >= 0)
        return got;
    // An unbuffered socket learns of the end only here, and Qt then raises no event for it.
    m_atEnd = true;
    QMetaObject::invokeMethod(
        this,
        [this, session = m_session] {
            if (session == m_session)
                reportEnd();
        },
        Qt::QueuedConnection);
    return -1;
}

void TcpConnection::discardInput()
{
    char scrap[16 * 1024];
    while (read(scrap, sizeof scrap) > 0) {
    }
}

void TcpConnection::reportEnd()
{
    m_atEnd = true;
    if (m_closing || m_endReported)
        return;
    m_endReported = true;
    Q_EMIT disconnected();
}

void TcpConnection::sendText(const QByteArray &bytes)
{
    if (QThread::currentThread() == thread() && m_queuedSends == 0) {
        writeNow(bytes);
        return;
    }
    ++m_queuedSends;
    QMetaObject::invokeMethod(
        this,
        [this, bytes] {
            --m_queuedSends;
            writeNow(bytes);
        },
        Qt::QueuedConnection);
}

void TcpConnection::writeNow(const QByteArray &bytes)
{
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        m_socket.write(bytes);
}

QString TcpConnection::remoteAddress() const
{
    std::lock_guard lock(m_addressMutex);
    return m_remoteAddress;
}

quint16 TcpConnection::remotePort() const
{
    std::lock_guard lock(m_addressMutex);
    return m_remotePort;
}

QString TcpConnection::localAddress() const
{
    std::lock_guard lock(m_addressMutex);
    return m_localAddress;
}

quint16 TcpConnection::localPort() const
{
    std::lock_guard lock(m_addressMutex);
    return m_localPort;
}

} // namespace lumo
