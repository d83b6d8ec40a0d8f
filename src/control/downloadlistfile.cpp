#include "control/downloadlistfile.h"

#include "control/downloadlist.h"
#include "shell/settingsstore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

namespace lumo {

namespace {
constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
} // namespace

QString downloadListFilePath()
{
    return QFileInfo(settingsFilePath(settingsKey)).absolutePath() + QStringLiteral("/downloadlist.json");
}

ListFileRead readDownloadList(DownloadList &list, const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (file.open(QIODevice::ReadOnly)) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
        file.close();
        if (error.error == QJsonParseError::NoError && document.isObject() &&
            list.fromJson(document.object()))
            return {ListFileRead::Result::Read, {}};
    }
    // A name of its own each time: an earlier damaged file is not overwritten.
    const QString aside = path + QStringLiteral(".damaged-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString moved = aside;
    for (int n = 2; QFileInfo::exists(moved); ++n)
        moved = aside + QStringLiteral("-%1").arg(n);
    return {ListFileRead::Result::Damaged, QFile::rename(path, moved) ? moved : QString()};
}

QString writeDownloadList(const DownloadList &list, const QString &path)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("cannot make the folder of %1").arg(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // Before any byte is written: the temporary file becomes the list file.
    file.setPermissions(ownerOnly);
    file.write(QJsonDocument(list.toJson()).toJson(QJsonDocument::Indented));
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace lumo
