#pragma once

#include "shell/interaction.h"

#include <QObject>

namespace lumo {

// Wraps the person's Interaction so that core code may call it from any thread: a call from
// the worker is carried to the event thread (where this object lives) and the worker waits
// for the answer. The event thread must never wait for the worker without running its events.
class ThreadSafeInteraction final : public QObject, public Interaction
{
    Q_OBJECT
public:
    explicit ThreadSafeInteraction(Interaction &target, QObject *parent = nullptr);

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

    // Runs `work` on the event thread and waits for it (directly when already there).
    void runOnEventThread(const std::function<void()> &work);

private:
    Interaction &m_target;
};

} // namespace lumo
