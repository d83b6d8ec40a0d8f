#include "mms/httpsession.h"

#include "mms/credentials.h"
#include "mms/downloadtask.h"
#include "mms/logging.h"
#include "mms/message.h"
#include "mms/tcpconnection.h"
#include "shell/interaction.h"
#include "shell/settings.h"
#include "shell/tasklog.h"

#include <QCoreApplication>
#include <QUrl>

namespace lumo {

HttpStreamSession::HttpStreamSession(DownloadTask &task, TcpConnection &tcp, TaskLog &log,
                                     Interaction &person, Settings &settings)
    : m_task(task), m_tcp(tcp), m_log(log), m_person(person), m_settings(settings)
{}

void HttpStreamSession::begin(const QString &host, quint16 port, const QString &path)
{
    m_host = host;
    m_port = port;
    m_path = path;
    m_clientGuid = mms::newClientGuid();
    m_context = 0;
    m_play = false;
    m_authorization.clear();
    m_redirects = m_logins = 0;
}

void HttpStreamSession::play()
{
    m_play = true;
}

void HttpStreamSession::sendRequest()
{
    m_head.clear();
    m_inBody = false;
    mmsh::Request request;
    request.path = m_path.toUtf8();
    request.host = m_host.toUtf8();
    request.clientGuid = m_clientGuid;
    request.context = ++m_context;
    request.play = m_play;
    request.live = m_task.StreamType == StreamType::Live;
    request.authorization = m_authorization;
    if (m_play) {
        if (!request.live && m_task.ResumeMode == ResumeMode::Resume)
            request.streamOffset =
                quint64(m_task.HeaderSize) + quint64(m_task.ResumePacket) * quint64(m_task.PacketSize);
        request.streams = mmsh::streamChoices(m_task.StreamPicks);
        if (request.streams.isEmpty()) {
            const quint32 count = qMin<quint32>(m_task.StreamCount, quint32(m_task.StreamNumbers.size()));
            for (quint32 i = 0; i < count; ++i)
                request.streams.append({m_task.StreamNumbers[i], mmsh::LevelAll});
        }
    }
    m_log.append(
        m_play ? QCoreApplication::translate("HttpStreamSession", "HTTP: 请求媒体流 (Play)...")
               : QCoreApplication::translate("HttpStreamSession", "HTTP: 请求文件头信息 (Describe)..."));
    qCDebug(lcMms) << "HTTP request" << m_context << (m_play ? "play" : "describe") << m_host << m_path;
    m_tcp.sendText(mmsh::buildRequest(request));
}

HttpStreamSession::Head HttpStreamSession::readHead()
{
    char bytes[4096];
    for (;;) {
        const qint64 got = m_tcp.read(bytes, sizeof bytes);
        if (got <= 0)
            return Head::Waiting;
        m_head.append(bytes, got);
        const qsizetype end = mmsh::headEnd(m_head);
        if (end < 0) {
            if (m_head.size() > MaxHeadSize)
                return fail(
                    QCoreApplication::translate("HttpStreamSession", "- HTTP 回答的头部过长"),
                    QCoreApplication::translate("HttpStreamSession", "服务器的回答无法识别, 任务终止"));
            continue;
        }
        const std::optional<mmsh::ResponseHead> head =
            mmsh::parseResponseHead(QByteArrayView(m_head).first(end));
        if (!head)
            return fail(QCoreApplication::translate("HttpStreamSession", "- 服务器的回答不是 HTTP"),
                        QCoreApplication::translate("HttpStreamSession", "服务器的回答无法识别, 任务终止"));
        const Head result = answer(*head);
        if (result == Head::Body) {
            m_inBody = true;
            if (m_head.size() > end)
                m_task.RecvBuffer.append(m_head.constData() + end, m_head.size() - end);
        }
        m_head.clear();
        return result;
    }
}

HttpStreamSession::Head HttpStreamSession::answer(const mmsh::ResponseHead &head)
{
    m_log.append(QStringLiteral("HTTP: %1 %2").arg(head.status).arg(QString::fromLatin1(head.reason)));
    switch (head.status) {
    case 200:
        break;
    case 401:
        return askLogin(head);
    case 301:
    case 302:
    case 303:
    case 307:
    case 308:
        return follow(head);
    default:
        m_task.ServerRefused = head.status >= 400;
        return fail(QCoreApplication::translate("HttpStreamSession", "- 服务器回答 %1 %2, 任务终止")
                        .arg(head.status)
                        .arg(QString::fromLatin1(head.reason)),
                    QCoreApplication::translate("HttpStreamSession", "服务器回答 HTTP %1 %2, 任务终止")
                        .arg(head.status)
                        .arg(QString::fromLatin1(head.reason)));
    }
    if (!head.isStream()) {
        const QString type =
            head.contentType.isEmpty() ? QStringLiteral("?") : QString::fromLatin1(head.contentType);
        return fail(
            QCoreApplication::translate("HttpStreamSession", "- 服务器发送的不是媒体流 (%1)").arg(type),
            QCoreApplication::translate("HttpStreamSession",
                                        "这个地址不是 Windows Media 媒体流 (服务器发送的是 %1)\n"
                                        "网页和播放列表请使用 文件 -> 打开 命令")
                .arg(type));
    }
    if (!m_play) {
        // The features say whether this is a broadcast; the header's own flag is read later.
        m_task.StreamType = head.broadcast ? StreamType::Live : StreamType::Stored;
        for (const QByteArray &pragma : head.pragmas) {
            if (pragma.toLower().startsWith("client-id="))
                m_task.ClientId = pragma.mid(10).toUInt();
        }
        m_log.append(head.broadcast ? QCoreApplication::translate("HttpStreamSession", "HTTP: 实况广播")
                                    : QCoreApplication::translate("HttpStreamSession", "HTTP: 点播节目"));
    }
    return Head::Body;
}

HttpStreamSession::Head HttpStreamSession::fail(const QString &logLine, const QString &message)
{
    m_failureLog = logLine;
    m_failureMessage = message;
    return Head::Failed;
}

HttpStreamSession::Head HttpStreamSession::askLogin(const mmsh::ResponseHead &head)
{
    const std::optional<QByteArray> realm = mmsh::basicRealm(head.authenticate);
    if (!realm)
        return fail(QCoreApplication::translate("HttpStreamSession", "- 服务器要求的登录方式无法使用: %1")
                        .arg(QString::fromLatin1(head.authenticate)),
                    QCoreApplication::translate("HttpStreamSession",
                                                "服务器要求登录, 但它的登录方式无法使用, 任务终止"));
    if (++m_logins > MaxLogins) {
        m_task.ServerRefused = true;
        return fail(
            QCoreApplication::translate("HttpStreamSession", "- 登录 %1 次都被拒绝, 任务终止").arg(MaxLogins),
            QCoreApplication::translate("HttpStreamSession", "服务器拒绝了登录, 任务终止"));
    }
    const QString realmText = QStringLiteral("realm=") + QString::fromUtf8(*realm);
    const LoginRequest request = serverLoginRequest(m_host, realmText, m_settings.serverLogin());
    const std::optional<LoginAnswer> login = m_person.askServerLogin(request);
    if (!login)
        return fail(QCoreApplication::translate("HttpStreamSession", "- 没有登录, 任务终止"),
                    QCoreApplication::translate("HttpStreamSession", "任务终止, 连接已关闭"));
    const ServerLoginResult accepted = acceptServerLogin(*login);
    m_settings.setServerLogin(accepted.storedServerLogin);
    // The stored form is Base64 of "user:password", which is what Basic sends.
    m_authorization = "Basic " + accepted.authData;
    --m_context; // the same request again
    return Head::Again;
}

HttpStreamSession::Head HttpStreamSession::follow(const mmsh::ResponseHead &head)
{
    if (++m_redirects > MaxRedirects)
        return fail(QCoreApplication::translate("HttpStreamSession", "- 重定向超过 %1 次, 任务终止")
                        .arg(MaxRedirects),
                    QCoreApplication::translate("HttpStreamSession", "服务器重定向的次数太多, 任务终止"));
    const QUrl base(QStringLiteral("http://%1/%2").arg(m_host, m_path));
    const QUrl to = base.resolved(QUrl(QString::fromUtf8(head.location)));
    const QString scheme = to.scheme().toLower();
    if (head.location.isEmpty() || !to.isValid() || to.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("mmsh")))
        return fail(
            QCoreApplication::translate("HttpStreamSession", "- 无法跟随重定向: %1")
                .arg(QString::fromUtf8(head.location)),
            QCoreApplication::translate("HttpStreamSession", "服务器重定向到一个无法使用的地址, 任务终止\n%1")
                .arg(QString::fromUtf8(head.location)));
    m_log.append(QCoreApplication::translate("HttpStreamSession", "HTTP: 重定向到 %1").arg(to.toString()));
    m_port = quint16(to.port(80));
    m_host = to.port() > 0 ? QStringLiteral("%1:%2").arg(to.host()).arg(to.port()) : to.host();
    m_path = to.path(QUrl::FullyEncoded).mid(1);
    if (to.hasQuery())
        m_path += QLatin1Char('?') + to.query(QUrl::FullyEncoded);
    --m_context;
    return Head::Again;
}

} // namespace lumo
