#include "terminalinteraction.h"

#include "taskreport.h"

#include "control/statustext.h"
#include "mms/servererrors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace lumo::cli {

namespace {

QString readLine(bool echo)
{
    termios saved{};
    const bool hide = !echo && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (hide) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    char buffer[1024];
    const bool got = std::fgets(buffer, sizeof buffer, stdin) != nullptr;
    if (hide) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        std::fputs("\n", stderr);
    }
    return got ? QString::fromLocal8Bit(buffer).trimmed() : QString();
}

void err(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
}

} // namespace

TerminalInteraction::TerminalInteraction(TerminalAnswers answers)
    : m_answers(std::move(answers)), m_tty(isatty(STDERR_FILENO) != 0 && !m_answers.oneOfMany)
{
    m_clock.start();
}

bool TerminalInteraction::canPrompt() const
{
    return !m_answers.oneOfMany && isatty(STDIN_FILENO);
}

void TerminalInteraction::printLine(const QString &text)
{
    if (m_progressShown) {
        err(QStringLiteral("\r\033[K"));
        m_progressShown = false;
    }
    if (m_answers.print)
        m_answers.print(m_answers.linePrefix + text);
    else
        err(m_answers.linePrefix + text + QLatin1Char('\n'));
}

void TerminalInteraction::finishProgressLine()
{
    if (m_progressShown)
        err(QStringLiteral("\n"));
    m_progressShown = false;
}

void TerminalInteraction::logAppended(const QString &entry)
{
    if (m_answers.quiet)
        return;
    QString text = entry;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    printLine(text);
}

void TerminalInteraction::explain(const QString &text)
{
    printLine(text);
    m_lastMessage = withoutProgramName(text);
}

void TerminalInteraction::showMessage(const QString &text)
{
    m_lastMessage = text;
    // Every server error reply is shown under the same heading, whatever its code.
    const QString serverError = ServerErrorText(0).logLines.value(0);
    if (!serverError.isEmpty() && text.startsWith(serverError))
        m_refusal = text;
    QString shown = text;
    shown.replace(QStringLiteral("\n"), QStringLiteral("\n       "));
    printLine(QStringLiteral("lumo: ") + shown);
}

bool TerminalInteraction::askYesNo(const QString &text)
{
    if (m_answers.yes)
        return true;
    if (!canPrompt())
        return false;
    printLine(text + QCoreApplication::translate("TerminalInteraction", " [y/N]"));
    return readLine(true).toLower().startsWith(QLatin1Char('y'));
}

ResumeChoice TerminalInteraction::askResume(const QString &path)
{
    if (m_answers.existing)
        return *m_answers.existing;
    if (!canPrompt()) {
        explain(QCoreApplication::translate("TerminalInteraction",
                                            "lumo: %1 already holds data; use --resume or --overwrite")
                    .arg(path));
        return ResumeChoice::Cancel;
    }
    printLine(QCoreApplication::translate("TerminalInteraction",
                                          "%1 already holds data: [r]esume, [o]verwrite or [c]ancel?")
                  .arg(path));
    const QString answer = readLine(true).toLower();
    if (answer.startsWith(QLatin1Char('r')))
        return ResumeChoice::Resume;
    if (answer.startsWith(QLatin1Char('o')))
        return ResumeChoice::Overwrite;
    return ResumeChoice::Cancel;
}

std::optional<QString> TerminalInteraction::chooseSaveFile(const FileDialogRequest &request)
{
    QString path = m_answers.outputPath;
    if (path.isEmpty() || QFileInfo(path).isDir())
        path = QDir(path.isEmpty() ? QDir::currentPath() : path).filePath(request.proposedName);
    path = QFileInfo(path).absoluteFilePath();
    return m_answers.claimPath ? m_answers.claimPath(path) : path;
}

std::optional<QString> TerminalInteraction::chooseOpenFile(const FileDialogRequest &)
{
    return std::nullopt;
}

std::optional<LoginAnswer> TerminalInteraction::askLogin(const LoginRequest &request, const QString &what)
{
    // Options answer the first request; a second one means they were refused.
    if (m_answers.user && !m_loginUsed) {
        m_loginUsed = true;
        return LoginAnswer{*m_answers.user, m_answers.password.value_or(QString()), false};
    }
    if (!canPrompt()) {
        explain(QCoreApplication::translate("TerminalInteraction",
                                            "lumo: %1 %2 asks for a login; use --user and --password")
                    .arg(what, request.host));
        m_refusal = m_lastMessage;
        return std::nullopt;
    }
    printLine(QCoreApplication::translate("TerminalInteraction", "%1 %2 asks for a login%3")
                  .arg(what, request.host,
                       request.realm.isEmpty() ? QString()
                                               : QStringLiteral(" (") + request.realm + QLatin1Char(')')));
    err(QCoreApplication::translate("TerminalInteraction", "user [%1]: ").arg(request.savedUser));
    QString user = readLine(true);
    if (user.isEmpty())
        user = request.savedUser;
    err(QCoreApplication::translate("TerminalInteraction", "password: "));
    QString password = readLine(false);
    if (password.isEmpty())
        password = request.savedPassword;
    return LoginAnswer{user, password, false};
}

std::optional<LoginAnswer> TerminalInteraction::askServerLogin(const LoginRequest &request)
{
    return askLogin(request, QCoreApplication::translate("TerminalInteraction", "media server"));
}

std::optional<LoginAnswer> TerminalInteraction::askWebLogin(const LoginRequest &request)
{
    return askLogin(request, QCoreApplication::translate("TerminalInteraction", "web site"));
}

void TerminalInteraction::statusChanged(const TaskStatus &status)
{
    if (!m_tty || !status.sendTimeMs || !status.statistics)
        return;
    const double seconds = qMax<qint64>(m_clock.elapsed(), 1) / 1000.0;
    const TaskStatistics &statistics = *status.statistics;
    const double bytes = double(statistics.packets) * double(statistics.packetSize);
    QString line = status.label == TaskLabel::Live
                       ? QCoreApplication::translate("TerminalInteraction", "live")
                       : QStringLiteral("%1%").arg(status.progress, 3);
    line += QCoreApplication::translate("TerminalInteraction", "  %1 / %2  %3 KiB/s  packet %4")
                .arg(sendTimeText(status), timeLeftText(status))
                .arg(bytes / 1024.0 / seconds, 0, 'f', 1)
                .arg(statistics.packets);
    err(QStringLiteral("\r\033[K") + line);
    m_progressShown = true;
}

} // namespace lumo::cli
