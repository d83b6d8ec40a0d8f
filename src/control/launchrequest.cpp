#include "control/launchrequest.h"

#include "shell/pathtext.h"

#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace lumo {

LaunchRequest classifyLaunchArgument(const QString &argument)
{
    const QString text = TrimControls(argument);
    static const QStringList schemes{QStringLiteral("mms://"),  QStringLiteral("mmst://"),
                                     QStringLiteral("mmsu://"), QStringLiteral("mmsh://"),
                                     QStringLiteral("http://"), QStringLiteral("https://")};
    for (const QString &scheme : schemes) {
        if (text.startsWith(scheme, Qt::CaseInsensitive))
            return {LaunchKind::Address, text};
    }
    QString path = text;
    if (text.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive))
        path = QUrl(text).toLocalFile();
    else if (text.contains(QStringLiteral("://")))
        return {LaunchKind::Unknown, text}; // a scheme we do not speak
    if (path.isEmpty())
        return {LaunchKind::Unknown, text};
    path = QFileInfo(path).absoluteFilePath();
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (QStringList{QStringLiteral("asx"), QStringLiteral("wax"), QStringLiteral("wvx"),
                    QStringLiteral("wmx")}
            .contains(suffix))
        return {LaunchKind::RedirectFile, path};
    if (QStringList{QStringLiteral("asf"), QStringLiteral("wmv"), QStringLiteral("wma")}.contains(suffix))
        return {LaunchKind::MediaFile, path};
    return {LaunchKind::Unknown, text};
}

} // namespace lumo
