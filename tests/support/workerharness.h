#pragma once

#include "asf/headeranalysis.h"
#include "mms/commandexchange.h"
#include "mms/downloadtask.h"
#include "mms/receiveworker.h"
#include "mms/taskhooks.h"
#include "mms/tcpconnection.h"
#include "shell/settings.h"
#include "shell/tasklog.h"
#include "support/scriptedperson.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace lumo::test {

// The task's ends as the controller has them, without sockets or windows: a close stops the
// worker and closes the file. What the worker reports is recorded.
class RecordingHooks final : public TaskHooks
{
public:
    explicit RecordingHooks(DownloadTask &task) : m_task(task) {}

    std::function<bool()> analyseHeader = [] { return true; };
    QString exceptionMessage; // written by the worker before WorkerFinished
    std::atomic<bool> headerReady{false};

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
    void OnException(const QString &message) override
    {
        exceptionMessage = message;
        AbandonTask();
    }
    void CompleteDownload() override { CloseTask(); }
    void EndIncomplete(quint32) override { CloseTask(); }
    void ExpectPacketsUpTo(quint32) override {}
    void ShowStreamStart() override {}
    bool AnalyseHeader() override { return analyseHeader(); }
    void ConnectionLost() override { CloseTask(); }
    void StreamHeaderReady() override { headerReady = true; }
    void WorkerFinished() override
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
        m_wake.notify_all();
    }
    // Before the next run of the worker.
    void reset()
    {
        std::lock_guard lock(m_mutex);
        m_finished = false;
        headerReady = false;
    }
    bool waitFinished(int ms)
    {
        std::unique_lock lock(m_mutex);
        return m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_finished; });
    }

private:
    DownloadTask &m_task;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_finished = false;
};

// One receive worker with everything it works with.
struct WorkerHarness
{
    DownloadTask task;
    TaskLog log;
    ScriptedPerson person;
    Settings settings;
    TcpConnection tcp;
    RecordingHooks hooks{task};
    SaveFileWriter writer{log};
    CommandExchange exchange{task, tcp, log, person, settings, hooks};
    ReceiveWorker worker{task, exchange, writer, log, person, hooks};

    // The header analysis as the controller runs it, on the collected header bytes (no file).
    void analyseTheHeaderBuffer()
    {
        hooks.analyseHeader = [this] {
            const HeaderAnalysis result =
                AnalyseAsfHeaderBytes(task.HeaderBuffer, task.StreamType, QString());
            task.StreamCount = result.StreamCount;
            task.StreamNumbers = result.StreamNumbers;
            task.ResumePacket = result.ResumePacket;
            return result.ok;
        };
    }
};

} // namespace lumo::test
