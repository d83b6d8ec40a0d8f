#include "mmshsession.h"

#include "basiclogin.h"
#include "server.h"

#include <chrono>
#include <QRandomGenerator>

namespace mmsserver {

namespace {

const QByteArray serverName = "Cougar/9.01.01.3814";
const QByteArray headerType = "application/vnd.ms.wms-hdr.asfv1";
const QByteArray streamType = "application/x-mms-framed";

QByteArray htmlEscaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

} // namespace

MmshSession::MmshSession(int number, QTcpSocket *socket, Server &server)
    : QObject(&server), m_number(number), m_socket(socket), m_server(server), m_live(server.options().live),
      m_faults(server.options()), m_output(*socket, m_faults.drips()), m_feed(server.options(), m_faults)
{
    m_socket->setParent(this);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(m_socket, &QTcpSocket::readyRead, this, &MmshSession::readRequest);
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        m_output.bytesWritten();
        pump();
    });
    connect(m_socket, &QTcpSocket::disconnected, this, &MmshSession::disconnected);
    m_pumpTimer.setSingleShot(true);
    m_pumpTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_pumpTimer, &QTimer::timeout, this, &MmshSession::pump);
    log(QStringLiteral("HTTP connection from %1:%2")
            .arg(m_socket->peerAddress().toString())
            .arg(m_socket->peerPort()));
    if (m_socket->bytesAvailable() > 0)
        QTimer::singleShot(0, this, &MmshSession::readRequest);
}

MmshSession::~MmshSession() = default;

void MmshSession::log(const QString &text) const
{
    m_server.log(m_number, text);
}

void MmshSession::readRequest()
{
    if (m_closed)
        return;
    // Whatever follows the request (a POST body) is read and dropped, so that closing sends no reset.
    m_in.append(m_socket->readAll());
    if (m_answered) {
        m_in.clear();
        return;
    }
    HttpRequest request;
    QString why;
    switch (readHttpRequest(m_in, &request, &why)) {
    case RequestStatus::NeedMore:
        return;
    case RequestStatus::Malformed:
        m_answered = true;
        log(QStringLiteral("malformed HTTP request (%1)").arg(why));
        answerPage(400, "Bad Request", "The request could not be read.");
        return;
    case RequestStatus::Complete:
        m_answered = true;
        m_in.clear();
        answer(request);
        return;
    }
}

void MmshSession::answer(const HttpRequest &request)
{
    log(QStringLiteral("%1 %2, agent '%3'")
            .arg(QString::fromLatin1(request.method), request.path,
                 QString::fromLatin1(request.header("User-Agent"))));
    m_headOnly = request.method == "HEAD";
    if (answeredWithoutStream(request) || !openSource(request))
        return;
    if (!request.fromPlayer()) {
        log(QStringLiteral("not a player: web page"));
        answerPage(200, htmlEscaped(request.path),
                   "This is a Windows Media stream. Open it in a media player: mms://" +
                       htmlEscaped(QString::fromLatin1(request.header("Host")) + request.path));
        return;
    }
    if (request.method == "POST") {
        log(QStringLiteral("POST answered without a body"));
        m_output.append(httpAnswerHead(200, {{"Server", serverName}, {"Content-Length", "0"}}));
        m_output.closeWhenSent();
        return;
    }
    const std::optional<QString> clientId = request.pragma(QStringLiteral("client-id"));
    bool known = false;
    m_clientId = clientId ? clientId->toUInt(&known) : 0;
    if (!known)
        m_clientId = QRandomGenerator::system()->generate();
    if (request.pragma(QStringLiteral("xplaystrm")) == QStringLiteral("1"))
        play(request);
    else
        describe();
}

bool MmshSession::answeredWithoutStream(const HttpRequest &request)
{
    const ServerOptions &options = m_server.options();
    if (options.httpStatus) {
        log(QStringLiteral("answered with the set status %1").arg(*options.httpStatus));
        answerPage(*options.httpStatus, reasonPhrase(*options.httpStatus),
                   "As the server was told to answer.");
        return true;
    }
    for (const HttpRedirect &redirect : options.httpRedirects) {
        if (redirect.from == request.path) {
            log(QStringLiteral("redirected to %1").arg(redirect.to));
            answerPage(302, "Found", "Moved to " + htmlEscaped(redirect.to),
                       {{"Location", redirect.to.toUtf8()}});
            return true;
        }
    }
    if (request.method != "GET" && request.method != "HEAD" && request.method != "POST") {
        log(QStringLiteral("method not offered"));
        answerPage(501, "Not Implemented", "Only GET, HEAD and POST are offered.");
        return true;
    }
    if (options.user) {
        const QByteArray authorization = request.header("Authorization");
        const auto credentials = basicCredentials(ByteView(authorization));
        if (!loginMatches(options, credentials)) {
            log(authorization.isEmpty() ? QStringLiteral("login challenge, realm %1").arg(options.realm)
                                        : QStringLiteral("login refused for user '%1'")
                                              .arg(credentials ? credentials->user : QString()));
            const QByteArray realm = options.realm.toUtf8().replace('"', "'");
            answerPage(401, "Unauthorized", "A login is required.",
                       {{"WWW-Authenticate", "Basic realm=\"" + realm + "\""}});
            return true;
        }
        log(QStringLiteral("login accepted for user '%1'").arg(credentials->user));
    }
    return false;
}

void MmshSession::answerPage(int status, const QByteArray &title, const QByteArray &text, HttpHeaders extra)
{
    const QByteArray body =
        "<html><head><title>" + title + "</title></head><body><p>" + text + "</p></body></html>\n";
    HttpHeaders headers = {{"Server", serverName},
                           {"Content-Type", "text/html"},
                           {"Content-Length", QByteArray::number(body.size())}};
    headers += extra;
    m_output.append(httpAnswerHead(status, headers));
    if (!m_headOnly)
        m_output.append(body);
    m_output.closeWhenSent();
}

bool MmshSession::openSource(const HttpRequest &request)
{
    quint32 hr = 0;
    QString why;
    m_source = m_server.openSource(request.path, &hr, &why);
    if (m_source && m_live && m_source->info().packetCount == 0) {
        m_source.reset();
        why = QStringLiteral("no packets to loop");
    }
    if (!m_source) {
        log(QStringLiteral("not found: %1: %2").arg(request.path, why));
        answerPage(404, "Not Found", "No such stream: " + htmlEscaped(request.path));
        return false;
    }
    m_header = m_live ? makeBroadcastHeader(m_source->info()) : m_source->info().header;
    m_feed.setSource(m_source.get(), m_live);
    return true;
}

HttpHeaders MmshSession::streamHeaders(const QByteArray &contentType) const
{
    return {{"Server", serverName},
            {"Content-Type", contentType},
            {"Cache-Control", "no-cache"},
            {"Pragma", "no-cache"},
            {"Pragma", "client-id=" + QByteArray::number(m_clientId)},
            {"Pragma",
             m_live ? QByteArray("features=\"broadcast\"") : QByteArray("features=\"seekable,stridable\"")}};
}

void MmshSession::describe()
{
    m_incarnation = 0;
    const qsizetype chunkBytes = m_server.options().headerChunkBytes;
    const qsizetype chunks = (m_header.size() + chunkBytes - 1) / chunkBytes;
    HttpHeaders headers = streamHeaders(headerType);
    headers.append(
        {"Content-Length", QByteArray::number(m_header.size() + chunks * chunk::packetPrefixBytes)});
    m_output.append(httpAnswerHead(200, headers));
    if (!m_headOnly)
        sendHeaderChunks();
    log(QStringLiteral("described: header of %1 bytes in %2 chunks").arg(m_header.size()).arg(chunks));
    m_output.closeWhenSent();
}

void MmshSession::sendHeaderChunks()
{
    const qsizetype chunkBytes = m_server.options().headerChunkBytes;
    quint32 index = 0;
    for (qsizetype at = 0; at < m_header.size(); at += chunkBytes, ++index) {
        const qsizetype size = std::min(chunkBytes, m_header.size() - at);
        const bool last = at + size == m_header.size();
        const auto prefix =
            chunk::packetPrefix(chunk::header, index, m_incarnation,
                                last ? chunk::lastHeaderPieceFlag : chunk::headerPieceFlag, quint32(size));
        m_output.append(prefix.data(), qsizetype(prefix.size()));
        m_output.append(m_header.constData() + at, size);
    }
}

void MmshSession::play(const HttpRequest &request)
{
    m_incarnation =
        m_server.nextIncarnation(request.pragma(QStringLiteral("xclientguid")).value_or(QString()));
    readStreamSelection(request);
    m_output.append(httpAnswerHead(200, streamHeaders(streamType)));
    if (m_headOnly) {
        m_output.closeWhenSent();
        return;
    }
    sendHeaderChunks();
    if (m_live)
        m_feed.startAt(m_feed.liveIndexAt(m_server.broadcastMs()), PacketFeed::liveLocationBase);
    else
        m_feed.startAt(startPacket(request), 0);
    log(QStringLiteral("play from packet %1, incarnation %2").arg(m_feed.location()).arg(m_incarnation));
    m_feed.restartPacing();
    m_streaming = true;
    pump();
}

// stream-offset decides, then stream-time. An offset is meant to lie on a packet boundary after the
// header; clients also send packet × size without the header, so that is taken as well.
quint64 MmshSession::startPacket(const HttpRequest &request)
{
    const AsfInfo &info = m_source->info();
    const quint64 headerBytes = quint64(info.headerSize());
    quint64 packet = 0;
    const std::optional<QString> offsetText = request.pragma(QStringLiteral("stream-offset"));
    // 0 and "ignore" both leave the choice to stream-time.
    const quint64 offset = offsetText ? parseStreamOffset(*offsetText).value_or(0) : 0;
    const std::optional<QString> timeText = request.pragma(QStringLiteral("stream-time"));
    bool timeOk = false;
    const quint64 timeMs = timeText ? timeText->toULongLong(&timeOk) : 0;
    if (offset > 0) {
        if (offset >= headerBytes && (offset - headerBytes) % info.packetSize == 0)
            packet = (offset - headerBytes) / info.packetSize;
        else if (offset % info.packetSize == 0)
            packet = offset / info.packetSize;
        else if (offset > headerBytes)
            packet = (offset - headerBytes) / info.packetSize;
        log(QStringLiteral("stream-offset %1 is packet %2").arg(offset).arg(packet));
    } else if (timeOk && timeMs > 0) {
        packet = m_source->packetForTime(double(timeMs) / 1000.0);
        log(QStringLiteral("stream-time %1 ms is packet %2").arg(timeMs).arg(packet));
    }
    return std::min(packet, info.packetCount);
}

void MmshSession::readStreamSelection(const HttpRequest &request)
{
    const std::optional<QString> entries = request.pragma(QStringLiteral("stream-switch-entry"));
    const std::optional<QString> count = request.pragma(QStringLiteral("stream-switch-count"));
    if (!entries)
        return;
    const auto parsed = parseStreamSwitchEntries(*entries);
    if (!parsed) {
        log(QStringLiteral("unreadable stream-switch-entry '%1'").arg(*entries));
        return;
    }
    // Level 2 drops a stream; 0 (every packet) and 1 (key frames only) both send it whole.
    StreamSelection selection;
    for (const StreamSwitchEntry &entry : *parsed)
        selection.choose(entry.stream, entry.level != 2);
    m_feed.setSelection(selection);
    log(QStringLiteral("stream selection (count %1): %2")
            .arg(count.value_or(QStringLiteral("none")), selection.describe(m_source->info().streams)));
}

void MmshSession::pump()
{
    while (m_streaming && !m_closed) {
        if (m_output.isFull())
            break; // bytesWritten resumes
        qint64 waitMs = 0;
        switch (m_feed.next(&waitMs)) {
        case PacketFeed::Step::End:
            endStream();
            return;
        case PacketFeed::Step::ReadError:
            closeNow(QStringLiteral("cannot read packet %1").arg(m_feed.nextIndex()));
            return;
        case PacketFeed::Step::Wait:
            m_output.flush();
            m_pumpTimer.start(std::chrono::milliseconds(waitMs));
            return;
        case PacketFeed::Step::Drop:
            closeNow(QStringLiteral("dropping the connection after %1 data packets").arg(m_feed.dataSent()));
            return;
        case PacketFeed::Step::Send:
            break;
        }
        if (m_faults.takeStreamChange(m_feed.dataSent())) {
            changeStream();
            continue;
        }
        sendDataChunk();
    }
    m_output.flush();
}

void MmshSession::sendDataChunk()
{
    const quint64 sent = m_feed.dataSent();
    if (m_faults.takeCorruptPacket(sent)) {
        log(QStringLiteral("broken chunk after %1 data packets").arg(sent));
        const quint32 junkBytes = 8 + m_source->info().packetSize;
        m_output.append(chunk::brokenFraming(junkBytes));
        m_output.append(QByteArray(junkBytes, char(0xEE)));
    }
    if (m_faults.metadataDue(sent)) {
        const QByteArray text = QStringLiteral("lumo-mms-server: %1 data packets sent").arg(sent).toUtf8();
        const auto prefix = chunk::packetPrefix(chunk::metadata, quint32(m_feed.location()), m_incarnation, 0,
                                                quint32(text.size()));
        m_output.append(prefix.data(), qsizetype(prefix.size()));
        m_output.append(text);
    }
    const quint32 bytes = m_feed.sendBytes();
    const auto prefix = chunk::packetPrefix(chunk::data, quint32(m_feed.location()), m_incarnation,
                                            quint8(m_sequence++), bytes);
    m_output.append(prefix.data(), qsizetype(prefix.size()));
    m_output.append(m_feed.packet(), bytes);
    m_feed.sent();
}

// The next entry begins: $E (reason 1), $C, its header, and its packets numbered from 0 again.
void MmshSession::changeStream()
{
    log(QStringLiteral("stream change after %1 data packets").arg(m_feed.dataSent()));
    m_output.append(chunk::endOfStream(chunk::endOfEntry));
    m_output.append(chunk::streamChange());
    if (!m_server.options().streamChangeHeader.isEmpty()) {
        QString why;
        m_source = m_server.openStreamChangeSource(&why);
        if (!m_source || (m_live && m_source->info().packetCount == 0)) {
            closeNow(QStringLiteral("cannot open the next entry: %1").arg(why));
            return;
        }
        m_header = m_live ? makeBroadcastHeader(m_source->info()) : m_source->info().header;
    }
    m_feed.setSource(m_source.get(), m_live);
    m_feed.startAt(0, 0);
    m_feed.restartPacing();
    sendHeaderChunks();
}

void MmshSession::endStream()
{
    m_streaming = false;
    m_pumpTimer.stop();
    m_output.append(chunk::endOfStream(chunk::endOfContent));
    log(QStringLiteral("end of stream after %1 data packets").arg(m_feed.dataSent()));
    if (m_feed.selection().dropsAny())
        log(m_feed.selectionReport());
    m_output.closeWhenSent();
}

void MmshSession::closeNow(const QString &why)
{
    if (m_closed)
        return;
    log(why);
    m_streaming = false;
    m_pumpTimer.stop();
    m_output.closeNow();
    m_closed = true;
}

void MmshSession::disconnected()
{
    m_pumpTimer.stop();
    m_streaming = false;
    m_closed = true;
    m_output.stop();
    log(QStringLiteral("closed"));
    deleteLater();
}

} // namespace mmsserver
