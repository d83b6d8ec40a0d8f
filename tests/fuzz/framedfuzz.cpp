// Arbitrary bytes as an answer over HTTP: the head parser, then the framed chunks through the
// receive worker ($H pieces collected and analysed, $D packets padded to disk, $E, $C, $M and
// unknown chunks). The worker runs on its own thread as in a download.
#include "fuzz/fuzztargets.h"

#include "asf/headeranalysis.h"
#include "mms/httpframing.h"
#include "support/workerharness.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdlib>

namespace {
[[maybe_unused]] void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}
QStringList lastLog;
} // namespace

QStringList lumoFuzzFramedLog()
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

int lumoFuzzFramed(const uint8_t *data, size_t size)
{
    using namespace lumo;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const qsizetype end = mmsh::headEnd(bytes); end >= 0) {
        if (const auto head = mmsh::parseResponseHead(bytes.first(end)))
            (void)mmsh::basicRealm(head->authenticate);
    }
    // The first byte picks the task's mode: resume, an open save file, a broadcast.
    const quint8 mode = size > 0 ? data[0] : 0;
    if (size > 0) {
        ++data;
        --size;
    }
    test::WorkerHarness h;
    DownloadTask &task = h.task;
    task.Transport = Transport::Http;
    task.StreamType = mode & 4 ? StreamType::Live : StreamType::Stored;
    h.analyseTheHeaderBuffer();
    task.ResumeMode = mode & 1 ? ResumeMode::Resume : ResumeMode::New;
    if (mode & 2)
        task.SaveFile.openExisting(QStringLiteral("/dev/null"));
    // The Describe answer, and (when its header was whole) the Play answer with the same bytes.
    for (int answer = 0; answer < 2; ++answer) {
        h.hooks.reset();
        task.RecvBuffer.reset();
        h.worker.start();
        task.RecvBuffer.append(reinterpret_cast<const char *>(data), qsizetype(size));
        task.RecvBuffer.markClosed();
        // A worker that does not end on a closed, finite stream, or an exception, is a finding.
        if (!h.hooks.waitFinished(10000) || !h.worker.join(10000) || !h.hooks.exceptionMessage.isEmpty())
            std::abort();
        if (!h.hooks.headerReady)
            break;
    }
    QCoreApplication::sendPostedEvents();
    lastLog = h.log.lines();
    return 0;
}

#ifdef LUMO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return lumoFuzzFramed(data, size);
}
#endif
