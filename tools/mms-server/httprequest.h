#pragma once

#include <optional>
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <utility>

namespace mmsserver {

// One item of a Pragma line: `name=value` or a bare `name`.
struct Pragma
{
    QString name; // lower case
    QString value;
};

// The head of one HTTP request, as far as MMS over HTTP needs it.
struct HttpRequest
{
    QByteArray method;
    QString path; // percent-decoded, without the query
    QByteArray version;
    QList<std::pair<QByteArray, QByteArray>> headers;
    QList<Pragma> pragmas; // from every Pragma line, in order

    // The last header of that name, whatever its case; empty if none.
    QByteArray header(QByteArrayView name) const;
    // The last Pragma item of that name.
    std::optional<QString> pragma(const QString &name) const;
    // Players announce themselves as NSPlayer/<version>; anything else gets ordinary web content.
    bool fromPlayer() const;
};

enum class RequestStatus
{
    NeedMore,
    Complete,
    Malformed
};

// Takes one request head (up to its blank line) off the front of `buffer`.
RequestStatus readHttpRequest(QByteArray &buffer, HttpRequest *request, QString *why);

// Whether a connection's first bytes begin an HTTP request line ("GET ", "POST " ...); nullopt while too
// few have arrived to tell.
std::optional<bool> startsHttpRequest(QByteArrayView firstBytes);

// The items of one Pragma line, split on the commas outside quotes; quoted values lose their quotes.
QList<Pragma> splitPragmas(QByteArrayView line);

// One entry of `stream-switch-entry`: what the client wants of a stream.
struct StreamSwitchEntry
{
    quint16 stream = 0;
    quint16 level = 0; // 0 every packet, 1 key frames only, 2 not wanted
};

// "ffff:1:0 ffff:2:2": hexadecimal from:to:level triples; nullopt if one is malformed.
std::optional<QList<StreamSwitchEntry>> parseStreamSwitchEntries(const QString &text);

// "HI:LO" as a 64-bit byte offset; nullopt when malformed or 4294967295:4294967295 ("ignore").
std::optional<quint64> parseStreamOffset(const QString &text);

} // namespace mmsserver
