#pragma once

#include "options.h"

#include <memory>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QUdpSocket>

namespace mmsserver {

class Session;

// Accepts MMS connections, one Session each, and answers UDP resend requests on the same port number.
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

private:
    void acceptConnections();
    void readResendRequests();

    ServerOptions m_options;
    QString m_canonicalRoot;
    QTcpServer m_tcp;
    QUdpSocket m_udp;
    int m_sessionCount = 0;
    QHash<quint32, QPointer<Session>> m_byClientId;
};

} // namespace mmsserver
