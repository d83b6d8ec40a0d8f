#pragma once

#include "options.h"

#include <memory>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QUdpSocket>

namespace mmsserver {

class Session;

// Accepts connections on one port: binary MMS goes to a Session, MMS over HTTP to an MmshSession, told
// apart by their first bytes. Answers UDP resend requests on the same port number.
class Server : public QObject
{
    Q_OBJECT
public:
    explicit Server(ServerOptions options, QObject *parent = nullptr);
    ~Server() override;

    bool listen(QString *error);
    quint16 port() const { return m_tcp.serverPort(); }
    QHostAddress address() const { return m_tcp.serverAddress(); }

    const ServerOptions &options() const { return m_options; }
    void log(int session, const QString &text) const;
    QUdpSocket &udp() { return m_udp; }
    // Resolves an OpenFile path to a source. On failure sets the hr for 0x06 and a reason for the log.
    std::unique_ptr<MediaSource> openSource(const QString &requestPath, quint32 *hr, QString *why) const;
    // The entry a stream changes to with --stream-change-header.
    std::unique_ptr<MediaSource> openStreamChangeSource(QString *why) const;
    // How long the live broadcast has been on the air: every HTTP client joins it there.
    qint64 broadcastMs() const { return m_onAir.elapsed(); }
    // The Incarnation of a client's next Play: 1, 2, 3 ... per xClientGUID.
    quint8 nextIncarnation(const QString &clientGuid);

private:
    void acceptConnections();
    // Hands a new connection to the session for its protocol once its first bytes tell which.
    void route(QTcpSocket *socket);
    void readResendRequests();
    // What every opened source goes through before it is served.
    std::unique_ptr<MediaSource> prepared(std::unique_ptr<MediaSource> source, const QString &name) const;

    ServerOptions m_options;
    QString m_canonicalRoot;
    QTcpServer m_tcp;
    QUdpSocket m_udp;
    int m_sessionCount = 0;
    QHash<quint32, QPointer<Session>> m_byClientId;
    QElapsedTimer m_onAir;
    QHash<QString, quint8> m_playsByClient;
};

} // namespace mmsserver
