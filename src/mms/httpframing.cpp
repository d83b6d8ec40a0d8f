#include "mms/httpframing.h"

#include "shell/bytereader.h"

#include <QUrl>

namespace lumo::mmsh {

std::optional<ChunkHead> readChunkHead(const char *bytes)
{
    const quint8 mark = quint8(bytes[0]);
    if (mark != 0x24 && mark != 0xA4)
        return std::nullopt;
    return ChunkHead{quint8(bytes[1]), quint16(quint8(bytes[2]) | quint16(quint8(bytes[3])) << 8)};
}

qsizetype headEnd(QByteArrayView bytes)
{
    const qsizetype crlf = bytes.indexOf(QByteArrayView("\r\n\r\n"));
    const qsizetype lf = bytes.indexOf(QByteArrayView("\n\n"));
    if (crlf >= 0 && (lf < 0 || crlf < lf))
        return crlf + 4;
    return lf >= 0 ? lf + 2 : -1;
}

namespace {

// Splits on commas that are not inside quotes; each item trimmed.
QByteArrayList splitOutsideQuotes(QByteArrayView text)
{
    QByteArrayList items;
    QByteArray item;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == ',' && !quoted) {
            items.append(item.trimmed());
            item.clear();
        } else {
            item.append(c);
        }
    }
    if (!item.trimmed().isEmpty())
        items.append(item.trimmed());
    return items;
}

void readHeaderLine(QByteArrayView line, ResponseHead &head)
{
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return;
    const QByteArray name = line.first(colon).trimmed().toByteArray().toLower();
    const QByteArray value = line.sliced(colon + 1).trimmed().toByteArray();
    if (name == "content-type") {
        const qsizetype semicolon = value.indexOf(';');
        head.contentType = (semicolon < 0 ? value : value.left(semicolon)).trimmed().toLower();
    } else if (name == "location") {
        head.location = value;
    } else if (name == "www-authenticate") {
        head.authenticate = value;
    } else if (name == "content-length") {
        bool ok = false;
        const qint64 length = value.toLongLong(&ok);
        if (ok && length >= 0)
            head.contentLength = length;
    } else if (name == "pragma") {
        for (const QByteArray &item : splitOutsideQuotes(value)) {
            head.pragmas.append(item);
            if (item.toLower().startsWith("features=") && item.toLower().contains("broadcast"))
                head.broadcast = true;
        }
    }
}

} // namespace

std::optional<ResponseHead> parseResponseHead(QByteArrayView bytes)
{
    const QByteArrayList lines = bytes.toByteArray().split('\n');
    if (lines.isEmpty())
        return std::nullopt;
    // "HTTP/1.0 200 OK"
    const QByteArray statusLine = lines.first().trimmed();
    if (!statusLine.startsWith("HTTP/"))
        return std::nullopt;
    const qsizetype firstSpace = statusLine.indexOf(' ');
    if (firstSpace < 0)
        return std::nullopt;
    const QByteArray rest = statusLine.mid(firstSpace + 1);
    const qsizetype secondSpace = rest.indexOf(' ');
    bool ok = false;
    ResponseHead head;
    head.status = (secondSpace < 0 ? rest : rest.left(secondSpace)).toInt(&ok);
    if (!ok || head.status < 100 || head.status > 999)
        return std::nullopt;
    head.reason = secondSpace < 0 ? QByteArray() : rest.mid(secondSpace + 1).trimmed();
    for (qsizetype i = 1; i < lines.size(); ++i)
        readHeaderLine(lines.at(i), head);
    return head;
}

std::optional<QByteArray> basicRealm(QByteArrayView authenticate)
{
    const QByteArray text = authenticate.trimmed().toByteArray();
    if (!text.toLower().startsWith("basic"))
        return std::nullopt;
    const qsizetype at = text.toLower().indexOf("realm=");
    if (at < 0)
        return QByteArray();
    QByteArray realm = text.mid(at + 6).trimmed();
    if (realm.startsWith('"')) {
        const qsizetype close = realm.indexOf('"', 1);
        realm = realm.mid(1, close < 0 ? -1 : close - 1);
    } else {
        const qsizetype comma = realm.indexOf(',');
        if (comma >= 0)
            realm.truncate(comma);
    }
    return realm;
}

QByteArray basicAuthorization(const QByteArray &user, const QByteArray &password)
{
    return "Basic " + (user + ':' + password).toBase64();
}

QList<StreamChoice> streamChoices(const QList<StreamPick> &picks)
{
    QList<StreamChoice> out;
    for (const StreamPick &pick : picks)
        out.append({pick.number, pick.chosen ? LevelAll : LevelNotWanted});
    return out;
}

QByteArray buildRequest(const Request &request)
{
    // The path as the address gave it, with what a request line cannot carry encoded.
    const QByteArray path =
        QUrl::toPercentEncoding(QUrl::fromPercentEncoding(request.path), "/?&=;:@!$'()*+,~%");
    QByteArray text = "GET /" + path + " HTTP/1.0\r\n";
    text += "Accept: */*\r\n";
    text += QByteArray("User-Agent: ") + PlayerAgent + "\r\n";
    text += "Host: " + request.host + "\r\n";
    const QByteArray context = QByteArray::number(request.context);
    if (!request.play || !request.live) {
        const quint64 offset = request.streamOffset.value_or(0);
        const QByteArray offsetText =
            request.play && !request.streamOffset
                ? QByteArray("4294967295:4294967295")
                : QByteArray::number(offset >> 32) + ':' + QByteArray::number(offset & 0xFFFFFFFFu);
        text += "Pragma: no-cache,rate=1.000000,stream-time=0,stream-offset=" + offsetText +
                ",request-context=" + context + ",max-duration=0\r\n";
    } else {
        text += "Pragma: no-cache,rate=1.000000,request-context=" + context + "\r\n";
    }
    text += "Pragma: xClientGUID=" + request.clientGuid + "\r\n";
    if (request.play) {
        text += "Pragma: xPlayStrm=1\r\n";
        text += "Pragma: stream-switch-count=" + QByteArray::number(request.streams.size()) + "\r\n";
        QByteArray entries;
        for (const StreamChoice &choice : request.streams) {
            if (!entries.isEmpty())
                entries += ' ';
            entries +=
                "ffff:" + QByteArray::number(choice.number, 16) + ':' + QByteArray::number(choice.level, 16);
        }
        text += "Pragma: stream-switch-entry=" + entries + "\r\n";
    }
    if (!request.authorization.isEmpty())
        text += "Authorization: " + request.authorization + "\r\n";
    text += "Connection: Close\r\n\r\n";
    return text;
}

} // namespace lumo::mmsh
