// Arbitrary server bytes through the receive worker: unit splitting, command dispatch, header
// collection and analysis, data packets to a file. The worker runs on its own thread as in a
// download; the hooks end the task the way the controller does, without sockets or windows.
#include "fuzz/fuzztargets.h"

#include "asf/headeranalysis.h"
#include "asf/savefilewriter.h"
#include "mms/commandexchange.h"
#include "mms/downloadtask.h"
#include "mms/receiveworker.h"
#include "mms/taskhooks.h"
#include "mms/tcpconnection.h"
#include "shell/settings.h"
#include "shell/tasklog.h"
#include "support/scriptedperson.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <condition_variable>
#include <cstdlib>
#include <mutex>

namespace {

class FuzzHooks final : public lumo::TaskHooks
{
public:
    explicit FuzzHooks(lumo::DownloadTask &task) : m_task(task) {}
    void CloseTask() override
    {
        m_task.RecvBuffer.requestStop();
        m_task.SaveFile.close();
    }
    void AbandonTask() override
    {
        m_task.LiveRepairDone = true;
        m_task.ResumeRecordDone = true;
        CloseTask();
    }
    void OnException(const QString &) override { std::abort(); } // an exception is a finding
    void CompleteDownload() override { CloseTask(); }
    void ShowStreamStart() override {}
    bool AnalyseHeader() override
    {
        const lumo::HeaderAnalysis result =
            lumo::AnalyseAsfHeaderBytes(m_task.HeaderBuffer, m_task.StreamType, QString());
        m_task.StreamCount = result.StreamCount;
        m_task.StreamNumbers = result.StreamNumbers;
        m_task.ResumePacket = result.ResumePacket;
        return result.ok;
    }
    void ConnectionLost() override { CloseTask(); }
    void WorkerFinished() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_wake.notify_all();
    }
    bool waitFinished(int ms)
    {
        std::unique_lock lock(m_mutex);
        return m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_finished; });
    }

private:
    lumo::DownloadTask &m_task;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_finished = false;
};

[[maybe_unused]] void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

namespace {
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
    DownloadTask task;
    TaskLog log;
    test::ScriptedPerson person;
    Settings settings;
    TcpConnection tcp;
    FuzzHooks hooks(task);
    SaveFileWriter writer(log);
    CommandExchange exchange(task, tcp, log, person, settings, hooks);
    ReceiveWorker worker(task, exchange, writer, log, person, hooks);
    task.ResumeMode = mode & 1 ? ResumeMode::Resume : ResumeMode::New;
    if (mode & 2)
        task.SaveFile.openExisting(QStringLiteral("/dev/null"));

    worker.start();
    task.RecvBuffer.append(reinterpret_cast<const char *>(data), qsizetype(size));
    task.RecvBuffer.markClosed();
    if (!hooks.waitFinished(10000))
        std::abort(); // a worker that does not end on a closed, finite stream is a finding
    if (!worker.join(10000))
        std::abort();
    QCoreApplication::sendPostedEvents(); // the replies the worker queued for the socket
    lastLog = log.lines();
    return 0;
}

#ifdef LUMO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return lumoFuzzReceive(data, size);
}
#endif
