#pragma once

#include "taskreport.h"
#include "terminalinteraction.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <vector>

namespace lumo {
class DownloadController;
class Settings;
class TaskLog;
class UdpEndpoint;
} // namespace lumo

namespace lumo::cli {

// The addresses a redirect file, a web page or a text file (one address per line) lists, in
// their order; nullopt after saying why on stderr.
std::optional<QStringList> addressesFrom(const QString &source);

// The file a task is saved to, unique among the files of this run: "clip.asf", "clip (2).asf"...
class PathClaims
{
public:
    QString claim(const QString &path);

private:
    QSet<QString> m_claimed;
};

// `lumo-cli get` with several addresses: each a task of its own (its controller, log and answers),
// at most `jobs` at a time, the rest waiting their turn. One summary line (or --json events) per
// task; on a terminal a table with a line per task, redrawn each second.
class MultiGet final : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QStringList urls;
        int jobs = 4;
        bool json = false;
        int seconds = 0; // --for: each recording stops after this long
        TerminalAnswers answers;
    };

    MultiGet(Settings &settings, UdpEndpoint &udp, Options options);
    ~MultiGet() override;

    void start();
    // Ctrl-C: every running task stops as Stop does, and none waiting starts.
    void stopAll();
    // 0 only when every task completed or stopped as asked.
    int exitStatus() const;

Q_SIGNALS:
    void allEnded();

private:
    struct Job;
    void launchNext();
    void launch(Job &job);
    void ended(Job &job);
    void drawTable();

    Settings &m_settings;
    UdpEndpoint &m_udp;
    Options m_options;
    PathClaims m_paths;
    std::vector<std::unique_ptr<Job>> m_jobs;
    qsizetype m_next = 0;
    int m_running = 0;
    bool m_stopping = false;
    bool m_table = false; // stderr is a terminal
    int m_tableLines = 0;
    QTimer m_tableTimer;
};

} // namespace lumo::cli
