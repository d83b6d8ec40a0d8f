#include "ui/instancechannel.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace lumo {

InstanceChannel::InstanceChannel(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        }
    });
}

QString InstanceChannel::channelName()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QByteArray hash =
        QCryptographicHash::hash(config.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("lumo-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

bool InstanceChannel::handOver(const QStringList &arguments, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(channelName());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << arguments;
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // The running one answers once it has taken them.
    return socket.waitForReadyRead(timeoutMs) && socket.readAll() == "ok";
}

bool InstanceChannel::listen()
{
    // A channel left by a Lumo that crashed would refuse the name.
    QLocalServer::removeServer(channelName());
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    return m_server.listen(channelName());
}

void InstanceChannel::readFrom(QLocalSocket *socket)
{
    QDataStream in(socket);
    in.startTransaction();
    QStringList arguments;
    in >> arguments;
    if (!in.commitTransaction())
        return; // not all here yet
    socket->write("ok");
    socket->flush();
    Q_EMIT received(arguments);
}

} // namespace lumo
