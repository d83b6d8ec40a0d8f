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
        Aborted,
    };
    Outcome outcome = Outcome::ConnectionFailed;
    int status = 0;    // the HTTP status; an error status still counts as a response that arrived
    QByteArray header; // the status line, then the header lines, CR LF separated
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
    // Asks as a media player does, and reads only the answer's head: whether the address is a
    // Windows-Media stream served over HTTP.
    bool isWindowsMediaStream(const QUrl &url, int timeoutMs = DefaultTimeoutMs);
    // Credentials answer an authentication request of the next request.
    void setCredentials(const QString &user, const QString &password);
    bool isConnected() const;
    // Aborts the request in progress.
    void abortTransfer();

    // The time-out of a request: 45000 ms unless LUMO_HTTP_TIMEOUT_MS (for tests) says otherwise.
    static int configuredTimeoutMs();

Q_SIGNALS:
    void aboutToSend();
    void connected();
    void connectionFailed();
    void invalidHost();
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
