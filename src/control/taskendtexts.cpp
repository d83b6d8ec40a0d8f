#include "control/taskendtexts.h"

#include "control/statustext.h"

#include <QAbstractSocket>
#include <QCoreApplication>

namespace lumo {

std::optional<EndTexts> connectionFailureTexts(int socketError, const QString &host)
{
    switch (QAbstractSocket::SocketError(socketError)) {
    case QAbstractSocket::ConnectionRefusedError:
        return EndTexts{
            QCoreApplication::translate("TaskEndTexts", "-- 服务器 %1 拒绝连接, 任务终止 --").arg(host),
            QCoreApplication::translate("TaskEndTexts",
                                        "服务器 %1 拒绝连接, 任务终止\n请检查地址和端口是否正确")
                .arg(host)};
    case QAbstractSocket::HostNotFoundError:
        return EndTexts{
            QCoreApplication::translate("TaskEndTexts", "-- 找不到主机 %1, 任务终止 --").arg(host),
            QCoreApplication::translate("TaskEndTexts", "找不到服务器 %1, 任务终止\n请检查你输入的地址")
                .arg(host)};
    case QAbstractSocket::NetworkError:
        return EndTexts{
            QCoreApplication::translate("TaskEndTexts", "-- 网络无法到达 %1, 任务终止 --").arg(host),
            QCoreApplication::translate("TaskEndTexts",
                                        "无法到达服务器 %1, 网络不通, 任务终止\n请检查网络连接")
                .arg(host)};
    default:
        return std::nullopt;
    }
}

QString interruptedMessage(const QString &reason, quint32 packetsHeld, quint32 packetCount)
{
    return QCoreApplication::translate("TaskEndTexts",
                                       "下载被中断: %1\n本地文件中已经保存了 %2 个数据包 (共 %3 个, %4%)\n"
                                       "在同一个保存文件上再次开始, 即可续传这个文件")
        .arg(reason)
        .arg(packetsHeld)
        .arg(packetCount)
        .arg(progressPercent(packetsHeld, packetCount));
}

QString udpPortUnavailableLogLine(quint16 port, const QString &why)
{
    return QCoreApplication::translate("TaskEndTexts", "警告, 无法使用本地 UDP 端口 %1: %2")
        .arg(port)
        .arg(why);
}

QString udpPortUnavailableMessage(quint16 port)
{
    return QCoreApplication::translate("TaskEndTexts",
                                       "本地 UDP 端口 %1 无法使用, 它可能已被其他程序占用\n"
                                       "请在 设置 中更换 UDP 端口并重新启动程序, 或者不使用 UDP")
        .arg(port);
}

std::optional<Notice> taskEndNotice(TaskEnd end, const QString &saveFile, const QString &lastLogLine)
{
    switch (end) {
    case TaskEnd::Completed:
        return Notice{QCoreApplication::translate("TaskEndTexts", "Lumo: 下载已完成"), saveFile};
    case TaskEnd::Interrupted:
        return Notice{QCoreApplication::translate("TaskEndTexts", "Lumo: 下载被中断"),
                      saveFile + QCoreApplication::translate(
                                     "TaskEndTexts", "\n在同一个保存文件上再次开始, 即可续传这个文件")};
    case TaskEnd::Failed:
        return Notice{QCoreApplication::translate("TaskEndTexts", "Lumo: 任务终止"),
                      saveFile.isEmpty() ? lastLogLine : saveFile + QLatin1Char('\n') + lastLogLine};
    case TaskEnd::StoppedByPerson:
        break;
    }
    return std::nullopt;
}

QString noPortMessage()
{
    return QCoreApplication::translate("TaskEndTexts", "没有 TCP 端口号   \n使用设置 -> TCP (默认 = 1755)");
}

} // namespace lumo
