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
