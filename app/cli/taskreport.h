#pragma once

#include "control/taskendtexts.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QString>
#include <QTimer>

namespace lumo {
class DownloadController;
}

namespace lumo::cli {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;
constexpr int ExitInterrupted = 3; // a stored download ended early; --resume continues it
constexpr int ExitRefused = 4;     // the server refused the login or answered with an error

// How a `get` ended, as scripts see it.
enum class GetStatus
{
    Completed,
    Stopped, // Ctrl-C, SIGTERM or --for ended it as asked: exit status 0
    Failed,
    Interrupted,
    Refused,
};

int exitStatus(GetStatus status);
// What `get --help` says about the summary line, --json and the exit statuses.
QString outcomeHelp();
// "lumo-cli: cannot ...\n" as a reason: "cannot ...".
QString withoutProgramName(const QString &text);
// The word scripts read: "completed", "stopped", ...
QString statusName(GetStatus status);
// A refusal by the server counts only when nothing else (a completion, a stop) explains the end.
GetStatus statusOf(TaskEnd end, bool refusedByServer);

// What the file holds when a task has ended or while it runs.
struct FileTally
{
    QString path; // empty when no file is left
    qint64 packets = 0;
    qint64 bytes = 0;
};

// The report of one `get` on stdout, for scripts: one summary line at the end, or with --json one
// JSON object per line for each event (started, progress, ended) and nothing else. Each line is
// flushed at once so that a pipe sees it while the recording runs.
class TaskReport
{
public:
    static constexpr int ProgressIntervalMs = 1000;

    explicit TaskReport(bool json);

    // The task has started; with --json, where it is follows once a second until it ends.
    void started(const QString &url, const DownloadController &controller);
    void ended(GetStatus status, const FileTally &tally, const QString &reason);

    // The packets and bytes the controller's save file holds now.
    static FileTally tallyOf(const DownloadController &controller);
    // "5.6 MB": decimal units, as file managers show sizes.
    static QString sizeText(qint64 bytes);

private:
    void emitEvent(QJsonObject event);
    void progress(const DownloadController &controller);

    bool m_json;
    QElapsedTimer m_clock;
    QTimer m_progressTimer;
};

} // namespace lumo::cli
