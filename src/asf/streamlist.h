#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

namespace lumo {

enum class StreamKind
{
    Audio,
    Video,
    Other, // scripts, pictures, files: always recorded
};

enum class ExclusionKind
{
    BitRate,  // the same content at several rates: a player takes one
    Language, // the same content in several languages
    Other,
};

// Streams of which a player plays only one, as a Mutual Exclusion object names them.
struct ExclusionGroup
{
    ExclusionKind kind = ExclusionKind::Other;
    QList<quint8> streams;
};

// One stream of an ASF header.
struct AsfStream
{
    quint8 number = 0; // 1..127
    StreamKind kind = StreamKind::Other;
    quint32 bitRate = 0; // bit/s; 0 when the header states none
    quint32 width = 0;   // video picture size
    quint32 height = 0;
    QString language; // e.g. "en-us"; empty when the header names none
    // The header has rate fields for this stream and every one reads 0: a recording that left
    // the stream out states it so.
    bool rateCleared = false;
    // Header offsets of the fields that state its rate; -1 where there is none.
    qint64 bitrateRecordAt = -1; // the average rate of its Stream Bitrate Properties record
    qint64 dataBitrateAt = -1;   // Data Bitrate of its Extended Stream Properties
    qint64 alternateBitrateAt = -1;
};

// Every stream an ASF header lists, in the order the header gives them, and the exclusion groups.
struct StreamList
{
    QList<AsfStream> streams;
    QList<ExclusionGroup> groups;
    qint64 maxBitrateAt = -1; // the File Properties Object's Maximum Bitrate field
    quint32 maxBitrate = 0;

    const AsfStream *find(quint8 number) const;
    // Indices into groups of the groups that name the stream.
    QList<int> groupsOf(quint8 number) const;
};

// Walks the Header Object (and its Header Extension) of `header`. Reads stay inside the bytes
// and inside each object; what is cut off or malformed is left out.
StreamList ReadStreamList(QByteArrayView header);

// How a stream looks in a list: kind, rate in kbit/s, picture size, language ("-" for none).
QString streamKindText(StreamKind kind);
QString bitRateText(quint32 bitsPerSecond);
QString exclusionKindText(ExclusionKind kind);

} // namespace lumo
