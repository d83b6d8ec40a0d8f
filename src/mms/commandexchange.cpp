#include "mms/commandexchange.h"

#include "control/credentials.h"
#include "mms/bytes.h"
#include "mms/downloadtask.h"
#include "mms/message.h"
#include "mms/taskhooks.h"
#include "mms/tcpconnection.h"
#include "shell/interaction.h"
#include "shell/settings.h"
#include "shell/tasklog.h"

namespace lumo {

namespace {
// Message offsets are 0-based; ReadU32 counts from 1.
constexpr qint64 at(int offset)
{
    return offset + 1;
}
constexpr int DumpBytesOnError = 64;
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
    send(mms::buildConnect(m_task.SendSeq, mms::newClientGuid(), m_options.sendHost,
                           m_task.HostName.toUtf8()));
}

void CommandExchange::sendTiming()
{
    send(mms::buildTiming(m_task.SendSeq));
}

void CommandExchange::sendTransport()
{
    const bool udp = m_task.Transport == 2;
    const quint16 port = m_options.udp ? m_options.udpLocalPort : m_tcp.localPort();
    send(mms::buildTransport(m_task.SendSeq, m_tcp.localAddress().toUtf8(), udp, QByteArray::number(port)));
}

void CommandExchange::sendOpenFile()
{
    send(mms::buildOpenFile(m_task.SendSeq, m_task.Incarnation, m_task.MediaPath.toUtf8()));
}

void CommandExchange::sendHeaderRequest()
{
    send(mms::buildHeaderRequest(m_task.SendSeq, m_task.Incarnation));
}

void CommandExchange::sendStreamSelect()
{
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

bool CommandExchange::DispatchCommand(const QByteArray &message)
{
    const quint8 id = quint8(message.at(36));
    switch (id) {
    case 0x01:
        sendTiming();
        return true;
    case 0x02:
        sendOpenFile();
        return true;
    case 0x03:
        m_log.append(QStringLiteral("错误: 协议连接传输失败"));
        m_task.ResumeRecordDone = 1;
        m_task.LiveRepairDone = 1;
        m_hooks.CloseTask();
        return true;
    case 0x05:
        m_hooks.ShowStreamStart();
        return true;
    case 0x06:
        readMediaDescription(message);
        if (m_task.StreamType == 1 && m_task.ResumeMode == 1) {
            m_task.LiveRepairDone = 1;
            m_hooks.CloseTask();
            m_person.showMessage(QStringLiteral("错误 - 实况流信息已被删除!   \n"
                                                "实况流的下载不能够使用续传命令 \n请再试一次"));
        } else {
            m_log.append(QStringLiteral("正请求 ASF 文件头信息... 请稍等"));
            sendHeaderRequest();
        }
        return true;
    case 0x11:
        m_log.append(QStringLiteral("接收文件头信息..."));
        return true;
    case 0x15: {
        quint32 clientId = m_task.ClientId;
        ReadU32(message, at(60), clientId, &m_person);
        m_task.ClientId = clientId;
        if (++m_task.TimingReplies == 3) {
            m_task.TimingReplies = 0;
            m_log.append(QStringLiteral("TCP 网络计时信息包已收到"));
            sendTransport();
        }
        return true;
    }
    case 0x1A:
        handleLoginRequest(message);
        return true;
    case 0x1B:
        sendPong();
        ++m_task.PingCount;
        return true;
    case 0x1E:
        m_hooks.CompleteDownload();
        return true;
    case 0x21:
        sendStartPlaying(m_task.ResumeMode == 1 ? quint32(m_task.ResumePacket) : 0xFFFFFFFFu);
        return true;
    default:
        m_log.append(QStringLiteral("当前的 MMS 命令是未知的"));
        m_log.DumpBytes(message.constData(), qMin<qsizetype>(message.size(), DumpBytesOnError));
        return false;
    }
}

void CommandExchange::readMediaDescription(const QByteArray &message)
{
    quint32 flags = 0;
    ReadU32(message, at(60), flags, &m_person);
    const quint8 top = quint8(flags >> 24);
    if (top & 0x02) {
        m_task.StreamType = 1;
    } else if (top & 0x01) {
        m_task.StreamType = 2;
    } else {
        m_task.StreamType = 0;
        m_log.append(QStringLiteral("MMS 错误 - 06 流媒体类型旗标没有处理"));
    }
    const auto read = [&](int offset, SharedU32 &field) {
        quint32 value = field;
        ReadU32(message, at(offset), value, &m_person);
        field = value;
    };
    read(92, m_task.PacketSize);
    read(96, m_task.PacketCount);
    read(104, m_task.BitRate);
    read(108, m_task.HeaderSize);
}

void CommandExchange::handleLoginRequest(const QByteArray &message)
{
    quint32 length = 0;
    ReadU32(message, at(48), length, &m_person);
    // The realm is UTF-16; its low bytes are kept, and each request adds to what came before.
    const qint64 end = qMin<qint64>(52 + qint64(length) - 1, message.size());
    for (qint64 i = 52; i < end; i += 2)
        m_task.AuthRealm.append(QChar(quint8(message.at(i))));

    const LoginRequest request = serverLoginRequest(m_task.HostName, m_task.AuthRealm, m_settings.Authm());
    const std::optional<LoginAnswer> answer = m_person.askServerLogin(request);
    if (!answer) {
        m_task.LiveRepairDone = 1;
        m_task.ResumeRecordDone = 1;
        m_hooks.CloseTask();
        m_person.showMessage(QStringLiteral("任务终止, 连接已关闭"));
        return;
    }
    const ServerLoginResult login = acceptServerLogin(*answer);
    m_settings.setAuthm(login.storedAuthm);
    m_task.AuthData = login.authData;
    sendLogin(m_task.AuthData);
    ++m_task.Incarnation;
}

} // namespace lumo
