#pragma once

#include "control/taskendtexts.h"
#include "shell/interaction.h"

#include <QElapsedTimer>
#include <QObject>

#include <map>
#include <memory>

namespace lumo {

class DownloadController;
class DownloadList;
class Settings;
class TaskLog;
class UdpEndpoint;

// The tasks of the download list: one controller per row, each with its own task log and its
// own person, sharing only the settings and the UDP port. A row's task never asks where to
// save (the row says) and never stops to show a message (the row keeps it as its note); only
// a login or a yes/no question reaches the person, naming the row's address. Event thread.
class ListTasks final : public QObject
{
    Q_OBJECT
public:
    ListTasks(DownloadList &list, Settings &settings, UdpEndpoint &udp, Interaction &person,
              QObject *parent = nullptr);
    ~ListTasks() override;

    // Starts a row's task; false when the row is at work or its task did not start (the row is
    // then failed, its note says why). A stored download whose file holds data resumes; a live
    // recording that starts again gets a new file.
    bool start(quint64 id);
    // Stops a row's task as Stop does, without asking.
    void stop(quint64 id);
    // Every row that is neither at work nor completed.
    void startAll();
    void stopAll();
    // Removes a row that is not at work, with its task.
    bool remove(quint64 id);
    // Ends every task and waits for their workers (bounded): the program is closing.
    void closeAll(int timeoutMs);

    bool anyActive() const;
    // The row's task log and controller; nullptr before its first start.
    const TaskLog *log(quint64 id) const;
    DownloadController *controller(quint64 id);

Q_SIGNALS:
    void logAppended(quint64 id, const QString &entry);
    void logCleared(quint64 id);
    // A row's task has ended and its worker is gone.
    void taskEnded(quint64 id, lumo::TaskEnd end);
    // A row's download completed and the settings ask for the completion sound.
    void completionSound();

private:
    class RowPerson;
    struct Task;
    Task &taskFor(quint64 id);

    DownloadList &m_list;
    Settings &m_settings;
    UdpEndpoint &m_udp;
    Interaction &m_person;
    QElapsedTimer m_clock;
    std::map<quint64, std::unique_ptr<Task>> m_tasks;
};

} // namespace lumo
