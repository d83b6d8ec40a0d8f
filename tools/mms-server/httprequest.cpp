#include "httprequest.h"

#include <QUrl>

namespace mmsserver {

namespace {

constexpr qsizetype maxRequestHeadBytes = 16 * 1024;
constexpr qsizetype maxMethodBytes = 10;

bool isMethodByte(char c)
{
    return c >= 'A' && c <= 'Z';
}

// The path of a request target: an origin form ("/a/b.asf?x") or an absolute one ("http://h:p/a/b.asf").
QString targetPath(QByteArray target)
{
    if (target.startsWith("http://") || target.startsWith("https://")) {
        const qsizetype slash = target.indexOf('/', target.indexOf("//") + 2);
        target = slash < 0 ? QByteArray("/") : target.mid(slash);
    }
    const qsizetype query = target.indexOf('?');
    if (query >= 0)
        target.truncate(query);
    return QUrl::fromPercentEncoding(target);
}

QString unquoted(QString value)
{
    value = value.trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

QByteArray HttpRequest::header(QByteArrayView name) const
{
    for (auto it = headers.crbegin(); it != headers.crend(); ++it) {
        if (it->first.compare(name, Qt::CaseInsensitive) == 0)
            return it->second;
    }
    return {};
}

std::optional<QString> HttpRequest::pragma(const QString &name) const
{
    for (auto it = pragmas.crbegin(); it != pragmas.crend(); ++it) {
        if (it->name == name)
            return it->value;
    }
    return std::nullopt;
}

bool HttpRequest::fromPlayer() const
{
    return header("User-Agent").trimmed().startsWith("NSPlayer/");
}

std::optional<bool> startsHttpRequest(QByteArrayView firstBytes)
{
    for (qsizetype i = 0; i < firstBytes.size(); ++i) {
        const char c = firstBytes[i];
        if (c == ' ')
            return i >= 3;
        if (!isMethodByte(c) || i == maxMethodBytes)
            return false;
    }
    return std::nullopt;
}

QList<Pragma> splitPragmas(QByteArrayView line)
{
    QList<Pragma> items;
    const QString text = QString::fromLatin1(line);
    QString item;
    bool quoted = false;
    auto take = [&items](const QString &raw) {
        const QString trimmed = raw.trimmed();
        if (trimmed.isEmpty())
            return;
        const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
        if (eq < 0)
            items.append({trimmed.toLower(), QString()});
        else
            items.append({trimmed.left(eq).trimmed().toLower(), unquoted(trimmed.mid(eq + 1))});
    };
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (c == QLatin1Char(',') && !quoted) {
            take(item);
            item.clear();
        } else {
            item += c;
        }
    }
    take(item);
    return items;
}

RequestStatus readHttpRequest(QByteArray &buffer, HttpRequest *request, QString *why)
{
    qsizetype end = buffer.indexOf("\r\n\r\n");
    qsizetype endBytes = 4;
    if (const qsizetype bare = buffer.indexOf("\n\n"); bare >= 0 && (end < 0 || bare < end)) {
        end = bare;
        endBytes = 2;
    }
    if (end < 0) {
        if (buffer.size() <= maxRequestHeadBytes)
            return RequestStatus::NeedMore;
        *why = QStringLiteral("request head longer than %1 bytes").arg(maxRequestHeadBytes);
        return RequestStatus::Malformed;
    }
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    buffer.remove(0, end + endBytes);

    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3 || requestLine[1].isEmpty() || !requestLine[2].startsWith("HTTP/")) {
        *why = QStringLiteral("bad request line");
        return RequestStatus::Malformed;
    }
    HttpRequest r;
    r.method = requestLine[0];
    r.path = targetPath(requestLine[1]);
    r.version = requestLine[2];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if ((line.startsWith(' ') || line.startsWith('\t')) && !r.headers.isEmpty()) {
            r.headers.last().second += ' ' + line.trimmed(); // a folded header line
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue; // not a header; tolerated
        r.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    for (const auto &[name, value] : r.headers) {
        if (name.compare("Pragma", Qt::CaseInsensitive) == 0)
            r.pragmas += splitPragmas(value);
    }
    *request = std::move(r);
    return RequestStatus::Complete;
}

std::optional<QList<StreamSwitchEntry>> parseStreamSwitchEntries(const QString &text)
{
    QList<StreamSwitchEntry> entries;
    for (const QString &entry : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList fields = entry.split(QLatin1Char(':'));
        if (fields.size() != 3)
            return std::nullopt;
        bool fromOk = false, toOk = false, levelOk = false;
        fields[0].toUShort(&fromOk, 16);
        const quint16 stream = fields[1].toUShort(&toOk, 16);
        const quint16 level = fields[2].toUShort(&levelOk, 16);
        if (!fromOk || !toOk || !levelOk)
            return std::nullopt;
        entries.append({stream, level});
    }
    return entries;
}

std::optional<quint64> parseStreamOffset(const QString &text)
{
    const QStringList halves = text.trimmed().split(QLatin1Char(':'));
    if (halves.size() != 2)
        return std::nullopt;
    bool hiOk = false, loOk = false;
    const quint32 hi = halves[0].toUInt(&hiOk);
    const quint32 lo = halves[1].toUInt(&loOk);
    if (!hiOk || !loOk || (hi == 0xFFFFFFFF && lo == 0xFFFFFFFF))
        return std::nullopt;
    return (quint64(hi) << 32) | lo;
}

} // namespace mmsserver
