#include "mms/httpclient.h"

#include "mms/httpframing.h"
#include "mms/message.h"

#include <QAuthenticator>
#include <QEventLoop>
#include <QNetworkReply>
#include <QTimer>

namespace lumo {

HttpClient::HttpClient(QObject *parent) : QObject(parent)
{
    connect(&m_manager, &QNetworkAccessManager::authenticationRequired, this,
            [this](QNetworkReply *, QAuthenticator *auth) {
                // Offer the credentials once; a second request means they were refused.
                if (!m_credentialsUsed && !m_user.isEmpty()) {
                    m_credentialsUsed = true;
                    auth->setUser(m_user);
                    auth->setPassword(m_password);
                    return;
                }
                Q_EMIT authenticationNeeded();
            });
}

int HttpClient::configuredTimeoutMs()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("LUMO_HTTP_TIMEOUT_MS", &ok);
    return ok && ms > 0 ? ms : DefaultTimeoutMs;
}

void HttpClient::setCredentials(const QString &user, const QString &password)
{
    m_user = user;
    m_password = password;
}

bool HttpClient::isConnected() const
{
    return m_reply && m_reply->isRunning();
}

void HttpClient::abortTransfer()
{
    if (m_reply)
        m_reply->abort();
}

HttpResponse HttpClient::get(const QUrl &url, int timeoutMs)
{
    HttpResponse response;
    if (!url.isValid() || url.host().isEmpty()) {
        response.outcome = HttpResponse::Outcome::InvalidHost;
        response.errorText = tr("invalid host");
        return response;
    }
    m_credentialsUsed = false;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(timeoutMs);
    Q_EMIT aboutToSend();
    QNetworkReply *reply = m_manager.get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::redirected, this, &HttpClient::redirected);
    connect(reply, &QNetworkReply::socketStartedConnecting, this, &HttpClient::connected);

    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The transfer time-out covers stalls; this bounds the whole request as well.
    bool timedOut = false;
    QTimer::singleShot(timeoutMs + 1000, &loop, [reply, &timedOut] {
        timedOut = true;
        reply->abort();
    });
    if (reply->isRunning())
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (response.status != 0) {
        response.header = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                          reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray() + "\r\n";
        for (const auto &pair : reply->rawHeaderPairs())
            response.header += pair.first + ": " + pair.second + "\r\n";
        response.body = reply->readAll();
        // A status line arrived: whatever it says, the request itself succeeded.
        response.outcome = HttpResponse::Outcome::Success;
        Q_EMIT succeeded();
    } else {
        switch (reply->error()) {
        case QNetworkReply::HostNotFoundError:
            response.outcome = HttpResponse::Outcome::InvalidHost;
            Q_EMIT invalidHost();
            break;
        case QNetworkReply::TimeoutError:
            response.outcome = HttpResponse::Outcome::TimedOut;
            break;
        case QNetworkReply::OperationCanceledError:
            response.outcome = timedOut ? HttpResponse::Outcome::TimedOut : HttpResponse::Outcome::Aborted;
            break;
        default:
            response.outcome = HttpResponse::Outcome::ConnectionFailed;
            Q_EMIT connectionFailed();
            break;
        }
        response.errorText = reply->errorString();
        Q_EMIT failed();
    }
    reply->deleteLater();
    return response;
}

bool HttpClient::isWindowsMediaStream(const QUrl &url, int timeoutMs)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(timeoutMs);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(mmsh::PlayerAgent));
    request.setRawHeader("Pragma", "xClientGUID=" + mms::newClientGuid());
    QNetworkReply *reply = m_manager.get(request);
    m_reply = reply;
    QByteArray type;
    QEventLoop loop;
    // The head is enough; a file served over plain HTTP is not read.
    connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        type = reply->header(QNetworkRequest::ContentTypeHeader)
                   .toByteArray()
                   .split(';')
                   .first()
                   .trimmed()
                   .toLower();
        if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() / 100 != 3)
            loop.quit();
    });
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs + 1000, &loop, &QEventLoop::quit);
    if (reply->isRunning())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    reply->abort();
    reply->deleteLater();
    return status == 200 && (type == mmsh::HeaderContentType || type == mmsh::FramedContentType);
}

} // namespace lumo
