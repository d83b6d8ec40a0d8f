#pragma once

#include "testclient.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <utility>
#include <vector>

// A scripted MMS-over-HTTP client: one request per connection, the answer read until the server closes.
namespace servertest {

struct HttpAnswer
{
    bool closed = false; // the server closed the connection within the bound
    int status = 0;
    QByteArray statusLine;
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QByteArray header(const QByteArray &name) const; // the last of that name
    QList<QByteArray> headerValues(const QByteArray &name) const;
};

// Sends `request` on a new connection and reads the answer until the server closes.
HttpAnswer httpExchange(quint16 port, const QByteArray &request, int timeoutMs = 20000);

// A request head as players send it: their agent, the usual Pragma lines and `extra` lines after them.
QByteArray playerRequest(const QString &path, const QStringList &extra = {});
// The Play request: xPlayStrm=1, a client GUID (a new one unless given) and both streams of the sample
// selected, then `extra`.
QByteArray playRequest(const QString &path, const QStringList &extra = {}, const QString &clientGuid = {});

// One chunk of a framed body.
struct Chunk
{
    quint8 start = 0; // '$' or 0xA4
    char type = 0;
    quint16 length = 0; // of what follows the 4-byte framing
    QByteArray after;   // those bytes

    // The MMS data packet header of $H, $D and $M.
    quint32 location() const { return u32(after, 0); }
    quint8 incarnation() const { return quint8(after.at(4)); }
    quint8 flags() const { return quint8(after.at(5)); }
    quint16 packetSize() const { return u16(after, 6); }
    QByteArray payload() const { return after.mid(8); }
    quint32 reason() const { return u32(after, 0); } // of $E
};

// The chunks of a body up to the first framing that is not one; what is left is put in *rest.
std::vector<Chunk> splitChunks(const QByteArray &body, QByteArray *rest = nullptr);
std::vector<Chunk> chunksOfType(const std::vector<Chunk> &chunks, char type);

} // namespace servertest
