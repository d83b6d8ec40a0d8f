#include "control/address.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QRegularExpression>

#include <array>

namespace lumo {

namespace {

QString asciiLower(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return out;
}

bool containsAny(const QString &text, std::initializer_list<const char16_t *> patterns)
{
    for (const char16_t *p : patterns) {
        if (text.contains(QStringView(p)))
            return true;
    }
    return false;
}

} // namespace

AddressClass ClassifyAddress(const QString &address)
{
    if (address.isEmpty())
        return 0;
    const QString text = asciiLower(address);

    AddressClass scheme = 0;
    if (text.startsWith(u'/') || text.contains(u":\\"))
        scheme = LocalPath;
    else if (containsAny(text, {u"shttp://", u"http://", u"https://"}))
        scheme = NetworkAddress | HttpAddress;
    else if (containsAny(text, {u"mmst://", u"mmsu://", u"mmsh://", u"mms://"}))
        scheme = NetworkAddress | MmsAddress;
    else if (text.contains(u"pnm://"))
        scheme = NetworkAddress | PnmAddress;

    const QString name = StripQuery(FileNameOf(text));
    AddressClass kind = OtherFile;
    if (containsAny(name, {u".asx", u".wmx", u".wax", u".wvx", u".htm", u".html"}))
        kind = RedirectFile;
    else if (containsAny(name, {u".asp", u".jsp", u".php"}))
        kind = ScriptPage;
    else if (name.contains(u".log"))
        kind = LogFile;
    else if (name.contains(u".wmd"))
        kind = DownloadFile;
    else if (containsAny(name, {u".wms", u".wmz"}))
        kind = SkinFile;
    else if (containsAny(name, {u".asf", u".wmv", u".wma", u".wm"}))
        kind = MediaFile;
    else if (containsAny(name, {u".ram", u".rm"}))
        kind = RealMediaFile;
    return scheme | kind;
}

QString SchemeOf(const QString &address)
{
    const QString text = TrimControls(address);
    const qsizetype end = text.indexOf(QLatin1String("://"));
    return end > 0 ? asciiLower(text.left(end)) : QString();
}

QString HostOf(const QString &address)
{
    const QString text = TrimControls(address);
    int slashes = 0;
    qsizetype start = 0;
    for (qsizetype i = 1; i <= text.size() - 2; ++i) {
        if (text[i] != u'/')
            continue;
        ++slashes;
        if (slashes == 2)
            start = i + 1;
        else if (slashes == 3)
            return text.mid(start, i - start);
    }
    return {};
}

QString PathOf(const QString &address)
{
    const QString text = TrimControls(address);
    int slashes = 0;
    for (qsizetype i = 1; i <= text.size() - 3; ++i) {
        if (text[i] == u'/' && ++slashes == 3)
            return text.mid(i + 1);
    }
    return {};
}

namespace AddressRule {
QString emptyMessage()
{
    return QCoreApplication::translate("Address",
                                       "没有给出 URL\n使用 文件 -> 打开 命令来输入一个媒体文件地址");
}
QString notMmsMessage()
{
    return QCoreApplication::translate("Address",
                                       "你只能够直接在 URL 窗口中输入 MMS:// 开头的地址                \n"
                                       "请使用 文件 -> 打开 命令");
}
QString noHostMessage()
{
    return QCoreApplication::translate("Address", "请检查你输入的 URL 地址, 非法的 IP/主机");
}
QString noPathMessage()
{
    return QCoreApplication::translate("Address", "请检查你输入的 URL 地址, 非法的文件名或路径");
}
} // namespace AddressRule

HostPort SplitHostPort(const QString &hostText)
{
    HostPort out{hostText, std::nullopt};
    qsizetype colon = -1;
    if (hostText.startsWith(u'[')) {
        const qsizetype close = hostText.indexOf(u']');
        if (close < 0)
            return out;
        out.host = hostText.mid(1, close - 1);
        if (close + 1 < hostText.size() && hostText[close + 1] == u':')
            colon = close + 1;
        else
            return out;
    } else {
        colon = hostText.lastIndexOf(u':');
        if (colon < 0)
            return out;
        // A bare IPv6 address has several colons and no port.
        if (hostText.indexOf(u':') != colon) {
            out.badPort = QHostAddress(hostText).protocol() != QAbstractSocket::IPv6Protocol;
            return out;
        }
        out.host = hostText.left(colon);
    }
    bool ok = false;
    const uint port = hostText.mid(colon + 1).toUInt(&ok);
    if (ok && port > 0 && port <= 65535)
        out.port = quint16(port);
    else
        out.badPort = true;
    return out;
}

QString DroppedAddress(const QString &text, const QList<QUrl> &urls)
{
    // A link dragged from a page carries both; its text is the address as the page shows it.
    const QString carried = !text.trimmed().isEmpty() ? text
                            : urls.isEmpty()          ? QString()
                                                      : urls.first().toString();
    for (const QString &line :
         carried.split(QRegularExpression(QStringLiteral("[\\r\\n]")), Qt::SkipEmptyParts)) {
        const QString address = line.trimmed();
        if (!address.isEmpty())
            return address;
    }
    return {};
}

} // namespace lumo
