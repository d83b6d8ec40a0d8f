#include "mms/servererrors.h"

#include <algorithm>
#include <iterator>
#include <QCoreApplication>

namespace lumo {

namespace {

struct KnownCode
{
    quint32 code;
    const char *message; // untranslated; see ServerErrorText
};

// Sorted by code.
constexpr KnownCode knownCodes[] = {
    {0x80004004, QT_TRANSLATE_NOOP("ServerErrors", "无法打开地址, 操作终止")},
    {0x80004005, QT_TRANSLATE_NOOP("ServerErrors", "打开文件失败")},
    {0x80040200, QT_TRANSLATE_NOOP("ServerErrors", "无法下载合适的解码程序")},
    {0x8004022F, QT_TRANSLATE_NOOP("ServerErrors", "非法的文件格式")},
    {0x80070001, QT_TRANSLATE_NOOP("ServerErrors", "请求了一个不正确的函数")},
    {0x80070002, QT_TRANSLATE_NOOP("ServerErrors", "系统无法找到指定的文件")},
    {0x80070003, QT_TRANSLATE_NOOP("ServerErrors", "系统无法找到指定的路径")},
    {0x80070004, QT_TRANSLATE_NOOP("ServerErrors", "系统无法打开文件")},
    {0x80070005, QT_TRANSLATE_NOOP("ServerErrors", "你无法访问地址或文件")},
    {0x80070008, QT_TRANSLATE_NOOP("ServerErrors", "没有足够的可用存储空间来处理这个命令")},
    {0x8007000D, QT_TRANSLATE_NOOP("ServerErrors", "数据是非法的")},
    {0x80070040, QT_TRANSLATE_NOOP("ServerErrors", "指定的网络名不再有效")},
    {0x80070043, QT_TRANSLATE_NOOP("ServerErrors", "请确认服务器路径和文件名称的正确性")},
    {0x80070057, QT_TRANSLATE_NOOP("ServerErrors", "在地址中给出的参数不正确")},
    {0x800C0005, QT_TRANSLATE_NOOP("ServerErrors", "服务器或代理服务器未找到")},
    {0x800C000D, QT_TRANSLATE_NOOP("ServerErrors", "未知的协议, 未找到匹配信息")},
    {0xC00D0005, QT_TRANSLATE_NOOP("ServerErrors", "没有可用的连接来连到媒体服务器")},
    {0xC00D0006, QT_TRANSLATE_NOOP("ServerErrors", "服务器忙或无法建立连接, 请稍候再试")},
    {0xC00D000E, QT_TRANSLATE_NOOP("ServerErrors", "网络太忙, 请稍候再试")},
    {0xC00D000F, QT_TRANSLATE_NOOP("ServerErrors", "太多已连接到服务器的任务")},
    {0xC00D0010, QT_TRANSLATE_NOOP("ServerErrors", "网络连接已经存在")},
    {0xC00D0012, QT_TRANSLATE_NOOP("ServerErrors", "在服务器和客户端之间没有匹配的协议版本")},
    {0xC00D0013, QT_TRANSLATE_NOOP("ServerErrors", "服务器没有及时的回应")},
    {0xC00D0015, QT_TRANSLATE_NOOP("ServerErrors", "从网络上读取错误")},
    {0xC00D0017, QT_TRANSLATE_NOOP("ServerErrors", "从磁盘上读取错误")},
    {0xC00D0019, QT_TRANSLATE_NOOP("ServerErrors", "读取文件错误")},
    {0xC00D001A, QT_TRANSLATE_NOOP("ServerErrors", "文件未找到")},
    {0xC00D0026, QT_TRANSLATE_NOOP("ServerErrors", "指定的流媒体类型无法识别")},
    {0xC00D0029, QT_TRANSLATE_NOOP("ServerErrors", "网络连接失败 - 连接断开")},
    {0xC00D002B, QT_TRANSLATE_NOOP("ServerErrors", "文件名或它的流参数是不正确的")},
    {0xC00D002C, QT_TRANSLATE_NOOP("ServerErrors", "服务器的带宽已经超过它的限制")},
    {0xC00D002E, QT_TRANSLATE_NOOP("ServerErrors", "计划中的一个操作或请求无法被执行")},
    {0xC00D002F, QT_TRANSLATE_NOOP("ServerErrors", "遇到非法或损坏的数据")},
    {0xC00D0031, QT_TRANSLATE_NOOP("ServerErrors", "客户端不能同时打开多个文件")},
    {0xC00D0034, QT_TRANSLATE_NOOP("ServerErrors", "在流媒体中没有更多的数据")},
    {0xC00D0035, QT_TRANSLATE_NOOP("ServerErrors", "无法找到指定的服务器")},
    {0xC00D0BBE, QT_TRANSLATE_NOOP("ServerErrors", "你需要一个许可才能对这个媒体文件执行请求操作")},
};
static_assert(std::size(knownCodes) == 37);

// WinSock errors 10001 to 11004 wrapped as result codes.
constexpr quint32 winSockFirst = 0x80072711;
constexpr quint32 winSockLast = 0x80072AFC;

} // namespace

ServerErrorReport ServerErrorText(quint32 code)
{
    const QString heading = QCoreApplication::translate("ServerErrors", "服务器错误信息读取:");
    ServerErrorReport report;

    QString message;
    if (code >= winSockFirst && code <= winSockLast) {
        message = QCoreApplication::translate("ServerErrors", "在 WinSock 中遇到错误, 代码 = %1")
                      .arg(code & 0xFFFF);
    } else {
        const auto it = std::lower_bound(std::begin(knownCodes), std::end(knownCodes), code,
                                         [](const KnownCode &k, quint32 c) { return k.code < c; });
        if (it != std::end(knownCodes) && it->code == code)
            message = QCoreApplication::translate("ServerErrors", it->message);
    }

    if (!message.isEmpty()) {
        report.known = true;
        report.logLines = {heading, message};
        report.messageBox = heading + QStringLiteral("\n\n") + message;
        return report;
    }

    const QString number = QStringLiteral("0x") + QString::number(code, 16).toUpper().rightJustified(4, u'0');
    report.logLines = {heading, number};
    report.messageBox = heading + QStringLiteral("\n\n") +
                        QCoreApplication::translate("ServerErrors", "## 未知的服务器错误码 ##\n") +
                        QCoreApplication::translate("ServerErrors", "请向 Lumo 报告这个号码\n") + number;
    return report;
}

} // namespace lumo
