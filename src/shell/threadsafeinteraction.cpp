#include "shell/threadsafeinteraction.h"

#include <QThread>

namespace lumo {

ThreadSafeInteraction::ThreadSafeInteraction(Interaction &target, QObject *parent)
    : QObject(parent), m_target(target)
{}

void ThreadSafeInteraction::runOnEventThread(const std::function<void()> &work)
{
    if (QThread::currentThread() == thread())
        work();
    else
        QMetaObject::invokeMethod(this, work, Qt::BlockingQueuedConnection);
}

void ThreadSafeInteraction::logAppended(const QString &entry)
{
    runOnEventThread([&] { m_target.logAppended(entry); });
}

void ThreadSafeInteraction::logCleared()
{
    runOnEventThread([&] { m_target.logCleared(); });
}

void ThreadSafeInteraction::showMessage(const QString &text)
{
    runOnEventThread([&] { m_target.showMessage(text); });
}

bool ThreadSafeInteraction::askYesNo(const QString &text)
{
    bool answer = false;
    runOnEventThread([&] { answer = m_target.askYesNo(text); });
    return answer;
}

ResumeChoice ThreadSafeInteraction::askResume(const QString &path)
{
    ResumeChoice answer = ResumeChoice::NoChoice;
    runOnEventThread([&] { answer = m_target.askResume(path); });
    return answer;
}

std::optional<QString> ThreadSafeInteraction::chooseSaveFile(const FileDialogRequest &request)
{
    std::optional<QString> answer;
    runOnEventThread([&] { answer = m_target.chooseSaveFile(request); });
    return answer;
}

std::optional<QString> ThreadSafeInteraction::chooseOpenFile(const FileDialogRequest &request)
{
    std::optional<QString> answer;
    runOnEventThread([&] { answer = m_target.chooseOpenFile(request); });
    return answer;
}

std::optional<LoginAnswer> ThreadSafeInteraction::askServerLogin(const LoginRequest &request)
{
    std::optional<LoginAnswer> answer;
    runOnEventThread([&] { answer = m_target.askServerLogin(request); });
    return answer;
}

std::optional<LoginAnswer> ThreadSafeInteraction::askWebLogin(const LoginRequest &request)
{
    std::optional<LoginAnswer> answer;
    runOnEventThread([&] { answer = m_target.askWebLogin(request); });
    return answer;
}

void ThreadSafeInteraction::statusChanged(const TaskStatus &status)
{
    runOnEventThread([&] { m_target.statusChanged(status); });
}

void ThreadSafeInteraction::startCompletionSound(int intervalSeconds)
{
    runOnEventThread([&] { m_target.startCompletionSound(intervalSeconds); });
}

void ThreadSafeInteraction::stopCompletionSound()
{
    runOnEventThread([&] { m_target.stopCompletionSound(); });
}

} // namespace lumo
