// The ASF header analysis on arbitrary header bytes; the first byte picks the stream type.
#include "fuzz/fuzztargets.h"

#include "asf/headeranalysis.h"
#include "asf/streamchoice.h"

#include <cstdlib>

int lumoFuzzHeader(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArrayView header(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    lumo::AnalyseAsfHeaderBytes(header, lumo::StreamType(data[0] % 3), QStringLiteral("mms://host/a.asf"));

    // The stream choice on what the list made of the bytes: its header changes stay inside them.
    const lumo::StreamList list = lumo::ReadStreamList(header);
    lumo::StreamRule rule;
    rule.kind = lumo::StreamRuleKind(data[0] % 5);
    rule.maxBitRate = 400000;
    rule.streams = {1, 3};
    const lumo::StreamChoice choice = lumo::ChooseStreams(list, rule);
    for (const lumo::HeaderPatch &patch : lumo::StreamChoicePatches(list, choice)) {
        if (patch.offset < 0 || patch.offset + patch.bytes.size() > header.size())
            std::abort();
    }
    lumo::ChoiceStatedInHeader(list);
    return 0;
}

#ifdef LUMO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return lumoFuzzHeader(data, size);
}
#endif
