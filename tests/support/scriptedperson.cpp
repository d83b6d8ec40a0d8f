#include "support/scriptedperson.h"

namespace lumo::test {

// Answers are taken by index so that no optional is moved out of the queue: GCC's
// uninitialised-value warning misfires on that.
template <typename T> static T take(std::deque<T> &queue, const T &fallback)
{
    if (queue.empty())
        return fallback;
    const T value = queue[0];
    queue.erase(queue.begin());
    return value;
}

void ScriptedPerson::logAppended(const QString &entry)
{
    log.append(entry);
}

void ScriptedPerson::logCleared()
{
    log.clear();
    calls.append(QStringLiteral("logCleared"));
}

void ScriptedPerson::showMessage(const QString &text)
{
    messages.append(text);
    calls.append(QStringLiteral("message: ") + text);
}

bool ScriptedPerson::askYesNo(const QString &text)
{
    calls.append(QStringLiteral("yesNo: ") + text);
    return take(yesNoAnswers, defaultYesNo);
}

ResumeChoice ScriptedPerson::askResume(const QString &path)
{
    calls.append(QStringLiteral("resume: ") + path);
    return take(resumeAnswers, defaultResume);
}

std::optional<QString> ScriptedPerson::chooseSaveFile(const FileDialogRequest &request)
{
    fileRequests.append(request);
    calls.append(QStringLiteral("saveFile: ") + request.proposedName);
    if (!saveFileAnswers.empty())
        return take(saveFileAnswers, std::optional<QString>());
    if (defaultSaveFile.isEmpty())
        return std::nullopt;
    return defaultSaveFile;
}

std::optional<QString> ScriptedPerson::chooseOpenFile(const FileDialogRequest &request)
{
    fileRequests.append(request);
    calls.append(QStringLiteral("openFile: ") + request.title);
    return std::nullopt;
}

std::optional<LoginAnswer> ScriptedPerson::askServerLogin(const LoginRequest &request)
{
    loginRequests.append(request);
    calls.append(QStringLiteral("serverLogin: ") + request.host);
    return take(loginAnswers, std::optional<LoginAnswer>{});
}

std::optional<LoginAnswer> ScriptedPerson::askWebLogin(const LoginRequest &request)
{
    loginRequests.append(request);
    calls.append(QStringLiteral("webLogin: ") + request.host);
    return take(loginAnswers, std::optional<LoginAnswer>{});
}

void ScriptedPerson::statusChanged(const TaskStatus &status)
{
    statuses.append(status);
}

void ScriptedPerson::startCompletionSound(int intervalSeconds)
{
    ++soundStarts;
    calls.append(QStringLiteral("soundStart: %1").arg(intervalSeconds));
}

void ScriptedPerson::stopCompletionSound()
{
    ++soundStops;
}

QStringList ScriptedPerson::logLines() const
{
    QStringList lines;
    for (const QString &entry : log) {
        QStringList parts = entry.split(QStringLiteral("\r\n"));
        if (parts.size() > 1 && parts.last().isEmpty())
            parts.removeLast();
        lines += parts;
    }
    return lines;
}

} // namespace lumo::test
