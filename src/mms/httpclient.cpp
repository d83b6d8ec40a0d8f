#include "mms/httpclient.h"

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

void HttpClient::setCredentials(const QString &user, const QString &password)
{
    m_user = user;
    m_password = password;
}

bool HttpClient::isConnected() const
{
    return m_reply && m_reply->isRunning();
}

void HttpClient::disconnect()
{
    if (m_reply)
        m_reply->abort();
}

HttpResponse HttpClient::get(const QUrl &url, int timeoutMs)
{
    HttpResponse response;
    if (!url.isValid() || url.host().isEmpty()) {
        response.outcome = HttpResponse::Outcome::InvalidHost;
        response.errorText = QStringLiteral("invalid host");
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
    connect(reply, &QNetworkReply::metaDataChanged, this, &HttpClient::connected);

    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The transfer time-out covers stalls; this bounds the whole request as well.
    QTimer::singleShot(timeoutMs + 1000, &loop, [reply] { reply->abort(); });
    if (reply->isRunning())
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    for (const auto &pair : reply->rawHeaderPairs())
        response.header += pair.first + ": " + pair.second + "\r\n";
    response.body = reply->readAll();
    switch (reply->error()) {
    case QNetworkReply::NoError:
        response.outcome = HttpResponse::Outcome::Success;
        Q_EMIT succeeded();
        break;
    case QNetworkReply::HostNotFoundError:
        response.outcome = HttpResponse::Outcome::InvalidHost;
        break;
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        response.outcome = reply->error() == QNetworkReply::TimeoutError ? HttpResponse::Outcome::TimedOut
                                                                         : HttpResponse::Outcome::Aborted;
        break;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
        response.outcome = HttpResponse::Outcome::ConnectionFailed;
        break;
    default:
        response.outcome =
            response.status ? HttpResponse::Outcome::Refused : HttpResponse::Outcome::ConnectionFailed;
        break;
    }
    if (!response.ok()) {
        response.errorText = reply->errorString();
        Q_EMIT failed();
    }
    reply->deleteLater();
    return response;
}

} // namespace lumo
