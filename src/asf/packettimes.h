#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace lumo {

class TaskLog;

// Offset of the 32-bit send time inside an ASF data packet, chosen by its length-type flags
// byte; 0 when the flags are not a layout we know or the packet is too short to hold it.
int TimestampOffset(QByteArrayView packet);

// Rewrites, in place, a live packet's send time and the presentation time of each payload so
// that they count from `firstTime` (the send time of the connection's first data packet): a
// recording then starts at 0. Returns true when the whole packet was walked, false when it was refused
// (the reason is logged; fields rewritten before the refusal stay rewritten). Never touches a
// byte outside the time fields, nor reads outside the packet.
bool RebasePacketTimes(QByteArray &packet, quint32 firstTime, TaskLog &log);
bool RebasePacketTimes(char *packet, qsizetype size, quint32 firstTime, TaskLog &log);

// A packet whose padding a server left out comes back padded with zeros to `packetSize`: its
// Padding Length field, when it has one and it says 0, is set to the bytes added, so the packet
// is again what the server's own file holds. Returns whether the field was set.
bool RestorePaddingLength(char *packet, qsizetype size, qsizetype packetSize);

} // namespace lumo
