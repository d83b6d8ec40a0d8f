// Rewrites a served header so that its video streams are alternatives of one another, the way encoders
// write multi-bit-rate programmes: ffmpeg writes several video streams but neither their rates nor an
// exclusion between them.
#include "mediasource.h"

#include <QMap>
#include <QStringList>
#include <vector>

namespace mmsserver {

namespace {

constexpr qsizetype objectHeaderBytes = 24;

QByteArray guidBytes(const Guid &g)
{
    return QByteArray(g.data(), qsizetype(g.size()));
}

// Average bit rate of each stream over every packet: its payload bytes over the content's duration.
QMap<quint16, quint32> measureRates(MediaSource &source)
{
    const AsfInfo &info = source.info();
    QMap<quint16, quint64> bytes;
    std::vector<char> packet(info.packetSize);
    quint64 firstMs = ~quint64(0), endMs = 0;
    for (quint64 i = 0; i < info.packetCount; ++i) {
        PacketLayout layout;
        const ByteView view(packet.data(), qsizetype(packet.size()));
        if (!source.readPacket(i, packet.data()) || !parsePacketLayout(view, &layout))
            continue;
        for (int k = 0; k < layout.payloadCount; ++k)
            bytes[layout.payloads[k].stream] += quint64(layout.payloads[k].end - layout.payloads[k].dataAt);
        const quint32 sendMs = *view.u32(layout.sendTimeAt);
        firstMs = std::min<quint64>(firstMs, sendMs);
        endMs = std::max<quint64>(endMs, sendMs + *view.u16(layout.sendTimeAt + 4));
    }
    double seconds = info.durationSeconds;
    if (seconds <= 0)
        seconds = endMs > firstMs ? double(endMs - firstMs) / 1000.0 : 1.0;
    QMap<quint16, quint32> rates;
    for (const AsfStream &stream : info.streams)
        rates[stream.number] = quint32(std::min(double(bytes.value(stream.number)) * 8.0 / seconds, 4e9));
    return rates;
}

QByteArray streamBitrateObject(const QMap<quint16, quint32> &rates)
{
    QByteArray object;
    ByteWriter w(object);
    w.bytes(guidBytes(guid::streamBitrateProperties))
        .u64(quint64(objectHeaderBytes + 2 + 6 * rates.size()))
        .u16(quint16(rates.size()));
    for (auto it = rates.begin(); it != rates.end(); ++it)
        w.u16(it.key() & 0x7F).u32(it.value());
    return object;
}

QByteArray exclusionObject(const QList<quint16> &streams)
{
    QByteArray object;
    ByteWriter w(object);
    w.bytes(guidBytes(guid::bitrateMutualExclusion))
        .u64(quint64(objectHeaderBytes + 16 + 2 + 2 * streams.size()))
        .bytes(guidBytes(guid::mutexBitrate))
        .u16(quint16(streams.size()));
    for (quint16 stream : streams)
        w.u16(stream);
    return object;
}

} // namespace

bool MediaSource::groupVideoStreams(QString *note)
{
    QList<quint16> video;
    QStringList names;
    for (const AsfStream &stream : m_info.streams) {
        if (stream.kind == StreamKind::Video) {
            video.append(stream.number);
            names.append(QString::number(stream.number));
        }
    }
    if (video.size() < 2) {
        *note = QStringLiteral("fewer than two video streams: header left as it is");
        return false;
    }
    if (m_info.hasBitrateExclusion) {
        *note = QStringLiteral("the header has its own Bitrate Mutual Exclusion Object: left as it is");
        return false;
    }
    QByteArray objects;
    quint32 added = 0;
    QString rateText;
    if (!m_info.hasStreamBitrates) {
        const QMap<quint16, quint32> rates = measureRates(*this);
        objects += streamBitrateObject(rates);
        ++added;
        QStringList parts;
        for (auto it = rates.begin(); it != rates.end(); ++it)
            parts.append(QStringLiteral("%1 at %2 bit/s").arg(it.key()).arg(it.value()));
        rateText = QStringLiteral("; measured rates ") + parts.join(QStringLiteral(", "));
    }
    objects += exclusionObject(video);
    ++added;

    // The new objects go at the end of the Header Object, before the Data Object.
    QByteArray header = m_info.header;
    header.insert(qsizetype(m_info.headerObjectSize), objects);
    putU64(header.data() + 16, m_info.headerObjectSize + quint64(objects.size()));
    putU32(header.data() + 24, qFromLittleEndian<quint32>(header.constData() + 24) + added);
    char *fileSize = header.data() + m_info.filePropertiesAt + 40;
    if (const quint64 size = qFromLittleEndian<quint64>(fileSize))
        putU64(fileSize, size + quint64(objects.size()));
    AsfInfo grouped;
    QString error;
    if (!parseAsfHeader(std::move(header), -1, &grouped, &error)) {
        *note = QStringLiteral("cannot group the video streams: %1").arg(error);
        return false;
    }
    grouped.packetCount = m_info.packetCount;
    m_info = std::move(grouped);
    *note = QStringLiteral("video streams %1 mutually exclusive%2")
                .arg(names.join(QStringLiteral(", ")), rateText);
    return true;
}

} // namespace mmsserver
