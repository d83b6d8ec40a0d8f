#include "shell/settingsstore.h"
#include "tempconfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace lumo {
namespace {

using SettingsStoreTest = test::TempConfigTest;

mode_t fileMode(const QString &path)
{
    struct stat st
    {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

TEST_F(SettingsStoreTest, KeyMapsToVersionedIniFileUnderConfigFolder)
{
    EXPECT_EQ(settingsFilePath(settingsKey), iniPath());
    ASSERT_TRUE(RegWriteString(settingsKey, u"TCPPort", QStringLiteral("1755")));
    EXPECT_TRUE(QFileInfo::exists(iniPath()));
}

// The environment is read on every call: tests and the CLI switch folders at run time.
TEST_F(SettingsStoreTest, FollowsConfigFolderChangesAtRunTime)
{
    RegWriteString(settingsKey, u"TCPPort", QStringLiteral("1"));
    QTemporaryDir other;
    ASSERT_TRUE(other.isValid());
    qputenv("XDG_CONFIG_HOME", other.path().toLocal8Bit());
    EXPECT_EQ(RegReadString(settingsKey, u"TCPPort"), QString());
    RegWriteString(settingsKey, u"TCPPort", QStringLiteral("2"));
    qputenv("XDG_CONFIG_HOME", configDir().toLocal8Bit());
    EXPECT_EQ(RegReadString(settingsKey, u"TCPPort"), QStringLiteral("1"));
}

TEST_F(SettingsStoreTest, WithoutXdgConfigHomeUsesDotConfigInHome)
{
    const QByteArray oldHome = qgetenv("HOME");
    qunsetenv("XDG_CONFIG_HOME");
    qputenv("HOME", configDir().toLocal8Bit());
    const QString path = settingsFilePath(settingsKey);
    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    const QString relativePath = settingsFilePath(settingsKey);
    qputenv("HOME", oldHome);
    EXPECT_EQ(path, configDir() + QStringLiteral("/.config/Lumo/Lumo downloader/1.8.0.ini"));
    EXPECT_EQ(relativePath, path);
}

TEST_F(SettingsStoreTest, MissingFileOrValueReadsEmptyAndReadingCreatesNothing)
{
    EXPECT_EQ(RegReadString(settingsKey, u"TCPPort"), QString());
    EXPECT_FALSE(QFileInfo::exists(iniPath()));
    RegWriteString(settingsKey, u"UDPPort", QStringLiteral("7000"));
    EXPECT_EQ(RegReadString(settingsKey, u"TCPPort"), QString());
}

// Values that INI files treat specially must come back as the same string.
TEST_F(SettingsStoreTest, ValuesRoundTripUnchanged)
{
    const QStringList values = {
        QStringLiteral("1755"),
        QString(),
        QStringLiteral("记录开始 主机"),
        QStringLiteral("mms://a/b\r\nmms://c/d\r\n"),
        QStringLiteral("a, b, c"),
        QStringLiteral("@Invalid()"),
        QStringLiteral("key=value; \"quoted\" #hash"),
        QStringLiteral("C:\\media\\"),
        QStringLiteral("  padded  "),
        QStringLiteral("true"),
        QStringLiteral("QWxhZGRpbjpvcGVuIHNlc2FtZQ=="),
    };
    for (qsizetype i = 0; i < values.size(); ++i)
        ASSERT_TRUE(RegWriteString(settingsKey, QStringLiteral("V%1").arg(i), values[i]));
    for (qsizetype i = 0; i < values.size(); ++i)
        EXPECT_EQ(RegReadString(settingsKey, QStringLiteral("V%1").arg(i)), values[i]) << i;
}

TEST_F(SettingsStoreTest, OverwriteKeepsOtherValues)
{
    RegWriteString(settingsKey, u"A", QStringLiteral("1"));
    RegWriteString(settingsKey, u"B", QStringLiteral("2"));
    RegWriteString(settingsKey, u"A", QStringLiteral("3"));
    EXPECT_EQ(RegReadString(settingsKey, u"A"), QStringLiteral("3"));
    EXPECT_EQ(RegReadString(settingsKey, u"B"), QStringLiteral("2"));
}

// The file holds saved logins: owner only, from the first write on, also for a file that
// an earlier version left readable.
TEST_F(SettingsStoreTest, FileIsOwnerReadWriteOnly)
{
    RegWriteString(settingsKey, u"Authm", QStringLiteral("secret"));
    EXPECT_EQ(fileMode(iniPath()), mode_t(0600));
    RegWriteString(settingsKey, u"Authh", QStringLiteral("secret2"));
    EXPECT_EQ(fileMode(iniPath()), mode_t(0600));

    ASSERT_EQ(::chmod(QFile::encodeName(iniPath()).constData(), 0644), 0);
    RegWriteString(settingsKey, u"Authh", QStringLiteral("secret3"));
    EXPECT_EQ(fileMode(iniPath()), mode_t(0600));
    EXPECT_EQ(RegReadString(settingsKey, u"Authm"), QStringLiteral("secret"));
}

TEST_F(SettingsStoreTest, WriteFailsWhenFolderCannotBeMade)
{
    QFile blocker(configDir() + QStringLiteral("/Lumo"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    EXPECT_FALSE(RegWriteString(settingsKey, u"TCPPort", QStringLiteral("1755")));
    EXPECT_EQ(RegReadString(settingsKey, u"TCPPort"), QString());
}

} // namespace
} // namespace lumo
