#include "mms/commandexchange.h"

#include "mms/credentials.h"
#include "mms/downloadtask.h"
#include "mms/logging.h"
#include "mms/message.h"
#include "mms/taskhooks.h"
#include "mms/tcpconnection.h"
#include "shell/bytereader.h"
#include "shell/interaction.h"
#include "shell/settings.h"
#include "shell/tasklog.h"

#include <QCoreApplication>
#include <QUrl>

namespace lumo {

namespace {
constexpr int DumpBytesOnError = 64;

QString outOfRangeMessage(qsizetype offset, qsizetype length)
{
    // The position is counted from 1, as the message has always shown it.
    return QCoreApplication::translate("CommandExchange", "数据超出范围 - 4字节到长函数: %1 : %2")
        .arg(offset + 1)
        .arg(length);
}
} // namespace

CommandExchange::CommandExchange(DownloadTask &task, TcpConnection &tcp, TaskLog &log, Interaction &person,
                                 Settings &settings, TaskHooks &hooks)
    : m_task(task), m_tcp(tcp), m_log(log), m_person(person), m_settings(settings), m_hooks(hooks)
{}

void CommandExchange::send(const QByteArray &message)
{
    m_tcp.sendText(message);
    ++m_task.SendSeq;
}

void CommandExchange::sendConnect()
{
    send(mms::buildConnect(m_task.SendSeq, mms::newClientGuid(), m_options.sendHost, m_task.HostName));
}

void CommandExchange::sendTiming()
{
    send(mms::buildTiming(m_task.SendSeq));
}

void CommandExchange::sendTransport()
{
    const bool udp = m_task.Transport == Transport::Udp;
    const quint16 port = m_options.udp ? m_options.udpLocalPort : m_tcp.localPort();
    send(mms::buildTransport(m_task.SendSeq, m_tcp.localAddress().toUtf8(), udp, QByteArray::number(port)));
}

void CommandExchange::sendOpenFile()
{
    // An address may carry its path percent-encoded (as browsers hand it over); the server
    // wants the name itself.
    send(mms::buildOpenFile(m_task.SendSeq, m_task.Incarnation,
                            QUrl::fromPercentEncoding(m_task.MediaPath.toUtf8())));
}

void CommandExchange::sendHeaderRequest()
{
    send(mms::buildHeaderRequest(m_task.SendSeq, m_task.Incarnation));
}

void CommandExchange::sendCancelHeaderRequest()
{
    send(mms::buildCancelHeaderRequest(m_task.SendSeq, m_task.Incarnation));
}

void CommandExchange::sendStreamSelect()
{
    if (!m_task.StreamPicks.isEmpty())
        return send(mms::buildStreamSelect(m_task.SendSeq, m_task.StreamPicks));
    const quint32 count = qMin<quint32>(m_task.StreamCount, quint32(m_task.StreamNumbers.size()));
    send(mms::buildStreamSelect(m_task.SendSeq, m_task.StreamNumbers.data(), count));
}

void CommandExchange::sendStartPlaying(quint32 startPacket)
{
    send(mms::buildStartPlaying(m_task.SendSeq, m_task.Incarnation, startPacket));
}

void CommandExchange::sendLogin(const QByteArray &authData)
{
    send(mms::buildLogin(m_task.SendSeq, m_task.Incarnation, authData));
}

void CommandExchange::sendPong()
{
    send(mms::buildPong(m_task.SendSeq, m_task.Incarnation));
}

void CommandExchange::readField(const QByteArray &message, qsizetype offset, std::atomic<quint32> &field)
{
    // A field past the end keeps its value; the person is told.
    if (const auto value = ByteReader(message).u32(offset))
        field = *value;
    else
        m_person.showMessage(outOfRangeMessage(offset, message.size()));
}

bool CommandExchange::DispatchCommand(const QByteArray &message)
{
    using mms::ServerCommand;
    const quint8 id = ByteReader(message).u8(mms::CommandIdOffset).value_or(0);
    qCDebug(lcMms, "server command 0x%02X, %lld bytes", id, qlonglong(message.size()));
    switch (ServerCommand(id)) {
    case ServerCommand::ConnectReply:
        sendTiming();
        return true;
    case ServerCommand::TransportReply:
        sendOpenFile();
        return true;
    case ServerCommand::TransportFailed:
        m_log.append(QCoreApplication::translate("CommandExchange", "错误: 协议连接传输失败"));
        m_hooks.AbandonTask();
        return true;
    case ServerCommand::StreamStarting:
        m_hooks.ShowStreamStart();
        return true;
    case ServerCommand::MediaDescription:
        readMediaDescription(message);
        if (m_task.StreamType == StreamType::Live && m_task.ResumeMode == ResumeMode::Resume) {
            m_hooks.AbandonTask();
            m_person.showMessage(QCoreApplication::translate("CommandExchange",
                                                             "错误 - 实况流信息已被删除!   \n"
                                                             "实况流的下载不能够使用续传命令 \n请再试一次"));
        } else {
            m_log.append(QCoreApplication::translate("CommandExchange", "正请求 ASF 文件头信息... 请稍等"));
            sendHeaderRequest();
        }
        return true;
    case ServerCommand::HeaderFollows:
        m_log.append(QCoreApplication::translate("CommandExchange", "接收文件头信息..."));
        return true;
    case ServerCommand::TimingReply:
        readField(message, mms::ClientIdOffset, m_task.ClientId);
        if (++m_task.TimingReplies == 3) {
            m_task.TimingReplies = 0;
            m_log.append(QCoreApplication::translate("CommandExchange", "TCP 网络计时信息包已收到"));
            sendTransport();
        }
        return true;
    case ServerCommand::LoginRequest:
        handleLoginRequest(message);
        return true;
    case ServerCommand::Ping:
        sendPong();
        ++m_task.PingCount;
        return true;
    case ServerCommand::EndOfMedia:
        m_hooks.CompleteDownload();
        return true;
    case ServerCommand::StreamSelectReply:
        sendStartPlaying(m_task.ResumeMode == ResumeMode::Resume ? quint32(m_task.ResumePacket)
                                                                 : 0xFFFFFFFFu);
        return true;
    }
    m_log.append(QCoreApplication::translate("CommandExchange", "当前的 MMS 命令是未知的"));
    m_log.DumpBytes(message.constData(), qMin<qsizetype>(message.size(), DumpBytesOnError));
    return false;
}

void CommandExchange::readMediaDescription(const QByteArray &message)
{
    SharedU32 flags{0};
    readField(message, mms::MediaFlagsOffset, flags);
    const quint8 top = quint8(flags >> 24);
    if (top & 0x02) {
        m_task.StreamType = StreamType::Live;
    } else if (top & 0x01) {
        m_task.StreamType = StreamType::Stored;
    } else {
        m_task.StreamType = StreamType::Unknown;
        m_log.append(QCoreApplication::translate("CommandExchange", "MMS 错误 - 06 流媒体类型旗标没有处理"));
    }
    m_task.FileId = ByteReader(message).u32(mms::FileIdOffset).value_or(0);
    readField(message, mms::PacketSizeOffset, m_task.PacketSize);
    readField(message, mms::PacketCountOffset, m_task.PacketCount);
    readField(message, mms::BitRateOffset, m_task.BitRate);
    readField(message, mms::HeaderSizeOffset, m_task.HeaderSize);
}

void CommandExchange::handleLoginRequest(const QByteArray &message)
{
    SharedU32 length{0};
    readField(message, mms::RealmLengthOffset, length);
    // The realm is UTF-16; its low bytes are kept, and each request adds to what came before.
    const qint64 end = qMin<qint64>(mms::RealmOffset + qint64(length) - 1, message.size());
    for (qint64 i = mms::RealmOffset; i < end; i += 2)
        m_task.AuthRealm.append(QChar(quint8(message.at(i))));

    const LoginRequest request =
        serverLoginRequest(m_task.HostName, m_task.AuthRealm, m_settings.serverLogin());
    const std::optional<LoginAnswer> answer = m_person.askServerLogin(request);
    if (!answer) {
        m_hooks.AbandonTask();
        m_person.showMessage(QCoreApplication::translate("CommandExchange", "任务终止, 连接已关闭"));
        return;
    }
    const ServerLoginResult login = acceptServerLogin(*answer);
    m_settings.setServerLogin(login.storedServerLogin);
    m_task.AuthData = login.authData;
    sendLogin(m_task.AuthData);
    ++m_task.Incarnation;
}

} // namespace lumo
