#pragma once

#include "shell/interaction.h"

#include <QList>
#include <QStringList>

#include <deque>

namespace lumo::test {

// The person, scripted: answers come from queues (with defaults when a queue runs dry), and
// every call is recorded so a test can check what the core asked and said, in order.
class ScriptedPerson final : public Interaction
{
public:
    QStringList calls;    // "op: text" per call, in order
    QStringList log;      // log entries as they arrived
    QStringList messages; // texts of message boxes
    QList<TaskStatus> statuses;
    QList<FileDialogRequest> fileRequests;
    QList<LoginRequest> loginRequests;
    int soundStarts = 0;
    int soundStops = 0;

    std::deque<bool> yesNoAnswers;
    bool defaultYesNo = true;
    std::deque<ResumeChoice> resumeAnswers;
    ResumeChoice defaultResume = ResumeChoice::Cancel;
    std::deque<std::optional<QString>> saveFileAnswers;
    QString defaultSaveFile; // empty: cancel
    std::deque<std::optional<LoginAnswer>> loginAnswers;

    void logAppended(const QString &entry) override;
    void logCleared() override;
    void showMessage(const QString &text) override;
    bool askYesNo(const QString &text) override;
    ResumeChoice askResume(const QString &path) override;
    std::optional<QString> chooseSaveFile(const FileDialogRequest &request) override;
    std::optional<QString> chooseOpenFile(const FileDialogRequest &request) override;
    std::optional<LoginAnswer> askServerLogin(const LoginRequest &request) override;
    std::optional<LoginAnswer> askWebLogin(const LoginRequest &request) override;
    void statusChanged(const TaskStatus &status) override;
    void startCompletionSound(int intervalSeconds) override;
    void stopCompletionSound() override;

    // The log as lines (entries split at CR LF).
    QStringList logLines() const;
};

} // namespace lumo::test
