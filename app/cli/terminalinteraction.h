#pragma once

#include "shell/interaction.h"

#include <QElapsedTimer>
#include <QString>

#include <functional>

#include <optional>

namespace lumo::cli {

// What the command line answers in place of the windows' questions.
struct TerminalAnswers
{
    QString outputPath;                   // -o; a folder takes the proposed name
    std::optional<ResumeChoice> existing; // --resume / --overwrite
    std::optional<QString> user, password;
    bool quiet = false;
    bool yes = false; // answer Yes to every Yes/No question
    // One task among several: its lines start with this, it draws no progress line and asks
    // nothing at the terminal, and its file name is made unique among the run's files.
    QString linePrefix;
    bool oneOfMany = false;
    std::function<QString(const QString &path)> claimPath;
    std::function<void(const QString &line)> print; // in place of writing to stderr
};

// The person at a terminal: log lines and messages on stderr, a progress line that rewrites
// itself when stderr is a terminal, questions from the options or, on a terminal, a prompt.
class TerminalInteraction final : public Interaction
{
public:
    explicit TerminalInteraction(TerminalAnswers answers);

    void logAppended(const QString &entry) override;
    void logCleared() override {}
    void showMessage(const QString &text) override;
    bool askYesNo(const QString &text) override;
    ResumeChoice askResume(const QString &path) override;
    std::optional<QString> chooseSaveFile(const FileDialogRequest &request) override;
    std::optional<QString> chooseOpenFile(const FileDialogRequest &request) override;
    std::optional<LoginAnswer> askServerLogin(const LoginRequest &request) override;
    std::optional<LoginAnswer> askWebLogin(const LoginRequest &request) override;
    void statusChanged(const TaskStatus &status) override;
    void startCompletionSound(int) override {}
    void stopCompletionSound() override {}

    // Ends the progress line so that later output starts on a new line.
    void finishProgressLine();

    // The last message the person was shown: why a task did not start or how it ended.
    QString lastMessage() const { return m_lastMessage; }
    // Why the server turned the task away (an error reply, a login refused or not given);
    // empty when it did not.
    QString refusal() const { return m_refusal; }

private:
    // Questions may go to the person at the terminal: one task alone, with a terminal.
    bool canPrompt() const;
    void printLine(const QString &text);
    // Prints a line of lumo-cli's own that says why a task cannot go on, and keeps it.
    void explain(const QString &text);
    std::optional<LoginAnswer> askLogin(const LoginRequest &request, const QString &what);

    TerminalAnswers m_answers;
    bool m_tty = false;
    bool m_progressShown = false;
    bool m_loginUsed = false;
    QString m_lastMessage;
    QString m_refusal;
    QElapsedTimer m_clock;
};

} // namespace lumo::cli
