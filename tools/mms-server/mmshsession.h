#pragma once

#include "faultinjector.h"
#include "httprequest.h"
#include "mediasource.h"
#include "mmshwire.h"
#include "packetfeed.h"
#include "tcpoutput.h"

#include <memory>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

namespace mmsserver {

class Server;

// One MMS-over-HTTP connection: reads one request, answers it (a header for Describe, the header and
// the data packets for Play, or an HTTP error) and closes, as HTTP/1.0 does.
class MmshSession final : public QObject
{
    Q_OBJECT
public:
    MmshSession(int number, QTcpSocket *socket, Server &server);
    ~MmshSession() override;

private:
    void readRequest();
    void answer(const HttpRequest &request);
    // Answers a request that gets no stream (a set status, a redirect, a login challenge ...); false if
    // the request goes on to the stream.
    bool answeredWithoutStream(const HttpRequest &request);
    void answerPage(int status, const QByteArray &title, const QByteArray &text, HttpHeaders extra = {});
    bool openSource(const HttpRequest &request);
    HttpHeaders streamHeaders(const QByteArray &contentType) const;
    void describe();
    void play(const HttpRequest &request);
    quint64 startPacket(const HttpRequest &request);
    void readStreamSelection(const HttpRequest &request);
    void sendHeaderChunks();

    void pump();
    void sendDataChunk();
    void changeStream();
    void endStream();
    void closeNow(const QString &why);
    void disconnected();
    void log(const QString &text) const;

    const int m_number;
    QTcpSocket *m_socket;
    Server &m_server;
    const bool m_live;
    FaultInjector m_faults;
    TcpOutput m_output;
    PacketFeed m_feed;
    QTimer m_pumpTimer;
    QByteArray m_in;
    bool m_answered = false;
    bool m_headOnly = false;
    bool m_closed = false;

    std::unique_ptr<MediaSource> m_source;
    QByteArray m_header;
    quint32 m_clientId = 0;
    quint8 m_incarnation = 0;
    bool m_streaming = false;
    quint32 m_sequence = 0;
};

} // namespace mmsserver
