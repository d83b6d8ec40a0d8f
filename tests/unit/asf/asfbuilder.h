#pragma once

// Builds ASF headers byte by byte for the header tests.

#include "shell/bytereader.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace asftest {

using lumo::U32ToBytes;
using lumo::U64ToBytes;

inline QByteArray u16(quint16 v)
{
    return QByteArray(1, char(v & 0xFF)) + char(v >> 8);
}

// A 16-byte identifier: the five bytes the search looks for, then filler.
inline QByteArray guid(const char *first5)
{
    return QByteArray(first5, 5) + QByteArray(11, '\x11');
}

inline QByteArray object(const char *first5, const QByteArray &payload)
{
    return guid(first5) + U64ToBytes(quint64(24 + payload.size())) + payload;
}

// UTF-16LE with its terminating zero unit.
inline QByteArray wide(const QString &text)
{
    QByteArray out;
    for (QChar c : text)
        out += u16(c.unicode());
    return out + u16(0);
}

constexpr const char *headerId = "\x30\x26\xB2\x75\x8E";
constexpr const char *dataId = "\x36\x26\xB2\x75\x8E";
constexpr const char *bitrateId = "\xCE\x75\xF8\x7B\x8D";
constexpr const char *streamId = "\x91\x07\xDC\xB7\xB7";
constexpr const char *videoId = "\xC0\xEF\x19\xBC\x4D";
constexpr const char *audioId = "\x40\x9E\x69\xF8\x4D";
constexpr const char *spreadId = "\x50\xCD\xC3\xBF\x8F";
constexpr const char *noEcId = "\x20\xFB\x57\x00\x5B";
constexpr const char *filePropsId = "\xA1\xDC\xAB\x8C\x47";
constexpr const char *contentId = "\x33\x26\xB2\x75\x8E";
constexpr const char *extContentId = "\x40\xA4\xD0\xD2\x07";
constexpr const char *codecListId = "\x40\x52\xD1\x86\x1D";
constexpr const char *codecReservedId = "\x41\x52\xD1\x86\x1D";
constexpr const char *extensionId = "\xB5\x03\xBF\x5F\x2E";
constexpr const char *extStreamId = "\xCB\xA5\xE6\x14\x72";
constexpr const char *languageListId = "\xA9\x46\x43\x7C\xE0";
constexpr const char *bitrateExclusionId = "\xDC\x29\xE2\xD6\xDA";
constexpr const char *advancedExclusionId = "\xCF\x49\x86\xA0\x75";
constexpr const char *exclusionLanguageId = "\x00\x2A\xE2\xD6\xDA";
constexpr const char *exclusionBitrateId = "\x01\x2A\xE2\xD6\xDA";

struct FileProps
{
    quint64 fileSize = 0;
    quint64 creation = 0;
    quint64 packets = 0;
    quint64 playDuration = 0;
    quint64 sendDuration = 0;
    quint64 preroll = 0;
    quint32 flags = 0x01; // broadcast
    quint32 maxBitRate = 0;
};

inline QByteArray fileProperties(const FileProps &p)
{
    return object(filePropsId, guid("\x01\x02\x03\x04\x05") + U64ToBytes(p.fileSize) +
                                   U64ToBytes(p.creation) + U64ToBytes(p.packets) +
                                   U64ToBytes(p.playDuration) + U64ToBytes(p.sendDuration) +
                                   U64ToBytes(p.preroll) + U32ToBytes(p.flags) + U32ToBytes(3200) +
                                   U32ToBytes(3200) + U32ToBytes(p.maxBitRate));
}

inline QByteArray stream(const char *type, const char *errorCorrection, quint8 number,
                         const QByteArray &specific)
{
    return object(streamId, guid(type) + guid(errorCorrection) + U64ToBytes(0) + U32ToBytes(specific.size()) +
                                U32ToBytes(0) + u16(number) + U32ToBytes(0) + specific);
}

inline QByteArray videoStream(quint8 number, quint32 width, quint32 height)
{
    return stream(videoId, noEcId, number, U32ToBytes(width) + U32ToBytes(height) + QByteArray(3, '\0'));
}

inline QByteArray audioStream(quint8 number, bool spread)
{
    return stream(audioId, spread ? spreadId : noEcId, number, QByteArray(18, '\0'));
}

// An audio stream whose WAVEFORMATEX states its average bytes per second.
inline QByteArray audioStreamAt(quint8 number, quint32 averageBytesPerSecond)
{
    return stream(audioId, noEcId, number,
                  u16(0x161) + u16(2) + U32ToBytes(44100) + U32ToBytes(averageBytesPerSecond) + u16(4) +
                      u16(16) + u16(0));
}

// A Header Extension Object holding `objects`.
inline QByteArray headerExtension(const QList<QByteArray> &objects)
{
    QByteArray body;
    for (const QByteArray &o : objects)
        body += o;
    return object(extensionId,
                  guid("\x11\xD2\xD3\xAB\xBA") + u16(6) + U32ToBytes(quint32(body.size())) + body);
}

// An Extended Stream Properties Object: data and alternate rate, language index, and the
// stream's own Stream Properties Object when `embedded` holds one.
inline QByteArray extendedStream(quint8 number, quint32 dataRate, quint16 languageIndex,
                                 const QByteArray &embedded = {})
{
    return object(extStreamId, U64ToBytes(quint64(0)) + U64ToBytes(quint64(0)) + U32ToBytes(dataRate) +
                                   U32ToBytes(1000) + U32ToBytes(0) + U32ToBytes(dataRate) +
                                   U32ToBytes(1000) + U32ToBytes(0) + U32ToBytes(0) + U32ToBytes(0) +
                                   u16(number) + u16(languageIndex) + U64ToBytes(quint64(0)) + u16(0) +
                                   u16(0) + embedded);
}

inline QByteArray languageList(const QStringList &languages)
{
    QByteArray payload = u16(quint16(languages.size()));
    for (const QString &l : languages) {
        const QByteArray w = wide(l);
        payload += char(w.size()) + w;
    }
    return object(languageListId, payload);
}

// A mutual exclusion object (bitrateExclusionId or advancedExclusionId) of a type.
inline QByteArray exclusion(const char *objectId, const char *typeId, const QList<quint16> &streams)
{
    QByteArray payload = guid(typeId) + u16(quint16(streams.size()));
    for (quint16 n : streams)
        payload += u16(n);
    return object(objectId, payload);
}

inline QByteArray bitrates(const QList<QPair<quint8, quint32>> &records)
{
    QByteArray payload = u16(quint16(records.size()));
    for (const auto &[stream, rate] : records)
        payload += u16(stream) + U32ToBytes(rate);
    return object(bitrateId, payload);
}

inline QByteArray contentDescription(const QStringList &fiveTexts)
{
    QByteArray lengths, texts;
    for (const QString &t : fiveTexts) {
        const QByteArray w = wide(t);
        lengths += u16(quint16(w.size()));
        texts += w;
    }
    return object(contentId, lengths + texts);
}

inline QByteArray extendedDescription(const QList<QPair<QString, QString>> &descriptors)
{
    QByteArray payload = u16(quint16(descriptors.size()));
    for (const auto &[name, value] : descriptors) {
        const QByteArray n = wide(name), v = wide(value);
        payload += u16(quint16(n.size())) + n + u16(0) + u16(quint16(v.size())) + v;
    }
    return object(extContentId, payload);
}

inline QByteArray codecEntry(quint16 type, const QString &name, const QString &description,
                             const QByteArray &info)
{
    return u16(type) + u16(quint16(name.size() + 1)) + wide(name) + u16(quint16(description.size() + 1)) +
           wide(description) + u16(quint16(info.size())) + info;
}

inline QByteArray codecList(quint32 count, const QByteArray &entries)
{
    return object(codecListId, guid(codecReservedId) + U32ToBytes(count) + entries);
}

inline QByteArray dataObject(quint64 packets)
{
    return guid(dataId) + U64ToBytes(50 + packets * 100) + guid("\x01\x02\x03\x04\x05") +
           U64ToBytes(packets) + u16(0x0101);
}

// A Header Object holding `children`, followed by the Data Object's 50 bytes.
inline QByteArray header(const QList<QByteArray> &children, bool withData = true)
{
    QByteArray body;
    for (const QByteArray &c : children)
        body += c;
    const QByteArray head = guid(headerId) + U64ToBytes(quint64(30 + body.size())) +
                            U32ToBytes(quint32(children.size())) + "\x01\x02" + body;
    return withData ? head + dataObject(0) : head;
}

} // namespace asftest
