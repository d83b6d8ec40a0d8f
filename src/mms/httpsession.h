#pragma once

#include "mms/httpframing.h"

#include <QByteArray>
#include <QString>

namespace lumo {

class Interaction;
class Settings;
class TaskLog;
class TcpConnection;
struct DownloadTask;

// The requests of one task over HTTP, on the event thread: a Describe for the header, then a
// Play for the stream, each on a connection of its own. Reads each answer's head (login,
// redirects, errors) and hands the body on to RecvBuffer, where the receive worker reads the
// framed chunks.
class HttpStreamSession
{
public:
    static constexpr int MaxRedirects = 5;
    static constexpr int MaxLogins = 5;
    // Longer than any answer head a media server sends.
    static constexpr qsizetype MaxHeadSize = 64 * 1024;

    HttpStreamSession(DownloadTask &task, TcpConnection &tcp, TaskLog &log, Interaction &person,
                      Settings &settings);

    // A new task: the Describe comes first, with a new client id.
    void begin(const QString &host, quint16 port, const QString &path);
    // The header is in: the next request is the Play.
    void play();
    bool playing() const { return m_play; }

    QString host() const { return m_host; }
    quint16 port() const { return m_port; }

    // The connection is open: sends the request.
    void sendRequest();

    enum class Head
    {
        Waiting, // more of the head to come
        Body,    // the stream follows; bytes after the head are in RecvBuffer
        Again,   // ask again on a new connection (after a login or a redirect)
        Failed,  // failureLog() and failureMessage() say why
    };
    // Reads what has come of the answer's head; once the head is whole, acts on it.
    Head readHead();
    bool inBody() const { return m_inBody; }

    QString failureLog() const { return m_failureLog; }
    QString failureMessage() const { return m_failureMessage; }

private:
    Head answer(const mmsh::ResponseHead &head);
    Head fail(const QString &logLine, const QString &message);
    Head askLogin(const mmsh::ResponseHead &head);
    Head follow(const mmsh::ResponseHead &head);

    DownloadTask &m_task;
    TcpConnection &m_tcp;
    TaskLog &m_log;
    Interaction &m_person;
    Settings &m_settings;

    QString m_host; // as the address gives it, with its port when it has one
    quint16 m_port = 80;
    QString m_path;
    QByteArray m_clientGuid;
    quint32 m_context = 0;
    bool m_play = false;
    QByteArray m_authorization;
    int m_redirects = 0;
    int m_logins = 0;
    QByteArray m_head;
    bool m_inBody = false;
    QString m_failureLog;
    QString m_failureMessage;
};

} // namespace lumo
