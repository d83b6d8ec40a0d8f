#pragma once

#include <QString>
#include <QStringView>

namespace lumo {

// The key text every caller passes; the store appends the program version to it.
inline constexpr QStringView settingsKey = u"Software\\Lumo\\Lumo downloader\\";

// The INI file that holds a key: the key text plus the version, without its leading
// "Software\", as a path under the user's configuration folder ($XDG_CONFIG_HOME, else
// ~/.config). Worked out on every call, so a changed environment takes effect at once.
QString settingsFilePath(QStringView key);

// The stored value, or "" when the file or the value is missing. Nothing is cached.
QString RegReadString(QStringView key, QStringView name);

// Stores the value. The file is created readable and writable by its owner only, as it
// holds saved logins. Returns false when the file could not be written.
bool RegWriteString(QStringView key, QStringView name, const QString &value);

} // namespace lumo
