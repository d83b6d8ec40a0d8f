// The ASF header analysis on arbitrary header bytes; the first byte picks the stream type.
#include "fuzz/fuzztargets.h"

#include "asf/headeranalysis.h"

int lumoFuzzHeader(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArrayView header(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    lumo::AnalyseAsfHeaderBytes(header, lumo::StreamType(data[0] % 3), QStringLiteral("mms://host/a.asf"));
    return 0;
}

#ifdef LUMO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return lumoFuzzHeader(data, size);
}
#endif
