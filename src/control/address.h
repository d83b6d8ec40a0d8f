#pragma once

#include "shell/pathtext.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace lumo {

// What a location names: where it is (one scheme group) and what kind of file (one kind flag).
enum AddressFlag : quint32
{
    LocalPath = 0x0001,
    NetworkAddress = 0x0002,
    HttpAddress = 0x0004,
    MmsAddress = 0x0008,
    PnmAddress = 0x0010,
    OtherFile = 0x0020,
    MediaFile = 0x0040,
    RedirectFile = 0x0080,
    DownloadFile = 0x0100,
    LogFile = 0x0200,
    RealMediaFile = 0x0400,
    SkinFile = 0x0800,
    ScriptPage = 0x1000,
};
using AddressClass = quint32;

AddressClass ClassifyAddress(const QString &address);
QString HostOf(const QString &address);
// The scheme before "://", in lower case ("mms", "mmsh", "http"); empty when there is none.
QString SchemeOf(const QString &address);
QString PathOf(const QString &address);

// Start's address rules in their order; the first that fails gives its message.
namespace AddressRule {
QString emptyMessage();  // no address at all
QString notMmsMessage(); // not an mms:// address
QString noHostMessage(); // no host after the scheme
QString noPathMessage(); // no path after the host
} // namespace AddressRule

// A host text may carry a port ("server:8080", "[::1]:8080"): the connection then uses that
// port and looks up the host without it.
struct HostPort
{
    QString host;
    std::optional<quint16> port;
    bool badPort = false; // a port is written but is not a port number ("host:445mms:")
};
HostPort SplitHostPort(const QString &hostText);

// The address a drop onto the address box carries: its text, else its first link; only the
// first line, without the blanks around it. Empty when the drop holds no address.
QString DroppedAddress(const QString &text, const QList<QUrl> &urls);

} // namespace lumo
