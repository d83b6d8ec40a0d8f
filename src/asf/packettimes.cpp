#include "asf/packettimes.h"

namespace lumo {

int TimestampOffset(QByteArrayView packet)
{
    if (packet.size() < 4)
        return 0;
    int offset = 0;
    switch (quint8(packet[3])) {
    case 0x00:
    case 0x01:
        offset = 5;
        break;
    case 0x08:
    case 0x09:
        offset = 6;
        break;
    case 0x10:
    case 0x11:
    case 0x40:
    case 0x41:
        offset = 7;
        break;
    case 0x48:
    case 0x49:
        offset = 8;
        break;
    case 0x50:
    case 0x51:
        offset = 9;
        break;
    default:
        return 0;
    }
    return packet.size() >= offset + 4 ? offset : 0;
}

} // namespace lumo
