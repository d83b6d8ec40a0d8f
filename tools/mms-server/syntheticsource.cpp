#include "mediasource.h"

#include <iterator>
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

// WAVEFORMATEX of the PCM audio.
QByteArray audioFormat()
{
    QByteArray wave;
    ByteWriter(wave).u16(1).u16(1).u32(8000).u32(16000).u16(2).u16(16).u16(0);
    return wave;
}

// Frame size and BITMAPINFOHEADER of the Motion JPEG video.
QByteArray videoFormat()
{
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
    return video;
}

// File size, packet count and durations are left zero for asfHeader to fill in.
QByteArray fileProperties(const QByteArray &fileId, quint32 packetSize, quint32 bitRate)
{
    QByteArray o;
    ByteWriter w(o);
    putGuid(w, guid::fileProperties);
    w.u64(104).bytes(fileId);
    w.u64(0);               // file size
    w.u64(0);               // creation date
    w.u64(0);               // packet count
    w.u64(0).u64(0).u64(0); // play duration, send duration, preroll
    w.u32(0x2).u32(packetSize).u32(packetSize).u32(bitRate);
    return o;
}

QByteArray emptyHeaderExtension()
{
    QByteArray o;
    ByteWriter w(o);
    putGuid(w, guid::headerExtension);
    w.u64(46);
    putGuid(w, guid::headerExtensionReserved);
    w.u16(6).u32(0);
    return o;
}

QByteArray bitratePropertiesObject(quint32 audioBitRate, quint32 bitRate)
{
    QByteArray o;
    ByteWriter w(o);
    putGuid(w, guid::streamBitrateProperties);
    w.u64(38).u16(2).u16(1).u32(audioBitRate).u16(2).u32(bitRate - audioBitRate);
    return o;
}

// The Header Object and the head of the Data Object, with as many packets as fit in about shape.bytes.
QByteArray asfHeader(const SyntheticSpec &shape, quint32 packetMs, quint32 bitRate)
{
    const quint32 p = shape.packetSize;
    const QByteArray fileId = QCryptographicHash::hash(shape.name.toUtf8(), QCryptographicHash::Md5);
    const QByteArray objects[] = {
        fileProperties(fileId, p, bitRate),
        emptyHeaderExtension(),
        streamProperties(guid::audioMedia, 1, audioFormat()),
        streamProperties(guid::videoMedia, 2, videoFormat()),
        bitratePropertiesObject(audioBytesPerMs * 8 * 1000, bitRate),
    };
    QByteArray body;
    for (const QByteArray &o : objects)
        body += o;

    QByteArray header;
    ByteWriter w(header);
    putGuid(w, guid::header);
    w.u64(30 + quint64(body.size())).u32(quint32(std::size(objects))).u8(1).u8(2).bytes(body);
    const quint64 h = quint64(header.size());
    const quint64 count = std::max<quint64>(1, shape.bytes > h + 50 ? (shape.bytes - h - 50) / p : 1);
    const quint64 durationMs = count * packetMs;
    putGuid(w, guid::data);
    w.u64(50 + count * p).bytes(fileId).u64(count).u8(1).u8(1);

    // The File Properties Object comes first, right after the 30 bytes of the Header Object's own fields.
    char *fp = header.data() + 30;
    putU64(fp + 40, h + 50 + count * p);
    putU64(fp + 56, count);
    putU64(fp + 64, durationMs * 10000);
    putU64(fp + 72, durationMs * 10000);
    return header;
}

// A data packet with the audio and video payloads in place; times and object numbers are patched per
// packet by readPacket.
std::vector<char> templatePacket(quint32 packetSize, quint32 packetMs, quint32 audioBytes)
{
    const quint32 paddingBytes =
        packetSize - packetHeaderBytes - 2 * payloadHeaderBytes - audioBytes - videoBytes;
    std::vector<char> packet(packetSize, '\0');
    char *t = packet.data();
    putU8(t + 0, 0x82);
    putU8(t + 3, 0x11); // multiple payloads, WORD padding length
    putU8(t + 4, 0x5D);
    putU16(t + 5, quint16(paddingBytes));
    putU16(t + 11, quint16(packetMs));
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
    const qsizetype videoAt = packetHeaderBytes + payloadHeaderBytes + audioBytes;
    payload(videoAt, 2, videoBytes);
    std::memcpy(t + videoAt + payloadHeaderBytes, frame, videoBytes);
    return packet;
}

} // namespace

SyntheticSource::SyntheticSource(const SyntheticSpec &shape)
{
    const quint32 p = shape.packetSize;
    m_packetMs = std::max<quint32>(1, (p * 8 + targetBitsPerMs - 1) / targetBitsPerMs);
    const quint32 audioBytes = audioBytesPerMs * m_packetMs;
    const quint32 bitRate = quint32(quint64(p) * 8 * 1000 / m_packetMs);
    QString error;
    parseAsfHeader(asfHeader(shape, m_packetMs, bitRate), -1, &m_info, &error);
    m_template = templatePacket(p, m_packetMs, audioBytes);
    m_videoAt = packetHeaderBytes + payloadHeaderBytes + audioBytes;
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
