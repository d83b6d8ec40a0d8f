#include "mms/servererrors.h"

#include <algorithm>
#include <iterator>

namespace lumo {

namespace {

struct KnownCode
{
    quint32 code;
    const char16_t *message;
};

// Sorted by code.
constexpr KnownCode knownCodes[] = {
    {0x80004004, u"无法打开地址, 操作终止"},
    {0x80004005, u"打开文件失败"},
    {0x80040200, u"无法下载合适的解码程序"},
    {0x8004022F, u"非法的文件格式"},
    {0x80070001, u"请求了一个不正确的函数"},
    {0x80070002, u"系统无法找到指定的文件"},
    {0x80070003, u"系统无法找到指定的路径"},
    {0x80070004, u"系统无法打开文件"},
    {0x80070005, u"你无法访问地址或文件"},
    {0x80070008, u"没有足够的可用存储空间来处理这个命令"},
    {0x8007000D, u"数据是非法的"},
    {0x80070040, u"指定的网络名不再有效"},
    {0x80070043, u"请确认服务器路径和文件名称的正确性"},
    {0x80070057, u"在地址中给出的参数不正确"},
    {0x800C0005, u"服务器或代理服务器未找到"},
    {0x800C000D, u"未知的协议, 未找到匹配信息"},
    {0xC00D0005, u"没有可用的连接来连到媒体服务器"},
    {0xC00D0006, u"服务器忙或无法建立连接, 请稍候再试"},
    {0xC00D000E, u"网络太忙, 请稍候再试"},
    {0xC00D000F, u"太多已连接到服务器的任务"},
    {0xC00D0010, u"网络连接已经存在"},
    {0xC00D0012, u"在服务器和客户端之间没有匹配的协议版本"},
    {0xC00D0013, u"服务器没有及时的回应"},
    {0xC00D0015, u"从网络上读取错误"},
    {0xC00D0017, u"从磁盘上读取错误"},
    {0xC00D0019, u"读取文件错误"},
    {0xC00D001A, u"文件未找到"},
    {0xC00D0026, u"指定的流媒体类型无法识别"},
    {0xC00D0029, u"网络连接失败 - 连接断开"},
    {0xC00D002B, u"文件名或它的流参数是不正确的"},
    {0xC00D002C, u"服务器的带宽已经超过它的限制"},
    {0xC00D002E, u"计划中的一个操作或请求无法被执行"},
    {0xC00D002F, u"遇到非法或损坏的数据"},
    {0xC00D0031, u"客户端不能同时打开多个文件"},
    {0xC00D0034, u"在流媒体中没有更多的数据"},
    {0xC00D0035, u"无法找到指定的服务器"},
    {0xC00D0BBE, u"你需要一个许可才能对这个媒体文件执行请求操作"},
};
static_assert(std::size(knownCodes) == 37);

// WinSock errors 10001 to 11004 wrapped as result codes.
constexpr quint32 winSockFirst = 0x80072711;
constexpr quint32 winSockLast = 0x80072AFC;

} // namespace

ServerErrorReport ServerErrorText(quint32 code)
{
    const QString heading = QStringLiteral("服务器错误信息读取:");
    ServerErrorReport report;

    QString message;
    if (code >= winSockFirst && code <= winSockLast) {
        message = QStringLiteral("在 WinSock 中遇到错误, 代码 = %1").arg(code & 0xFFFF);
    } else {
        const auto it = std::lower_bound(std::begin(knownCodes), std::end(knownCodes), code,
                                         [](const KnownCode &k, quint32 c) { return k.code < c; });
        if (it != std::end(knownCodes) && it->code == code)
            message = QString::fromUtf16(it->message);
    }

    if (!message.isEmpty()) {
        report.known = true;
        report.logLines = {heading, message};
        report.messageBox = heading + QStringLiteral("\n\n") + message;
        return report;
    }

    const QString number = QStringLiteral("0x") + QString::number(code, 16).toUpper().rightJustified(4, u'0');
    report.logLines = {heading, number};
    report.messageBox = heading + QStringLiteral("\n\n") + QStringLiteral("## 未知的服务器错误码 ##\n") +
                        QStringLiteral("请向 Lumo 报告这个号码\n") + number;
    return report;
}

} // namespace lumo
