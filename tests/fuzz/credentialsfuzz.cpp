// The stored-credential split on arbitrary stored texts.
#include "fuzz/fuzztargets.h"

#include "mms/credentials.h"

int lumoFuzzCredentials(const uint8_t *data, size_t size)
{
    const QString stored = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    lumo::decodeCredentials(stored);
    lumo::webLoginRequest(stored);
    return 0;
}

#ifdef LUMO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return lumoFuzzCredentials(data, size);
}
#endif
