// The log loader on arbitrary file contents (UTF-8, GBK, neither).
#include "fuzz/fuzztargets.h"

#include "shell/tasklog.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

int lumoFuzzLogLoad(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("fuzz.log"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();
    lumo::TaskLog log;
    log.LoadLogFile(path);
    log.lines();
    log.saveText();
    return 0;
}

#ifdef LUMO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return lumoFuzzLogLoad(data, size);
}
#endif
