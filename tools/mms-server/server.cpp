#include "server.h"

#include "httprequest.h"
#include "messages.h"
#include "mmshsession.h"
#include "session.h"

#include <cstdio>
#include <QDir>
#include <QFileInfo>
#include <QNetworkDatagram>

namespace mmsserver {

namespace {
constexpr quint32 resendSignature = 0xBEEFF00D;
constexpr int maxResendPackets = 32;
constexpr qsizetype sniffBytes = 16;
constexpr qsizetype maxRememberedClients = 10000;
} // namespace

Server::Server(ServerOptions options, QObject *parent) : QObject(parent), m_options(std::move(options))
{
    connect(&m_tcp, &QTcpServer::newConnection, this, &Server::acceptConnections);
    connect(&m_udp, &QUdpSocket::readyRead, this, &Server::readResendRequests);
}

Server::~Server() = default;

bool Server::listen(QString *error)
{
    const QFileInfo root(m_options.root);
    if (!root.isDir() || !root.isReadable()) {
        *error = QStringLiteral("--root %1 is not a readable folder").arg(m_options.root);
        return false;
    }
    m_canonicalRoot = root.canonicalFilePath();
    if (!m_options.streamChangeHeader.isEmpty()) {
        QString why;
        if (!openStreamChangeSource(&why)) {
            *error = QStringLiteral("--stream-change-header %1: %2").arg(m_options.streamChangeHeader, why);
            return false;
        }
    }
    if (!m_tcp.listen(m_options.address, m_options.port)) {
        *error = QStringLiteral("cannot listen on %1:%2: %3")
                     .arg(m_options.address.toString())
                     .arg(m_options.port)
                     .arg(m_tcp.errorString());
        return false;
    }
    // Resend requests arrive on the UDP port with the TCP port's number; without it UDP data still works.
    if (!m_udp.bind(m_options.address, m_tcp.serverPort()))
        log(0, QStringLiteral("no UDP resend port: %1").arg(m_udp.errorString()));
    m_onAir.start();
    return true;
}

void Server::log(int session, const QString &text) const
{
    if (!m_options.verbose)
        return;
    const QByteArray line = (session > 0 ? QStringLiteral("session %1: %2\n").arg(session).arg(text)
                                         : QStringLiteral("server: %1\n").arg(text))
                                .toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

std::unique_ptr<MediaSource> Server::openSource(const QString &requestPath, quint32 *hr, QString *why) const
{
    QString path = requestPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    for (const SyntheticSpec &shape : m_options.synthetic) {
        if (shape.name == path)
            return prepared(std::make_unique<SyntheticSource>(shape), path);
    }
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.contains(QStringLiteral(".."))) {
        *hr = hresult::invalidName;
        *why = QStringLiteral("path refused");
        return nullptr;
    }
    const QFileInfo file(QDir(m_canonicalRoot).filePath(parts.join(QLatin1Char('/'))));
    if (!file.isFile()) {
        *hr = hresult::fileNotFound;
        *why = QStringLiteral("no such file");
        return nullptr;
    }
    // A symbolic link may still lead out of the root.
    if (!file.canonicalFilePath().startsWith(m_canonicalRoot + QLatin1Char('/'))) {
        *hr = hresult::invalidName;
        *why = QStringLiteral("path leaves the root");
        return nullptr;
    }
    QString error;
    auto source = FileSource::open(file.filePath(), &error);
    if (!source) {
        *hr = hresult::fileOpenFailed;
        *why = error;
        return nullptr;
    }
    return prepared(std::move(source), path);
}

std::unique_ptr<MediaSource> Server::openStreamChangeSource(QString *why) const
{
    auto source = FileSource::open(m_options.streamChangeHeader, why);
    return source ? prepared(std::move(source), m_options.streamChangeHeader) : nullptr;
}

std::unique_ptr<MediaSource> Server::prepared(std::unique_ptr<MediaSource> source, const QString &name) const
{
    if (m_options.exclusiveVideo) {
        QString note;
        source->groupVideoStreams(&note);
        log(0, QStringLiteral("%1: %2").arg(name, note));
    }
    return source;
}

quint8 Server::nextIncarnation(const QString &clientGuid)
{
    if (clientGuid.isEmpty())
        return 1;
    if (m_playsByClient.size() >= maxRememberedClients)
        m_playsByClient.clear();
    quint8 &plays = m_playsByClient[clientGuid];
    // 0 belongs to the Describe answer.
    plays = plays == 0xFF ? 1 : plays + 1;
    return plays;
}

void Server::acceptConnections()
{
    while (QTcpSocket *socket = m_tcp.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { route(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void Server::route(QTcpSocket *socket)
{
    const std::optional<bool> http = startsHttpRequest(socket->peek(sniffBytes));
    if (!http)
        return;
    // The session takes the socket over, with its lifetime.
    disconnect(socket, nullptr, this, nullptr);
    disconnect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    if (*http) {
        new MmshSession(++m_sessionCount, socket, *this);
        return;
    }
    if (m_options.noMmst) {
        log(0, QStringLiteral("binary MMS from %1 refused: closed at once")
                   .arg(socket->peerAddress().toString()));
        socket->close();
        socket->deleteLater();
        return;
    }
    auto *session = new Session(++m_sessionCount, socket, *this);
    m_byClientId.insert(session->clientId(), session);
    connect(session, &QObject::destroyed, this,
            [this, id = session->clientId()] { m_byClientId.remove(id); });
}

void Server::readResendRequests()
{
    while (m_udp.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_udp.receiveDatagram(2048);
        const QByteArray bytes = datagram.data();
        const ByteView v(bytes);
        if (v.u32(0) != resendSignature) {
            log(0, QStringLiteral("ignored a UDP datagram of %1 bytes").arg(bytes.size()));
            continue;
        }
        const auto clientId = v.u32(4);
        const quint16 count = std::min<quint16>(v.u16(10).value_or(0), maxResendPackets);
        const auto session = m_byClientId.value(clientId.value_or(0));
        if (!session) {
            log(0, QStringLiteral("resend request for unknown client id"));
            continue;
        }
        QList<quint32> sequences;
        for (quint16 i = 0; i < count; ++i) {
            if (const auto seq = v.u32(12 + 4 * i))
                sequences.append(*seq);
        }
        session->resend(sequences);
    }
}

} // namespace mmsserver
