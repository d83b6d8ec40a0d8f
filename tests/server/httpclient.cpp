#include "httpclient.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QUuid>

namespace servertest {

QByteArray HttpAnswer::header(const QByteArray &name) const
{
    const QList<QByteArray> values = headerValues(name);
    return values.isEmpty() ? QByteArray() : values.last();
}

QList<QByteArray> HttpAnswer::headerValues(const QByteArray &name) const
{
    QList<QByteArray> values;
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            values.append(value);
    }
    return values;
}

HttpAnswer httpExchange(quint16 port, const QByteArray &request, int timeoutMs)
{
    HttpAnswer answer;
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(timeoutMs))
        return answer;
    socket.write(request);
    QByteArray bytes;
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        bytes += socket.readAll();
        if (socket.state() == QAbstractSocket::UnconnectedState)
            break;
        socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
    }
    bytes += socket.readAll();
    answer.closed = socket.state() == QAbstractSocket::UnconnectedState;
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    if (end < 0)
        return answer;
    const QList<QByteArray> lines = bytes.left(end).split('\n');
    answer.statusLine = lines.first().trimmed();
    const QList<QByteArray> statusParts = answer.statusLine.split(' ');
    answer.status = statusParts.size() >= 2 ? statusParts[1].toInt() : 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            answer.headers.append({lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
    }
    answer.body = bytes.mid(end + 4);
    return answer;
}

QByteArray playerRequest(const QString &path, const QStringList &extra)
{
    QByteArray request = "GET " + path.toUtf8() +
                         " HTTP/1.0\r\n"
                         "Accept: */*\r\n"
                         "User-Agent: NSPlayer/4.1.0.3856\r\n"
                         "Host: 127.0.0.1\r\n"
                         "Pragma: no-cache,rate=1.000000,stream-time=0,stream-offset=0:0,request-context=1,"
                         "max-duration=0\r\n";
    for (const QString &line : extra)
        request += line.toUtf8() + "\r\n";
    return request + "Connection: Close\r\n\r\n";
}

QByteArray playRequest(const QString &path, const QStringList &extra, const QString &clientGuid)
{
    const QString guid = clientGuid.isEmpty() ? QUuid::createUuid().toString() : clientGuid;
    return playerRequest(path, QStringList{"Pragma: xPlayStrm=1", "Pragma: xClientGUID=" + guid,
                                           "Pragma: stream-switch-count=2",
                                           "Pragma: stream-switch-entry=ffff:1:0 ffff:2:0"} +
                                   extra);
}

std::vector<Chunk> splitChunks(const QByteArray &body, QByteArray *rest)
{
    std::vector<Chunk> chunks;
    qsizetype at = 0;
    while (body.size() - at >= 4) {
        const quint8 start = quint8(body.at(at));
        const quint16 length = u16(body, at + 2);
        if ((start != 0x24 && start != 0xA4) || body.size() - at - 4 < length)
            break;
        chunks.push_back({start, body.at(at + 1), length, body.mid(at + 4, length)});
        at += 4 + length;
    }
    if (rest)
        *rest = body.mid(at);
    return chunks;
}

std::vector<Chunk> chunksOfType(const std::vector<Chunk> &chunks, char type)
{
    std::vector<Chunk> out;
    for (const Chunk &c : chunks) {
        if (c.type == type)
            out.push_back(c);
    }
    return out;
}

} // namespace servertest
