#pragma once

#include "asf/streamchoice.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QList>

#include <optional>

namespace lumo::mmsh {

// MMS over HTTP: the requests a player sends, the answer's head, and the framed chunks of the
// answer's body. All integers little-endian.

constexpr qsizetype FramingSize = 4;    // '$' (0xA4 with "more follows"), type, u16 length
constexpr qsizetype DataHeaderSize = 8; // $H, $D, $M: u32 location, incarnation, flags, u16 length
constexpr quint8 ChunkHeader = 'H';
constexpr quint8 ChunkData = 'D';
constexpr quint8 ChunkEnd = 'E';
constexpr quint8 ChunkChange = 'C';
constexpr quint8 ChunkMeta = 'M';
// $E reasons.
constexpr quint32 EndOfStream = 0;
constexpr quint32 EndOfEntry = 1; // a $C and a new header follow

// The answer to a Describe is the header; to a Play, the framed stream.
constexpr char HeaderContentType[] = "application/vnd.ms.wms-hdr.asfv1";
constexpr char FramedContentType[] = "application/x-mms-framed";
constexpr char PlayerAgent[] = "NSPlayer/7.10.0.3059";

struct ChunkHead
{
    quint8 type = 0;
    quint16 length = 0; // the bytes after the framing header
    bool carriesPacket() const { return type == ChunkHeader || type == ChunkData || type == ChunkMeta; }
};
// The framing header at `bytes` (FramingSize of them); nullopt when it is not one.
std::optional<ChunkHead> readChunkHead(const char *bytes);

// The answer's status line and the header lines that matter here.
struct ResponseHead
{
    int status = 0;
    QByteArray reason;
    QByteArray contentType; // without parameters, lower case
    QByteArray location;
    QByteArray authenticate; // the WWW-Authenticate value
    QByteArrayList pragmas;  // every Pragma item, from every line, split on commas outside quotes
    bool broadcast = false;  // features="...broadcast..."
    std::optional<qint64> contentLength;

    bool isStream() const { return contentType == HeaderContentType || contentType == FramedContentType; }
};
// Where the head ends (past its blank line), or -1 while it is incomplete.
qsizetype headEnd(QByteArrayView bytes);
// Reads a head up to its blank line; nullopt when the status line is not HTTP.
std::optional<ResponseHead> parseResponseHead(QByteArrayView head);
// The realm of a Basic challenge ("Basic realm=\"x\""), or nullopt for any other scheme.
std::optional<QByteArray> basicRealm(QByteArrayView authenticate);

// One stream's place in a Play request: level 0 every packet, 2 not wanted.
constexpr quint16 LevelAll = 0;
constexpr quint16 LevelNotWanted = 2;
struct StreamChoice
{
    quint16 number = 0;
    quint16 level = LevelAll;
};
// The picks of a choice as switch entries.
QList<StreamChoice> streamChoices(const QList<StreamPick> &picks);

struct Request
{
    QByteArray path;                     // from the address, as it was given after the host
    QByteArray host;                     // the Host header: host[:port]
    QByteArray clientGuid;               // {xxxxxxxx-...}, one per task
    quint32 context = 1;                 // request-context, one more with each request
    bool play = false;                   // Describe when false
    bool live = false;                   // a live Play names no time or offset
    std::optional<quint64> streamOffset; // a stored Play from this byte of the file
    QList<StreamChoice> streams;
    QByteArray authorization; // "Basic ..." or empty
};
QByteArray buildRequest(const Request &request);
// The Authorization value for a login.
QByteArray basicAuthorization(const QByteArray &user, const QByteArray &password);

} // namespace lumo::mmsh
