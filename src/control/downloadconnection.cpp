// The download controller's connection: opening it over TCP or HTTP, its socket events, the
// requests over HTTP, and the roll-over of an mms:// address from MMS over TCP to HTTP.
#include "control/downloadcontroller.h"

#include "control/address.h"
#include "control/logging.h"
#include "mms/message.h"
#include "mms/udpendpoint.h"
#include "mms/udprouter.h"
#include "shell/settings.h"
#include "shell/tasklog.h"

#include <QAbstractSocket>
#include <QCoreApplication>
#include <QDate>
#include <QLocale>
#include <QTime>

namespace lumo {

namespace {
// Large reads: fewer wake-ups of both threads, and of the sender, whose window opens in big steps.
constexpr qint64 TcpReadChunk = 2 * 1024 * 1024;
constexpr quint16 HttpPort = 80;

QString nowText()
{
    const QLocale locale = QLocale::system();
    return locale.toString(QTime::currentTime(), QLocale::ShortFormat) +
           QCoreApplication::translate("DownloadController", "  日期: ") +
           locale.toString(QDate::currentDate(), QLocale::ShortFormat);
}
} // namespace

void DownloadController::openConnection(const QString &urlText, const HostPort &target, quint16 settingsPort)
{
    const QString scheme = SchemeOf(urlText);
    m_rollOver = scheme == QLatin1String("mms");
    m_udpIntake.end();
    m_ownUdp.reset();
    m_firstReply.clear();
    m_playPending = false;
    setState(State::Connecting);
    m_status.connectEnabled = false;
    m_status.disconnectEnabled = true;
    publishStatus();
    if (scheme == QLatin1String("mmsh") || scheme == QLatin1String("http")) {
        openHttp(m_task.HostName, target.port.value_or(HttpPort));
        return;
    }
    const quint16 tcpPort = target.port.value_or(settingsPort);
    m_udpTick = m_settings.useUdp();
    m_udpPort = tcpPort; // the server takes resend requests on the UDP port of its TCP port's number
    m_task.Transport = m_udpTick ? Transport::Udp : Transport::Tcp;
    m_exchange.setOptions({m_settings.sendHost(), m_udpTick, m_udp.localPort()});
    m_tcp.open(target.host, tcpPort, m_settings.bypassDns());
}

void DownloadController::openHttp(const QString &host, quint16 port)
{
    m_task.Transport = Transport::Http;
    m_udpTick = false; // over HTTP the media comes in the answer, whatever the UDP setting says
    m_httpSession.begin(host, port, m_task.MediaPath);
    m_log.append(QCoreApplication::translate("DownloadController", "使用 HTTP 协议 (端口 %1)").arg(port));
    m_tcp.open(SplitHostPort(host).host, port, m_settings.bypassDns());
}

bool DownloadController::mayRollOver() const
{
    return m_rollOver && m_task.Transport != Transport::Http && !m_task.StopRequested();
}

void DownloadController::rollOverToHttp(const QString &why)
{
    m_rollOver = false;
    m_log.append(QCoreApplication::translate("DownloadController", "- %1, 改用 HTTP 协议").arg(why));
    m_tcp.close();
    m_udpIntake.end();
    // The MMS worker has had nothing to read; it ends at once.
    m_task.RecvBuffer.requestStop();
    if (!m_worker.join(WorkerEndTimeoutMs)) {
        endUnanswered(QCoreApplication::translate("DownloadController", "-- 无法改用 HTTP 协议, 任务终止 --"),
                      QCoreApplication::translate("DownloadController", "Lumo 网络连接失败"));
        return;
    }
    m_task.RecvBuffer.reset();
    m_task.SendSeq = 0;
    setState(State::Connecting);
    const HostPort target = SplitHostPort(m_task.HostName);
    openHttp(m_task.HostName, target.port.value_or(HttpPort));
}

bool DownloadController::checkFirstReply()
{
    char bytes[mms::MediaPrefixSize];
    while (m_firstReply.size() < qsizetype(sizeof bytes)) {
        const qint64 got = m_tcp.read(bytes, sizeof bytes - m_firstReply.size());
        if (got <= 0)
            return false;
        m_firstReply.append(bytes, got);
    }
    if (QByteArrayView(m_firstReply).sliced(4, 4) != QByteArrayView(mms::Signature, 4)) {
        rollOverToHttp(QCoreApplication::translate("DownloadController", "服务器的回答不是 MMS 协议"));
        return false;
    }
    m_rollOver = false;
    m_task.RecvBuffer.append(m_firstReply.constData(), m_firstReply.size());
    return true;
}

bool DownloadController::readHttpHead()
{
    switch (m_httpSession.readHead()) {
    case HttpStreamSession::Head::Waiting:
        return false;
    case HttpStreamSession::Head::Body:
        m_connectTimer.stop();
        if (m_httpSession.playing())
            ShowStreamStart();
        return true;
    case HttpStreamSession::Head::Again:
        m_tcp.close();
        m_task.RecvBuffer.clear();
        setState(State::Connecting);
        m_tcp.open(SplitHostPort(m_httpSession.host()).host, m_httpSession.port(), m_settings.bypassDns());
        return false;
    case HttpStreamSession::Head::Failed:
        endUnanswered(m_httpSession.failureLog(), m_httpSession.failureMessage());
        return false;
    }
    return false;
}

void DownloadController::StreamHeaderReady()
{
    // Set here, on the worker, so a close of the Describe connection is not taken for a loss.
    m_playPending = true;
}

void DownloadController::playHttpStream()
{
    m_tcp.close();
    m_task.RecvBuffer.reset();
    m_httpSession.play();
    setState(State::Connecting);
    m_tcp.open(SplitHostPort(m_httpSession.host()).host, m_httpSession.port(), m_settings.bypassDns());
}

void DownloadController::TCPSocketError(int code)
{
    // Once connected, an error ends the task through the disconnect.
    if (m_state != State::Connecting)
        return;
    if (mayRollOver() &&
        (code == QAbstractSocket::ConnectionRefusedError || code == QAbstractSocket::RemoteHostClosedError)) {
        rollOverToHttp(QCoreApplication::translate("DownloadController", "MMS 连接被拒绝"));
        return;
    }
    // The system has said why the connection cannot be made: no need to wait for the time-out.
    if (const std::optional<EndTexts> failure = connectionFailureTexts(code, m_task.HostName))
        endUnanswered(failure->logLine, failure->message);
    else if (!m_connectTimer.isActive())
        m_connectTimer.start();
}

void DownloadController::endUnanswered(const QString &logLine, const QString &message)
{
    AbandonTask();
    m_log.append(logLine);
    m_status.title = QStringLiteral("Lumo");
    publishStatus();
    m_rawPerson.showMessage(message);
}

void DownloadController::TCPSocketLookup()
{
    m_log.append(m_settings.bypassDns()
                     ? QCoreApplication::translate("DownloadController", "没有解析 DNS, 尝试直接连接")
                     : QCoreApplication::translate("DownloadController", "解析 DNS 服务器..."));
}

void DownloadController::TCPSocketConnecting()
{
    m_log.append(QCoreApplication::translate("DownloadController", "正在连接流媒体服务器... 请等待"));
    m_connectTimer.start();
}

void DownloadController::TCPSocketConnect()
{
    // The time-out now waits for the server's first reply: a server that accepts and then
    // says nothing is as good as none.
    m_connectTimer.start();
    m_log.append(QCoreApplication::translate("DownloadController", "连接时间: \t") + nowText());
    m_log.append(QCoreApplication::translate("DownloadController", "服务器地址 \t") + m_tcp.remoteAddress());
    m_log.append(QCoreApplication::translate("DownloadController", "服务器端口 \t") +
                 QString::number(m_tcp.remotePort()));
    m_log.append(QCoreApplication::translate("DownloadController", "本地地址 \t") + m_tcp.localAddress());
    m_log.append(QCoreApplication::translate("DownloadController", "本地 TCP 端口 \t") +
                 QString::number(m_tcp.localPort()));
    if (m_udpTick)
        beginUdp();
    m_progressTimer.start();
    m_task.RecvBuffer.clear();
    setState(State::Receiving);
    // Over HTTP a worker may still be reading an answer when a login or redirect asks again.
    if (!m_worker.running()) {
        m_worker.join(WorkerEndTimeoutMs);
        m_worker.start();
    }
    if (m_task.Transport == Transport::Http) {
        m_httpSession.sendRequest();
        return;
    }
    m_log.append(QCoreApplication::translate("DownloadController", "正在初始化 MMS 协议, 等待响应..."));
    m_exchange.sendConnect();
}

void DownloadController::TCPSocketRead()
{
    // Datagrams that came before this TCP data go first, so an end-of-media command never
    // overtakes the last UDP packets.
    if (m_task.Transport == Transport::Udp)
        UDPSocketDataReceived();
    if (m_task.StopRequested()) {
        m_tcp.discardInput();
        return;
    }
    if (m_task.Transport == Transport::Http && !m_httpSession.inBody() && !readHttpHead())
        return;
    if (mayRollOver() && !checkFirstReply())
        return;
    const auto readSocket = [this](char *to, qint64 max) { return m_tcp.read(to, max); };
    qsizetype got = 0;
    for (;;) {
        bool emptied = false;
        while (m_task.RecvBuffer.size() < ReceiveBuffer::TcpLimit) {
            // A short read took all the system held; readyRead() tells of more.
            const qsizetype read = m_task.RecvBuffer.appendFrom(TcpReadChunk, readSocket);
            got += read;
            if (read < TcpReadChunk) {
                emptied = true;
                break;
            }
        }
        if (emptied || m_task.RecvBuffer.pauseIfFull())
            break;
    }
    // The server has answered: from now on it may take its time.
    if (got > 0)
        m_connectTimer.stop();
    // The worker may treat the connection as closed once the last byte is in RecvBuffer.
    if (m_state == State::Draining && m_tcp.atEnd())
        m_task.RecvBuffer.markClosed();
}

void DownloadController::logConnectionClosed()
{
    m_closeLogged = true;
    m_log.append(QCoreApplication::translate("DownloadController", "连接关闭: ") + nowText());
}

void DownloadController::TCPSocketDisconnect()
{
    if (idle() || m_playPending)
        return;
    if (mayRollOver() && m_firstReply.size() < qsizetype(mms::MediaPrefixSize)) {
        rollOverToHttp(QCoreApplication::translate("DownloadController", "服务器关闭了 MMS 连接"));
        return;
    }
    if (m_worker.running()) {
        // The worker handles every complete unit first, then ends the task (ConnectionLost).
        setState(State::Draining);
        TCPSocketRead();
        return;
    }
    logConnectionClosed();
    CloseTask();
}

void DownloadController::UDPSocketDataReceived()
{
    UdpRouter::of(m_udp).readPending();
    if (m_ownUdp)
        UdpRouter::of(*m_ownUdp).readPending();
}

void DownloadController::beginUdp()
{
    const QHostAddress server(m_tcp.remoteAddress());
    UdpRouter *router = &UdpRouter::of(m_udp);
    if (!router->canTellApart(server, m_udpPort)) {
        // Another task receives from this very server on the shared port: its datagrams and
        // ours could not be told apart, so this task takes a port of its own.
        m_ownUdp = std::make_unique<UdpEndpoint>();
        if (m_ownUdp->bind(0)) {
            router = &UdpRouter::of(*m_ownUdp);
            m_exchange.setOptions({m_settings.sendHost(), m_udpTick, m_ownUdp->localPort()});
            m_log.append(QCoreApplication::translate(
                             "DownloadController",
                             "另一个任务正在从同一服务器接收 UDP 数据, 这个任务使用自己的端口 %1")
                             .arg(m_ownUdp->localPort()));
        } else {
            m_ownUdp.reset();
        }
    }
    m_log.append(QCoreApplication::translate("DownloadController", "本地 UDP 端口 \t") +
                 QString::number(router->endpoint().localPort()));
    m_udpIntake.begin(server, m_udpPort, *router);
}

void DownloadController::connectTimedOut()
{
    endUnanswered(QCoreApplication::translate("DownloadController", "-- TCP Socket 超时, 任务终止 --"),
                  QCoreApplication::translate("DownloadController", "服务器没有回应, 任务终止"));
}

} // namespace lumo
