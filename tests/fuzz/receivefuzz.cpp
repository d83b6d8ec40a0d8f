// Arbitrary server bytes through the receive worker: unit splitting, command dispatch, header
// collection and analysis, data packets to a file. The worker runs on its own thread as in a
// download; the hooks end the task the way the controller does, without sockets or windows.
#include "fuzz/fuzztargets.h"

#include "asf/headeranalysis.h"
#include "support/workerharness.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdlib>

namespace {
[[maybe_unused]] void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}
QStringList lastLog;
} // namespace

QStringList lumoFuzzReceiveLog()
{
    return lastLog;
}

#ifdef LUMO_FUZZ_MAIN
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qInstallMessageHandler(quiet);
    static QCoreApplication app(*argc, *argv);
    return 0;
}
#endif

int lumoFuzzReceive(const uint8_t *data, size_t size)
{
    using namespace lumo;
    // The first byte picks the task's mode: resume, live, and whether the file is open.
    const quint8 mode = size > 0 ? data[0] : 0;
    if (size > 0) {
        ++data;
        --size;
    }
    test::WorkerHarness h;
    DownloadTask &task = h.task;
    h.analyseTheHeaderBuffer();
    task.ResumeMode = mode & 1 ? ResumeMode::Resume : ResumeMode::New;
    if (mode & 2)
        task.SaveFile.openExisting(QStringLiteral("/dev/null"));

    h.worker.start();
    task.RecvBuffer.append(reinterpret_cast<const char *>(data), qsizetype(size));
    task.RecvBuffer.markClosed();
    // A worker that does not end on a closed, finite stream, or an exception, is a finding.
    if (!h.hooks.waitFinished(10000) || !h.worker.join(10000) || !h.hooks.exceptionMessage.isEmpty())
        std::abort();
    QCoreApplication::sendPostedEvents(); // the replies the worker queued for the socket
    lastLog = h.log.lines();
    return 0;
}

#ifdef LUMO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return lumoFuzzReceive(data, size);
}
#endif
