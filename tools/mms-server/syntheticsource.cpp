#include "mediasource.h"

#include <QCryptographicHash>

namespace mmsserver {

namespace {

// 8 kHz mono 16-bit PCM and one 16x16 Motion JPEG test frame repeated: both decode and remux cleanly.
constexpr quint32 audioBytesPerMs = 16;
constexpr quint32 videoWidth = 16;
constexpr quint32 videoHeight = 16;
constexpr unsigned char frame[] = {
    0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00, 0x01, 0x02, 0x00, 0x00, 0x01, 0x00,
    0x01, 0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x08, 0x3E, 0x3E, 0x49, 0x3E, 0x49, 0x55, 0x55, 0x55,
    0x55, 0x55, 0x55, 0x64, 0x5D, 0x64, 0x68, 0x68, 0x68, 0x64, 0x64, 0x64, 0x64, 0x68, 0x68, 0x68, 0x70,
    0x70, 0x70, 0x83, 0x83, 0x83, 0x70, 0x70, 0x70, 0x68, 0x68, 0x70, 0x70, 0x7C, 0x7C, 0x83, 0x83, 0x8F,
    0x93, 0x8F, 0x87, 0x87, 0x83, 0x87, 0x93, 0x93, 0x9B, 0x9B, 0x9B, 0xBA, 0xBA, 0xB2, 0xB2, 0xD9, 0xD9,
    0xE0, 0xFF, 0xFF, 0xFF, 0xFF, 0xC4, 0x00, 0x68, 0x00, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0x03, 0x05, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02, 0x10, 0x01, 0x00, 0x02,
    0x02, 0x01, 0x03, 0x05, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02, 0x11, 0x03,
    0x00, 0x91, 0x13, 0x21, 0x12, 0x22, 0xA1, 0x61, 0xD1, 0x41, 0x31, 0x11, 0x00, 0x01, 0x02, 0x05, 0x05,
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x12, 0x01, 0x11, 0x31, 0x82, 0x21,
    0x00, 0x41, 0x51, 0x52, 0x91, 0x02, 0x32, 0x22, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00, 0x10, 0x00, 0x10,
    0x03, 0x01, 0x22, 0x00, 0x02, 0x11, 0x00, 0x03, 0x11, 0x00, 0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01, 0x00,
    0x02, 0x11, 0x03, 0x11, 0x00, 0x3F, 0x00, 0x33, 0x4E, 0x3C, 0x71, 0xA6, 0x94, 0xBB, 0x3E, 0x7F, 0x9E,
    0xCE, 0xB6, 0xC9, 0x3E, 0x8C, 0x84, 0x00, 0xBE, 0xE0, 0x7E, 0x6E, 0x52, 0x46, 0x78, 0xE3, 0xEA, 0x0A,
    0x03, 0x8A, 0xFA, 0xD8, 0xE6, 0x25, 0x92, 0x49, 0xE2, 0xF1, 0x7B, 0x2B, 0xF4, 0x03, 0x82, 0x2C, 0x69,
    0xCD, 0x89, 0xE9, 0x3A, 0xAC, 0x6A, 0xEF, 0x30, 0xD6, 0x1B, 0x5A, 0xFF, 0x00, 0xFF, 0xD9};
constexpr quint32 videoBytes = sizeof frame;
constexpr quint32 targetBitsPerMs = 1000; // about 1 Mbit/s
// Packet layout: 14 bytes of packet header, then two payloads with 17-byte headers each.
constexpr qsizetype packetHeaderBytes = 14;
constexpr qsizetype payloadHeaderBytes = 17;

void putGuid(ByteWriter &w, const Guid &g)
{
    w.bytes(QByteArray(g.data(), 16));
}

QByteArray streamProperties(const Guid &type, quint16 number, const QByteArray &typeSpecific)
{
    QByteArray o;
    ByteWriter w(o);
    putGuid(w, guid::streamProperties);
    w.u64(78 + quint64(typeSpecific.size()));
    putGuid(w, type);
    putGuid(w, guid::noErrorCorrection);
    w.u64(0).u32(quint32(typeSpecific.size())).u32(0).u16(number).u32(0).bytes(typeSpecific);
    return o;
}

} // namespace

SyntheticSource::SyntheticSource(const SyntheticSpec &shape)
{
    const quint32 p = shape.packetSize;
    m_packetMs = std::max<quint32>(1, (p * 8 + targetBitsPerMs - 1) / targetBitsPerMs);
    const quint32 audioBytes = audioBytesPerMs * m_packetMs;
    const quint32 paddingBytes = p - packetHeaderBytes - 2 * payloadHeaderBytes - audioBytes - videoBytes;
    const quint32 bitRate = quint32(quint64(p) * 8 * 1000 / m_packetMs);
    const quint32 audioBitRate = audioBytesPerMs * 8 * 1000;

    const QByteArray fileId = QCryptographicHash::hash(shape.name.toUtf8(), QCryptographicHash::Md5);

    QByteArray wave;
    ByteWriter(wave).u16(1).u16(1).u32(8000).u32(16000).u16(2).u16(16).u16(0);
    QByteArray video;
    ByteWriter(video)
        .u32(videoWidth)
        .u32(videoHeight)
        .u8(2)
        .u16(40)
        .u32(40)
        .u32(videoWidth)
        .u32(videoHeight)
        .u16(1)
        .u16(24)
        .bytes(QByteArray("MJPG", 4))
        .u32(videoWidth * videoHeight * 3)
        .u32(0)
        .u32(0)
        .u32(0)
        .u32(0);

    QByteArray objects;
    quint32 objectCount = 0;
    auto add = [&](const QByteArray &o) {
        objects.append(o);
        ++objectCount;
    };
    QByteArray fileProps;
    {
        ByteWriter w(fileProps);
        putGuid(w, guid::fileProperties);
        w.u64(104).bytes(fileId);
        w.u64(0);               // file size, patched below
        w.u64(0);               // creation date
        w.u64(0);               // packet count, patched below
        w.u64(0).u64(0).u64(0); // play duration, send duration, preroll
        w.u32(0x2).u32(p).u32(p).u32(bitRate);
    }
    const qsizetype fpAt = 30;
    add(fileProps);
    {
        QByteArray ext;
        ByteWriter w(ext);
        putGuid(w, guid::headerExtension);
        w.u64(46);
        putGuid(w, guid::headerExtensionReserved);
        w.u16(6).u32(0);
        add(ext);
    }
    add(streamProperties(guid::audioMedia, 1, wave));
    add(streamProperties(guid::videoMedia, 2, video));
    {
        QByteArray rates;
        ByteWriter w(rates);
        putGuid(w, guid::streamBitrateProperties);
        w.u64(38).u16(2).u16(1).u32(audioBitRate).u16(2).u32(bitRate - audioBitRate);
        add(rates);
    }

    QByteArray header;
    ByteWriter w(header);
    putGuid(w, guid::header);
    w.u64(30 + quint64(objects.size())).u32(objectCount).u8(1).u8(2).bytes(objects);
    const quint64 h = quint64(header.size());
    const quint64 count = std::max<quint64>(1, shape.bytes > h + 50 ? (shape.bytes - h - 50) / p : 1);
    const quint64 durationMs = count * m_packetMs;
    putGuid(w, guid::data);
    w.u64(50 + count * p).bytes(fileId).u64(count).u8(1).u8(1);

    char *fp = header.data() + fpAt;
    putU64(fp + 40, h + 50 + count * p);
    putU64(fp + 56, count);
    putU64(fp + 64, durationMs * 10000);
    putU64(fp + 72, durationMs * 10000);

    QString error;
    parseAsfHeader(header, -1, &m_info, &error);

    m_template.assign(p, '\0');
    char *t = m_template.data();
    putU8(t + 0, 0x82);
    putU8(t + 3, 0x11); // multiple payloads, WORD padding length
    putU8(t + 4, 0x5D);
    putU16(t + 5, quint16(paddingBytes));
    putU16(t + 11, quint16(m_packetMs));
    putU8(t + 13, 0x80 | 2); // two payloads with WORD lengths
    auto payload = [&](qsizetype at, quint8 stream, quint32 bytes) {
        putU8(t + at, 0x80 | stream);
        putU8(t + at + 6, 8);
        putU32(t + at + 7, bytes);
        putU16(t + at + 15, quint16(bytes));
    };
    payload(packetHeaderBytes, 1, audioBytes);
    // A quiet sawtooth, so that the audio is not pure silence.
    for (quint32 i = 0; i < audioBytes / 2; ++i)
        putU16(t + packetHeaderBytes + payloadHeaderBytes + 2 * i, quint16((i % 64) * 16));
    m_videoAt = packetHeaderBytes + payloadHeaderBytes + audioBytes;
    payload(m_videoAt, 2, videoBytes);
    std::memcpy(t + m_videoAt + payloadHeaderBytes, frame, videoBytes);
}

bool SyntheticSource::readPacket(quint64 index, char *dest)
{
    if (index >= m_info.packetCount)
        return false;
    std::memcpy(dest, m_template.data(), m_template.size());
    const quint32 time = quint32(index * m_packetMs);
    const quint8 object = quint8(index);
    putU32(dest + 7, time);
    putU8(dest + packetHeaderBytes + 1, object);
    putU32(dest + packetHeaderBytes + 11, time);
    putU8(dest + m_videoAt + 1, object);
    putU32(dest + m_videoAt + 11, time);
    return true;
}

quint64 SyntheticSource::packetForTime(double seconds)
{
    const double index = seconds * 1000.0 / m_packetMs;
    if (index <= 0)
        return 0;
    return std::min<quint64>(quint64(index), m_info.packetCount);
}

} // namespace mmsserver
