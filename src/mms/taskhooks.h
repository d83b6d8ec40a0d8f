#pragma once

#include <QString>

namespace lumo {

// What the MMS client needs of the rest of the task: its ends, the stream-start display and
// the header analysis. The download controller provides them.
class TaskHooks
{
public:
    virtual ~TaskHooks() = default;

    // The task end; any thread. A second run in the same task repeats nothing.
    virtual void CloseTask() = 0;
    // Ends the task without finishing the file: no live repair, no resume record (a refused
    // login, a failed transport, a time-out). Any thread.
    virtual void AbandonTask() = 0;
    // Something nothing else handled: the person is told and the task abandoned. Any thread.
    virtual void OnException(const QString &message) = 0;
    // The server reported the end of the media (worker thread).
    virtual void CompleteDownload() = 0;
    // Over UDP: the media has ended but `missing` data packets never came, even when asked for
    // again; the task ends as interrupted (worker thread).
    virtual void EndIncomplete(quint32 missing) = 0;
    // Over UDP: the stream's packets run up to this location; any not seen are missing.
    virtual void ExpectPacketsUpTo(quint32 lastLocation) = 0;
    // The server reported that the stream starts (worker thread).
    virtual void ShowStreamStart() = 0;
    // The whole ASF header is in; analyse it. Returns whether the analysis succeeded (a failure
    // has shown its message). Worker thread.
    virtual bool AnalyseHeader() = 0;
    // Over HTTP: the header of the Describe answer is saved and analysed; the stream can be
    // asked for now (worker thread, which then ends).
    virtual void StreamHeaderReady() = 0;
    // The server closed the connection and every complete unit it sent has been handled.
    virtual void ConnectionLost() = 0;
    // The worker thread is about to end.
    virtual void WorkerFinished() = 0;
};

} // namespace lumo
