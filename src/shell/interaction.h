#pragma once

#include <optional>
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace lumo {

// Answers of the resume question; the values are the dialog's modal results.
enum class ResumeChoice
{
    NoChoice = 0,
    Resume = 1,
    Cancel = 2,
    Overwrite = 5,
};

struct FileDialogRequest
{
    QString title;
    QString defaultSuffix; // without the dot
    QString filter;        // entries separated by ";;" in Qt's form
    int filterIndex = 1;   // 1-based entry of the filter
    QString startFolder;   // empty: the dialog's own choice
    QString proposedName;
    bool overwritePrompt = false;
};

struct LoginRequest
{
    QString host;
    QString realm; // empty when the server named none
    QString savedUser;
    QString savedPassword;
};

struct LoginAnswer
{
    QString user;
    QString password;
    bool savePassword = true;
};

// Which of the three status labels is visible.
enum class TaskLabel
{
    Standby,
    Live,
    PreRec,
};

// The statistics page of the file-properties window, as numbers; each front end formats them.
struct TaskStatistics
{
    quint32 packets = 0;       // the index of the last data packet
    quint32 pings = 0;         // pings the server sent and we answered
    quint32 streamCount = 0;   // streams the header lists (the stream window)
    quint32 packetSize = 0;    // bytes
    quint32 maxBitRate = 0;    // bit/s, from the header
    quint32 streamBitRate = 0; // bit/s, from the server's media description
    quint32 clientId = 0;
};

// Everything the windows show about the running task; sent whole on each change.
struct TaskStatus
{
    QString title = QStringLiteral("Lumo"); // the task-bar title, used as a status line
    TaskLabel label = TaskLabel::Standby;
    bool connectEnabled = true;
    bool disconnectEnabled = false;
    int progress = 0;             // gauge, 0..100 (may exceed 100 when the server under-announced)
    bool showPercentText = false; // the gauge's percentage text
    bool live = false;            // a live broadcast: no time left to show
    // Elapsed and remaining media time in milliseconds; nullopt when cleared.
    std::optional<quint32> sendTimeMs;
    std::optional<quint32> timeLeftMs;
    // nullopt when cleared.
    std::optional<TaskStatistics> statistics;
};

// The one way the core reaches the person. The GUI implements it with windows, lumo-cli
// with the terminal and its options, the tests with a scripted fake.
//
// Implementations are called on the event thread only; core code on the worker thread goes
// through ThreadSafeInteraction, which carries each call over and waits for its answer.
class Interaction
{
public:
    virtual ~Interaction() = default;

    // A task-log entry was appended (it may hold several lines separated by CR LF), or the
    // log was cleared. The log model itself lives in the core (TaskLog).
    virtual void logAppended(const QString &entry) = 0;
    virtual void logCleared() = 0;

    // A modal message; returns when the person has closed it.
    virtual void showMessage(const QString &text) = 0;
    // A Yes/No confirmation; true for Yes.
    virtual bool askYesNo(const QString &text) = 0;
    // The resume-or-overwrite question for a save file that already holds data.
    virtual ResumeChoice askResume(const QString &path) = 0;
    // Choose a file to save to / to open; nullopt when cancelled.
    virtual std::optional<QString> chooseSaveFile(const FileDialogRequest &request) = 0;
    virtual std::optional<QString> chooseOpenFile(const FileDialogRequest &request) = 0;
    // Login for the media server (the server's 0x1A) or a web site (HTTP 401); nullopt when cancelled.
    virtual std::optional<LoginAnswer> askServerLogin(const LoginRequest &request) = 0;
    virtual std::optional<LoginAnswer> askWebLogin(const LoginRequest &request) = 0;

    // Status labels, buttons, gauge, times, title and statistics changed.
    virtual void statusChanged(const TaskStatus &status) = 0;

    // The completion sound: play now and every intervalSeconds until stopped.
    virtual void startCompletionSound(int intervalSeconds) = 0;
    virtual void stopCompletionSound() = 0;
};

} // namespace lumo
