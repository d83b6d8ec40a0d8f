// RebasePacketTimes and TimestampOffset on arbitrary packets: they must stay inside the packet
// and touch nothing but time fields. The first four bytes are the first send time.
#include "fuzz/fuzztargets.h"

#include "asf/packettimes.h"
#include "shell/tasklog.h"

#include <QtEndian>

#include <cstdlib>
#include <cstring>

int lumoFuzzPacketTimes(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    const quint32 firstTime = qFromLittleEndian<quint32>(data);
    const QByteArray original(reinterpret_cast<const char *>(data) + 4, qsizetype(size - 4));
    QByteArray packet = original;
    lumo::TaskLog log;
    const int offset = lumo::TimestampOffset(packet);
    if (offset != 0 && (offset < 0 || offset + 4 > packet.size()))
        std::abort();
    lumo::RebasePacketTimes(packet, firstTime, log);
    if (packet.size() != original.size())
        std::abort();
    return 0;
}

#ifdef LUMO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return lumoFuzzPacketTimes(data, size);
}
#endif
