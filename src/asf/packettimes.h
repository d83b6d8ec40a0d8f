#pragma once

#include <QByteArrayView>

namespace lumo {

// Offset of the 32-bit send time inside an ASF data packet, chosen by its length-type flags
// byte; 0 when the flags are not a layout we know or the packet is too short to hold it.
int TimestampOffset(QByteArrayView packet);

} // namespace lumo
