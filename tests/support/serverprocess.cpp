#include "support/serverprocess.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

namespace lumo::test {

ServerProcess::~ServerProcess()
{
    stop();
}

bool ServerProcess::start(const QStringList &args)
{
    m_process.setProgram(QStringLiteral(LUMO_SERVER_BIN));
    m_process.setArguments(QStringList{"-v", "--listen", "127.0.0.1:0"} + args);
    m_process.start();
    if (!m_process.waitForStarted(10000))
        return false;
    const QRegularExpression ready(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
    QByteArray out;
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        if (!m_process.canReadLine() && !m_process.waitForReadyRead(int(deadline.remainingTime())))
            break;
        out += m_process.readLine();
        const auto match = ready.match(QString::fromUtf8(out));
        if (match.hasMatch()) {
            m_port = quint16(match.captured(1).toUInt());
            return true;
        }
    }
    return false;
}

QString ServerProcess::url(const QString &path) const
{
    return QStringLiteral("mms://127.0.0.1:%1/%2").arg(m_port).arg(path);
}

QString ServerProcess::logText()
{
    m_log += QString::fromUtf8(m_process.readAllStandardError());
    return m_log;
}

bool ServerProcess::waitForLog(const QString &text, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    m_process.setReadChannel(QProcess::StandardError);
    while (!logText().contains(text)) {
        if (deadline.hasExpired() || m_process.state() != QProcess::Running)
            return logText().contains(text);
        m_process.waitForReadyRead(int(qMin<qint64>(deadline.remainingTime(), 200)));
    }
    return true;
}

void ServerProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

} // namespace lumo::test
