#include "shell/settings.h"

#include "shell/logging.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace lumo {

namespace {

// Names of the stored values.
constexpr QStringView nameTcpPort = u"TCPPort";
constexpr QStringView nameUdpPort = u"UDPPort";
constexpr QStringView nameDoneInterval = u"DoneInterval";
constexpr QStringView nameLastProto = u"LastProto";
constexpr QStringView nameDnsState = u"DNSState";
constexpr QStringView nameAutoLog = u"AutoLog";
constexpr QStringView nameSendHost = u"SendHost";
constexpr QStringView nameLanguage = u"Language";
constexpr QStringView nameStreamChoice = u"StreamChoice";
constexpr QStringView nameHeight = u"Height";
constexpr QStringView nameWidth = u"Width";
constexpr QStringView nameFormLeft = u"FormLeft";
constexpr QStringView nameFormTop = u"FormTop";
constexpr QStringView nameUrlSelected = u"URLSelected";
constexpr QStringView nameUrlList = u"URLList";
constexpr QStringView nameAsfDir = u"AsfDir";
constexpr QStringView nameAsxDir = u"AsxDir";
constexpr QStringView nameLogDir = u"LogDir";
constexpr QStringView nameOpenDir = u"OpenDir";
constexpr QStringView nameMediaList = u"MediaList";
constexpr QStringView nameAuthh = u"Authh";
constexpr QStringView nameAuthm = u"Authm";

// Defaults and the fixed words of the choices.
constexpr QStringView defaultTcpPort = u"1755";
constexpr QStringView defaultUdpPort = u"7000";
constexpr quint16 defaultUdpPortNumber = 7000;
constexpr QStringView defaultDoneInterval = u"10";
constexpr QStringView protoUdp = u"UDP";
constexpr QStringView protoTcp = u"TCP";
constexpr QStringView dnsIp = u"IP";
constexpr QStringView dnsLookup = u"Lookup";
constexpr QStringView flagOn = u"on";
constexpr QStringView flagOff = u"off";

QString onOff(bool on)
{
    return (on ? flagOn : flagOff).toString();
}

} // namespace

Settings::Settings(QStringView key) : m_key(key.toString()) {}

QString Settings::read(QStringView name) const
{
    return RegReadString(m_key, name);
}

void Settings::write(QStringView name, const QString &value)
{
    RegWriteString(m_key, name, value);
}

std::optional<int> Settings::readInt(QStringView name) const
{
    bool ok = false;
    const int value = read(name).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

void Settings::load()
{
    m_tcpPort = read(nameTcpPort);
    if (m_tcpPort.isEmpty())
        m_tcpPort = defaultTcpPort.toString();

    m_udpPort = read(nameUdpPort);
    if (m_udpPort.isEmpty())
        m_udpPort = defaultUdpPort.toString();
    m_initialUdpPort = m_udpPort;

    m_soundInterval = read(nameDoneInterval);
    if (m_soundInterval.isEmpty())
        m_soundInterval = defaultDoneInterval.toString();

    m_useUdp = read(nameLastProto) == protoUdp;
    m_bypassDns = read(nameDnsState) == dnsIp;
    m_autoSaveLog = read(nameAutoLog) == flagOn;
    m_sendHost = read(nameSendHost) == flagOn;
    m_language = languageChoiceFromText(read(nameLanguage));
    m_streamRule = streamRuleFromText(read(nameStreamChoice)).value_or(StreamRule{});
    qCDebug(lcShell) << "settings loaded: TCP port" << m_tcpPort << "UDP port" << m_udpPort << "UDP"
                     << m_useUdp;
}

void Settings::store()
{
    write(nameTcpPort, m_tcpPort);
    write(nameUdpPort, m_udpPort);
    write(nameDoneInterval, m_soundInterval);
    write(nameLastProto, (m_useUdp ? protoUdp : protoTcp).toString());
    write(nameDnsState, (m_bypassDns ? dnsIp : dnsLookup).toString());
    write(nameAutoLog, onOff(m_autoSaveLog));
    write(nameSendHost, onOff(m_sendHost));
    write(nameLanguage, languageChoiceText(m_language));
    write(nameStreamChoice, streamRuleText(m_streamRule));
}

quint16 Settings::udpBindPort() const
{
    bool ok = false;
    const uint port = m_initialUdpPort.trimmed().toUInt(&ok);
    return ok && port <= 65535 ? static_cast<quint16>(port) : defaultUdpPortNumber;
}

bool Settings::udpPortChanged() const
{
    return m_udpPort != m_initialUdpPort;
}

QString Settings::udpPortChangeQuestion()
{
    return QCoreApplication::translate("Settings", "你的 UDP 已经改变端口值\n"
                                                   "在新的 UDP 端口设定生效之前你必须重新启动 Lumo! \n"
                                                   "                                       \n\n"
                                                   "要立即关闭 Lumo 吗?\n"
                                                   "所有的数据将会被保存.");
}

QString Settings::udpPortChangeCancelledText()
{
    return QCoreApplication::translate("Settings", "UDP 更改已取消, 将保持原来的 UDP 端口设置");
}

void Settings::revertUdpPort()
{
    m_udpPort = m_initialUdpPort;
    write(nameUdpPort, m_udpPort);
}

QString Settings::aboutUdpText()
{
    return QCoreApplication::translate(
        "Settings", "关于 UDP\n\n"
                    "目前, Lumo 还不支持数据包错误修正. 有错误或者丢失信息包     \n"
                    "的 UDP 流信息将会被当作正常的文件而保存. 这就是说 UDP 只能\n"
                    "够用在要求不怎么严格的测试场合. 只能够作为 TCP 数据流协议的 \n"
                    "备选类型.                                                  \n"
                    "                             \n\n"
                    "同样, 如果你改变了 UDP 端口地址的话, 你就必须重新启动 Lumo,\n"
                    "根据 Windows 的套接字规则. 每次启动一个应用程序 UDP 只能创\n"
                    "建并关联一个本机的端口.                            \n"
                    "                                                                \n\n"
                    "可用的端口数字范围是从 1 - 65535. 避免使用 1000 以下的数字,因\n"
                    "为这些数字可能会被网络和系统使用作为保留字.                     \n"
                    "默认的 MMS 流端口为 7000 或 7001                                    \n\n"
                    "UDP 协议一样能够下载, 但是要小心保存的文件中可能会存在着错误.\n"
                    "(感谢阅读这些内容)");
}

std::optional<int> Settings::windowHeight() const
{
    return readInt(nameHeight);
}

void Settings::setWindowHeight(int value)
{
    write(nameHeight, QString::number(value));
}

std::optional<int> Settings::windowWidth() const
{
    return readInt(nameWidth);
}

void Settings::setWindowWidth(int value)
{
    write(nameWidth, QString::number(value));
}

std::optional<int> Settings::windowLeft() const
{
    return readInt(nameFormLeft);
}

void Settings::setWindowLeft(int value)
{
    write(nameFormLeft, QString::number(value));
}

std::optional<int> Settings::windowTop() const
{
    return readInt(nameFormTop);
}

void Settings::setWindowTop(int value)
{
    write(nameFormTop, QString::number(value));
}

QString Settings::addressText() const
{
    return read(nameUrlSelected);
}

void Settings::setAddressText(const QString &text)
{
    write(nameUrlSelected, text);
}

QStringList Settings::addressList() const
{
    return fromListText(read(nameUrlList));
}

void Settings::setAddressList(const QStringList &items)
{
    write(nameUrlList, toListText(items));
}

QString Settings::saveFolder() const
{
    return read(nameAsfDir);
}

void Settings::setSaveFolder(const QString &folder)
{
    write(nameAsfDir, folder);
}

QString Settings::redirectFolder() const
{
    return read(nameAsxDir);
}

void Settings::setRedirectFolder(const QString &folder)
{
    write(nameAsxDir, folder);
}

QString Settings::logFolder() const
{
    return read(nameLogDir);
}

void Settings::setLogFolder(const QString &folder)
{
    write(nameLogDir, folder);
}

QString Settings::openFolder() const
{
    return read(nameOpenDir);
}

void Settings::setOpenFolder(const QString &folder)
{
    write(nameOpenDir, folder);
}

QStringList Settings::recentLocations() const
{
    return fromListText(read(nameMediaList));
}

void Settings::setRecentLocations(const QStringList &items)
{
    write(nameMediaList, toListText(items.mid(0, maxMediaListSize)));
}

QStringList Settings::addToRecentLocations(const QString &address)
{
    QStringList items = recentLocations();
    items.prepend(address);
    items = items.mid(0, maxMediaListSize);
    setRecentLocations(items);
    return items;
}

QString Settings::webLogin() const
{
    return read(nameAuthh);
}

void Settings::setWebLogin(const QString &stored)
{
    write(nameAuthh, stored);
}

QString Settings::serverLogin() const
{
    return read(nameAuthm);
}

void Settings::setServerLogin(const QString &stored)
{
    write(nameAuthm, stored);
}

QString folderOf(const QString &path)
{
    return path.left(path.lastIndexOf(u'/') + 1);
}

QString toListText(const QStringList &items)
{
    QString text;
    for (const QString &item : items)
        text += item + QStringLiteral("\r\n");
    return text;
}

QStringList fromListText(const QString &text)
{
    if (text.isEmpty())
        return {};
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList items = text.split(lineBreak);
    // The break after the last item ends it; it does not start another.
    if (items.last().isEmpty())
        items.removeLast();
    return items;
}

} // namespace lumo
