#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace lumo::test {

// lumo-mms-server on a free loopback port, for one test.
class ServerProcess
{
public:
    ServerProcess() = default;
    ~ServerProcess();
    ServerProcess(const ServerProcess &) = delete;
    ServerProcess &operator=(const ServerProcess &) = delete;

    // Starts it with `-v --listen 127.0.0.1:0` and `args`; false when it did not come up.
    bool start(const QStringList &args);
    quint16 port() const { return m_port; }
    QString url(const QString &path) const;
    // Everything it logged so far (its -v lines).
    QString logText();
    // Waits (bounded) until its log holds `text`.
    bool waitForLog(const QString &text, int timeoutMs = 10000);
    void stop();

private:
    QProcess m_process;
    quint16 m_port = 0;
    QString m_log;
};

} // namespace lumo::test
