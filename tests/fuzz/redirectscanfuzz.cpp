// The redirect scan on arbitrary file or page bytes.
#include "fuzz/fuzztargets.h"

#include "control/mediaopener.h"

#include <cstdlib>

int lumoFuzzRedirectScan(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const lumo::RedirectScan scan = lumo::ScanRedirectText(text);
    if (scan.entries.size() > lumo::RedirectScan::MaxEntries)
        std::abort();
    return 0;
}

#ifdef LUMO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return lumoFuzzRedirectScan(data, size);
}
#endif
