#include "shell/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace lumo {

namespace {

constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QString configFolder()
{
    // A relative XDG_CONFIG_HOME is invalid and is to be ignored.
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

// Creates the file with mode 0600 before QSettings first writes it; QSettings replaces the
// file through a temporary copy that takes over the permissions of the existing file.
bool ensurePrivateFile(const QString &path)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
    if (file.exists())
        return file.setPermissions(ownerOnly);
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly, ownerOnly);
}

} // namespace

QString settingsFilePath(QStringView key)
{
    const QString full = key.toString() + QStringLiteral(LUMO_VERSION);
    QStringList parts = full.split(u'\\', Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.first().compare(u"Software", Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    // The key is ours, but keep it from naming anything outside the folder.
    parts.removeIf([](const QString &part) { return part == u"." || part == u".." || part.contains(u'/'); });
    return configFolder() + u'/' + parts.join(u'/') + QStringLiteral(".ini");
}

QString RegReadString(QStringView key, QStringView name)
{
    const QString path = settingsFilePath(key);
    if (!QFileInfo::exists(path))
        return {};
    const QSettings store(path, QSettings::IniFormat);
    const QVariant value = store.value(name.toString());
    // A hand-edited value with a bare comma reads back as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

bool RegWriteString(QStringView key, QStringView name, const QString &value)
{
    const QString path = settingsFilePath(key);
    if (!ensurePrivateFile(path))
        return false;
    {
        QSettings store(path, QSettings::IniFormat);
        store.setValue(name.toString(), value);
        store.sync();
        if (store.status() != QSettings::NoError)
            return false;
    }
    // Keep the mode even if the rewrite did not carry it over.
    return QFile::setPermissions(path, ownerOnly);
}

} // namespace lumo
