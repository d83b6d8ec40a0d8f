#pragma once

#include "asf/headeranalysis.h"
#include "asf/savefilewriter.h"
#include "control/address.h"
#include "control/taskendtexts.h"
#include "mms/commandexchange.h"
#include "mms/downloadtask.h"
#include "mms/httpclient.h"
#include "mms/httpsession.h"
#include "mms/receiveworker.h"
#include "mms/taskhooks.h"
#include "mms/tcpconnection.h"
#include "mms/udpendpoint.h"
#include "mms/udpintake.h"
#include "shell/interaction.h"
#include "shell/threadsafeinteraction.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace lumo {

class HttpClient;
class Settings;
class TaskLog;
class UdpEndpoint;

// Drives one download at a time: Start and Stop, the task reset, the socket events, the
// progress display, and the task's ends (CloseTask, CompleteDownload). Lives on the event
// thread; the worker reaches it through TaskHooks.
class DownloadController final : public QObject, private TaskHooks
{
    Q_OBJECT
public:
    static constexpr int ProgressIntervalMs = 200;
    static constexpr int ConnectTimeoutMs = 45000;
    // How long Start and shutdown wait for the last task's worker to end.
    static constexpr int WorkerEndTimeoutMs = 10000;

    DownloadController(TaskLog &log, Settings &settings, Interaction &person, UdpEndpoint &udp,
                       QObject *parent = nullptr);
    ~DownloadController() override;

    // Start: checks the address, resets the task, prepares the save file and connects.
    // Returns whether the connection is being opened.
    bool start(const QString &urlText);
    // Stop, after asking the person.
    void confirmStop();
    // Stop without asking (the command line's Ctrl-C, a recording length reached).
    void stop();

    void ResetTask();
    void CloseTask() override;
    // Ends the task without finishing the file.
    void AbandonTask() override;
    // An error that nothing else handled: tells the person and ends the task without finishing
    // the file. The program goes on. Any thread.
    void OnException(const QString &message) override;

    // The open location (the main window's MediaWindow caption), set by the open-media flow.
    void setMediaWindowText(const QString &text) { m_mediaWindow = text; }
    QString mediaWindowText() const { return m_mediaWindow; }
    QString saveWindowText() const { return m_saveWindow; }
    void setSaveWindowText(const QString &text) { m_saveWindow = text; }
    // The location opened is a local file: the task's end leaves it alone.
    void setLocalMedia(bool local) { m_task.LocalMedia = local; }
    void setPreviewFile(const QString &path) { m_task.PreviewFile = path; }
    // Analyses a local ASF file for the file-properties window (its header, as lumo-cli info
    // does); false after the analysis has told the person why.
    bool analyseLocalMedia(const QString &path);
    void setHttpClient(HttpClient *http) { m_http = http; }
    // The connect time-out, 45 s unless a test shortens it.
    void setConnectTimeout(int ms) { m_connectTimer.setInterval(ms); }

    const DownloadTask &task() const { return m_task; }
    const TaskStatus &status() const { return m_status; }
    const HeaderAnalysis &analysis() const { return m_analysis; }
    // Which of the analysed header's streams the task records (a local file: what its header
    // states); empty when that is not known.
    const QList<StreamPick> &streamPicks() const { return m_streamPicks; }
    bool completed() const { return m_completed; }
    // The last task was a stored download that ended before its end: a resume continues it.
    bool interrupted() const { return m_interrupted; }
    // How the last task ended.
    TaskEnd lastEnd() const;
    // No task runs (one that has ended may still be waiting for its worker).
    bool idle() const { return m_state == State::Idle || m_state == State::Ending; }

    // Waits, running the event loop, until the worker has ended (bounded).
    bool waitForWorker(int timeoutMs);

    // The progress display, on its timer and on demand.
    void updateProgress();

Q_SIGNALS:
    // The task has ended and its worker is gone; completed when the end of media arrived.
    void finished(bool completed);
    // How the task ended, as soon as that is known: a completion before its message is shown,
    // any other end with finished().
    void ended(lumo::TaskEnd end);
    // The header analysis filled the file-properties pages.
    void propertiesChanged();
    // An address that is not an MMS address empties the address box.
    void urlListCleared();

private:
    // TaskHooks, called on the worker thread.
    void CompleteDownload() override;
    void EndIncomplete(quint32 missing) override;
    void ExpectPacketsUpTo(quint32 lastLocation) override;
    void ShowStreamStart() override;
    bool AnalyseHeader() override;
    void ConnectionLost() override;
    void WorkerFinished() override;
    void StreamHeaderReady() override;

    // Socket events.
    void TCPSocketLookup();
    void TCPSocketConnecting();
    void TCPSocketConnect();
    void TCPSocketRead();
    void TCPSocketDisconnect();
    void TCPSocketError(int code);
    void UDPSocketDataReceived();
    // Over UDP: the task receives through the shared endpoint, or one of its own when another
    // task receives from the same server there.
    void beginUdp();
    void connectTimedOut();
    // Opens the task's connection: MMS over TCP (with or without UDP) or over HTTP.
    void openConnection(const QString &urlText, const HostPort &target, quint16 settingsPort);
    // MMS over HTTP (downloadconnection.cpp).
    void openHttp(const QString &host, quint16 port);
    // Reads the answer's head; false while the body has not begun (or the task has ended).
    bool readHttpHead();
    void playHttpStream();
    // An mms:// address whose server does not speak MMS over TCP is tried over HTTP.
    bool mayRollOver() const;
    void rollOverToHttp(const QString &why);
    // The first bytes of an mms:// answer: MMS goes on, anything else rolls over.
    bool checkFirstReply();
    // A task that never got an answer from the server ends: nothing to finish in the file.
    void endUnanswered(const QString &logLine, const QString &message);

    // A download's analysis also chooses the streams to ask for.
    bool analyse(const QString &path, bool download);
    // Which streams the task asks for (streamselection.cpp): the rule for a new file, what a
    // resumed file states; the header of a new file is made to state it. On the worker.
    bool chooseStreams(const StreamList &list);
    void logStreamChoice(const StreamList &list, const StreamChoice &choice);
    void publishStatus();
    void onEventThread(const std::function<void()> &work);
    void maybeFinish();
    void logConnectionClosed();
    void saveLogAtCompletion();
    // A stored download ended before its end: the title and a message say so (any thread).
    void reportInterrupted(const QString &reason);

    TaskLog &m_log;
    Settings &m_settings;
    Interaction &m_rawPerson;
    ThreadSafeInteraction m_person;
    UdpEndpoint &m_udp;
    QPointer<HttpClient> m_http;

    DownloadTask m_task;
    TcpConnection m_tcp;
    std::unique_ptr<UdpEndpoint> m_ownUdp; // before the intake, which may be registered with it
    UdpMediaIntake m_udpIntake;
    SaveFileWriter m_writer;
    CommandExchange m_exchange;
    HttpStreamSession m_httpSession;
    ReceiveWorker m_worker;
    QTimer m_progressTimer;
    QTimer m_connectTimer; // the server must answer the connection within this

    TaskStatus m_status;
    HeaderAnalysis m_analysis;
    QList<StreamPick> m_streamPicks; // event thread, with m_analysis
    StreamRule m_streamRule;         // fixed at Start
    QString m_mediaWindow;
    QString m_saveWindow;
    QString m_urlText;
    bool m_udpTick = false; // settings fixed at Start for this task
    quint16 m_udpPort = 0;  // the server's, for resend requests
    // An mms:// task may go over to HTTP until the server has answered in MMS.
    bool m_rollOver = false;
    QByteArray m_firstReply;
    // Over HTTP: the Describe answer's header is in; the Play follows once its worker has ended.
    std::atomic<bool> m_playPending{false};

    // Where the task is; event thread only.
    enum class State
    {
        Idle,       // no task; finished() has been sent
        Connecting, // Start has opened the connection; no worker yet
        Receiving,  // the worker handles what arrives
        Draining,   // the server closed; RecvBuffer closes once the socket is drained
        Ending,     // the task is closed; finished() waits for the worker to end
    };
    State m_state = State::Idle;
    void setState(State state);
    std::atomic<bool> m_completed{false};
    // This task made its save file and nothing reached it: the file was removed at the end.
    std::atomic<bool> m_savedNothing{false};
    std::atomic<bool> m_closeLogged{false}; // the connection's close is in the log
    std::atomic<bool> m_interrupted{false};
    bool m_stoppedByPerson = false; // event thread
};

} // namespace lumo
