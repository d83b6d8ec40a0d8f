#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QUrl>

class QNetworkReply;

namespace lumo {

struct HttpResponse
{
    enum class Outcome
    {
        Success,
        InvalidHost,
        ConnectionFailed,
        TimedOut,
        Refused, // an HTTP error status, authentication required included
        Aborted,
    };
    Outcome outcome = Outcome::ConnectionFailed;
    int status = 0;
    QByteArray header; // the response header lines, CR LF separated
    QByteArray body;
    QString errorText;
    bool ok() const { return outcome == Outcome::Success; }
};

// HTTP client for redirect files and pages: a GET that returns when the response is complete,
// running the event loop meanwhile. http and https; redirects are followed.
class HttpClient final : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultTimeoutMs = 45000;

    explicit HttpClient(QObject *parent = nullptr);

    HttpResponse get(const QUrl &url, int timeoutMs = DefaultTimeoutMs);
    // Credentials answer an authentication request of the next request.
    void setCredentials(const QString &user, const QString &password);
    bool isConnected() const;
    void disconnect();

Q_SIGNALS:
    void aboutToSend();
    void connected();
    void redirected(const QUrl &to);
    void authenticationNeeded();
    void succeeded();
    void failed();

private:
    QNetworkAccessManager m_manager;
    QPointer<QNetworkReply> m_reply;
    QString m_user, m_password;
    bool m_credentialsUsed = false;
};

} // namespace lumo
