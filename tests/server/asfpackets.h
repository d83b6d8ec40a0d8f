#pragma once

#include <QByteArray>
#include <QList>
#include <vector>

// ASF data packets and header objects as the tests read them, apart from the server's own reader.
namespace servertest {

struct PayloadSpan
{
    int stream = 0;
    qsizetype at = 0;  // its first byte
    qsizetype end = 0; // one past its data
};

struct PacketLook
{
    bool ok = false;
    quint32 sendTime = 0;
    quint16 duration = 0;
    int paddingWidth = 0;
    quint32 padding = 0;
    bool multiple = false;
    qsizetype usedBytes = 0; // where the padding begins
    std::vector<PayloadSpan> payloads;

    // The bytes of every payload of the wanted streams, in order.
    QList<QByteArray> payloadBytes(const QByteArray &packet, const QList<int> &streams) const;
};

PacketLook lookAtPacket(const QByteArray &packet);

// One object of a Header Object: its GUID as stored and its bytes, from the GUID on.
struct HeaderObject
{
    QByteArray guid;
    QByteArray bytes;
};
QList<HeaderObject> headerObjects(const QByteArray &header);

} // namespace servertest
