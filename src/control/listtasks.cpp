#include "control/listtasks.h"

#include "control/downloadcontroller.h"
#include "control/downloadlist.h"
#include "shell/settings.h"
#include "shell/tasklog.h"

#include <QDir>
#include <QFileInfo>

namespace lumo {

// A row's person: answers from the row what the main window would ask, keeps messages as the
// row's note, and hands on only what needs someone (a login, a yes/no), naming the address.
class ListTasks::RowPerson final : public Interaction
{
public:
    RowPerson(ListTasks &owner, quint64 id) : m_owner(owner), m_id(id) {}

    void logAppended(const QString &entry) override { Q_EMIT m_owner.logAppended(m_id, entry); }
    void logCleared() override { Q_EMIT m_owner.logCleared(m_id); }
    void showMessage(const QString &text) override { m_owner.m_list.setNote(m_id, text.trimmed()); }
    bool askYesNo(const QString &text) override
    {
        return m_owner.m_person.askYesNo(address() + QStringLiteral("\n\n") + text);
    }
    // The row's file was made for it: what it holds is this row's last run.
    ResumeChoice askResume(const QString &) override { return ResumeChoice::Resume; }
    std::optional<QString> chooseSaveFile(const FileDialogRequest &request) override
    {
        const DownloadRow *row = m_owner.m_list.row(m_id);
        if (!row)
            return std::nullopt;
        if (request.defaultSuffix == QLatin1String("asf"))
            return row->saveFile;
        // Anything else (the log saved at completion) goes where the dialog would have started.
        const QString folder =
            request.startFolder.isEmpty() ? QFileInfo(row->saveFile).absolutePath() : request.startFolder;
        return QDir(folder).absoluteFilePath(request.proposedName);
    }
    std::optional<QString> chooseOpenFile(const FileDialogRequest &) override { return std::nullopt; }
    std::optional<LoginAnswer> askServerLogin(const LoginRequest &request) override
    {
        return m_owner.m_person.askServerLogin(named(request));
    }
    std::optional<LoginAnswer> askWebLogin(const LoginRequest &request) override
    {
        return m_owner.m_person.askWebLogin(named(request));
    }
    void statusChanged(const TaskStatus &status) override
    {
        m_owner.m_list.updateStatus(m_id, status, m_owner.m_clock.elapsed());
    }
    void startCompletionSound(int) override { Q_EMIT m_owner.completionSound(); }
    // The sound plays once for a row; there is nothing to stop.
    void stopCompletionSound() override {}

private:
    QString address() const
    {
        const DownloadRow *row = m_owner.m_list.row(m_id);
        return row ? row->address : QString();
    }
    // Several rows may ask at once: the question names the whole address, not just the host.
    LoginRequest named(LoginRequest request) const
    {
        request.host = address();
        return request;
    }

    ListTasks &m_owner;
    quint64 m_id;
};

struct ListTasks::Task
{
    std::unique_ptr<TaskLog> log;
    std::unique_ptr<RowPerson> person;
    // Last: it ends its task through the two above.
    std::unique_ptr<DownloadController> controller;
};

ListTasks::ListTasks(DownloadList &list, Settings &settings, UdpEndpoint &udp, Interaction &person,
                     QObject *parent)
    : QObject(parent), m_list(list), m_settings(settings), m_udp(udp), m_person(person)
{
    m_clock.start();
}

ListTasks::~ListTasks()
{
    closeAll(DownloadController::WorkerEndTimeoutMs);
}

ListTasks::Task &ListTasks::taskFor(quint64 id)
{
    std::unique_ptr<Task> &slot = m_tasks[id];
    if (slot)
        return *slot;
    slot = std::make_unique<Task>();
    slot->log = std::make_unique<TaskLog>();
    slot->person = std::make_unique<RowPerson>(*this, id);
    slot->controller = std::make_unique<DownloadController>(*slot->log, m_settings, *slot->person, m_udp);
    DownloadController *controller = slot->controller.get();
    connect(controller, &DownloadController::finished, this, [this, id, controller] {
        const TaskEnd end = controller->lastEnd();
        m_list.setState(id, rowStateAfter(end));
        Q_EMIT taskEnded(id, end);
    });
    return *slot;
}

bool ListTasks::start(quint64 id)
{
    const DownloadRow *row = m_list.row(id);
    if (!row || isActive(row->state))
        return false;
    Task &task = taskFor(id);
    // A live broadcast cannot be resumed: the recording made is kept, the new one goes beside it.
    if (row->live && QFileInfo(row->saveFile).size() > 0)
        m_list.renewSaveFile(id);
    m_list.setState(id, RowState::Connecting);
    if (task.controller->start(m_list.row(id)->address))
        return true;
    m_list.setState(id, RowState::Failed);
    return false;
}

void ListTasks::stop(quint64 id)
{
    const DownloadRow *row = m_list.row(id);
    const auto found = m_tasks.find(id);
    if (!row || !isActive(row->state) || found == m_tasks.end())
        return;
    found->second->controller->stop();
}

void ListTasks::startAll()
{
    QList<quint64> ids;
    for (const DownloadRow &row : m_list.rows()) {
        if (!isActive(row.state) && row.state != RowState::Completed)
            ids.append(row.id);
    }
    // One row's refusal does not keep the others from starting.
    for (const quint64 id : ids)
        start(id);
}

void ListTasks::stopAll()
{
    for (const auto &[id, task] : m_tasks)
        stop(id);
}

bool ListTasks::remove(quint64 id)
{
    const DownloadRow *row = m_list.row(id);
    if (!row || isActive(row->state))
        return false;
    m_tasks.erase(id);
    return m_list.remove(id);
}

void ListTasks::closeAll(int timeoutMs)
{
    for (const auto &[id, task] : m_tasks) {
        if (!task->controller->idle())
            task->controller->stop();
    }
    for (const auto &[id, task] : m_tasks)
        task->controller->waitForWorker(timeoutMs);
}

bool ListTasks::anyActive() const
{
    return std::any_of(m_list.rows().cbegin(), m_list.rows().cend(),
                       [](const DownloadRow &row) { return isActive(row.state); });
}

const TaskLog *ListTasks::log(quint64 id) const
{
    const auto found = m_tasks.find(id);
    return found == m_tasks.end() ? nullptr : found->second->log.get();
}

DownloadController *ListTasks::controller(quint64 id)
{
    const auto found = m_tasks.find(id);
    return found == m_tasks.end() ? nullptr : found->second->controller.get();
}

} // namespace lumo
