#include "support/webserver.h"

#include <QRegularExpression>

namespace lumo::test {

WebServer::~WebServer()
{
    m_process.kill();
    m_process.waitForFinished(5000);
}

bool WebServer::start(const QString &slowSeconds)
{
    m_process.start(QStringLiteral("python3"),
                    {QStringLiteral(LUMO_TEST_SOURCE_DIR "/support/httpserver.py"), slowSeconds});
    if (!m_process.waitForStarted(10000))
        return false;
    QByteArray out;
    while (!out.contains('\n') && m_process.waitForReadyRead(10000))
        out += m_process.readAllStandardOutput();
    const auto match = QRegularExpression(QStringLiteral("PORT (\\d+)")).match(QString::fromLatin1(out));
    m_port = match.hasMatch() ? match.captured(1).toUShort() : 0;
    return m_port != 0;
}

QString WebServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(path);
}

} // namespace lumo::test
