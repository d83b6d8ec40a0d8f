#pragma once

#include <QProcess>
#include <QString>

namespace lumo::test {

// The local web server of tests/support/httpserver.py on a free loopback port.
class WebServer
{
public:
    ~WebServer();
    // `slowSeconds`: how long /slow.asx takes to answer.
    bool start(const QString &slowSeconds = QStringLiteral("3"));
    QString url(const QString &path) const;

private:
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace lumo::test
