// Which language a run speaks, and that installing one changes the texts people see.

#include "shell/language.h"
#include "mms/servererrors.h"
#include "shell/settings.h"
#include "shell/tasklog.h"
#include "tempconfig.h"

#include <QCoreApplication>
#include <QFile>

namespace lumo {
namespace {

struct ChoiceCase
{
    const char *lumoLang;
    LanguageChoice stored;
    const char *locale;
    Language expected;
};

class ChooseLanguageTest : public ::testing::TestWithParam<ChoiceCase>
{};

TEST_P(ChooseLanguageTest, EnvironmentOverSettingOverLocale)
{
    const ChoiceCase &c = GetParam();
    EXPECT_EQ(chooseLanguage(c.lumoLang, c.stored, QLocale(QString::fromLatin1(c.locale))), c.expected)
        << "LUMO_LANG=" << c.lumoLang << " locale " << c.locale;
}

constexpr auto Zh = Language::Chinese;
constexpr auto En = Language::English;
INSTANTIATE_TEST_SUITE_P(Cases, ChooseLanguageTest,
                         ::testing::Values(
                             // the locale decides when nothing else does
                             ChoiceCase{"", LanguageChoice::Auto, "zh_CN", Zh},
                             ChoiceCase{"", LanguageChoice::Auto, "zh_TW", Zh},
                             ChoiceCase{"", LanguageChoice::Auto, "en_US", En},
                             ChoiceCase{"", LanguageChoice::Auto, "de_DE", En},
                             ChoiceCase{"", LanguageChoice::Auto, "C", En},
                             // the setting beats the locale
                             ChoiceCase{"", LanguageChoice::English, "zh_CN", En},
                             ChoiceCase{"", LanguageChoice::Chinese, "en_GB", Zh},
                             // LUMO_LANG beats both; other values are ignored
                             ChoiceCase{"zh", LanguageChoice::English, "en_US", Zh},
                             ChoiceCase{"en", LanguageChoice::Chinese, "zh_CN", En},
                             ChoiceCase{"fr", LanguageChoice::Auto, "zh_CN", Zh},
                             ChoiceCase{"EN", LanguageChoice::Chinese, "en_US", Zh},
                             ChoiceCase{"zh_CN", LanguageChoice::Auto, "en_US", En}));

TEST(LanguageChoiceText, RoundTripsAndReadsAnythingElseAsAuto)
{
    for (LanguageChoice c : {LanguageChoice::Auto, LanguageChoice::Chinese, LanguageChoice::English})
        EXPECT_EQ(languageChoiceFromText(languageChoiceText(c)), c);
    EXPECT_EQ(languageChoiceText(LanguageChoice::English), QStringLiteral("en"));
    for (const char *text : {"", "auto", "EN", "english", "zh_CN", "1"})
        EXPECT_EQ(languageChoiceFromText(QString::fromLatin1(text)), LanguageChoice::Auto) << text;
}

using LanguageSettingTest = test::TempConfigTest;

TEST_F(LanguageSettingTest, OldFileReadsAsAutoAndTheChoiceIsStored)
{
    RegWriteString(settingsKey, u"TCPPort", QStringLiteral("1755")); // a file from before the setting
    Settings old;
    old.load();
    EXPECT_EQ(old.language(), LanguageChoice::Auto);

    old.setLanguage(LanguageChoice::English);
    old.store();
    EXPECT_EQ(RegReadString(settingsKey, u"Language"), QStringLiteral("en"));
    Settings next;
    next.load();
    EXPECT_EQ(next.language(), LanguageChoice::English);
}

// Each case installs a language and puts Chinese back, as the other tests expect.
class InstalledLanguageTest : public ::testing::Test
{
protected:
    void TearDown() override { ASSERT_TRUE(installLanguage(Language::Chinese)); }
};

TEST_F(InstalledLanguageTest, EnglishTranslatesCoreTextsAndKeepsPlaceholders)
{
    ASSERT_TRUE(installLanguage(Language::English));
    EXPECT_EQ(currentLanguage(), Language::English);
    EXPECT_EQ(TaskLog::noDataToSaveText(), QStringLiteral("There is no log to save"));
    const ServerErrorReport report = ServerErrorText(0xC00D001A);
    EXPECT_EQ(report.logLines,
              QStringList({QStringLiteral("Server error message:"), QStringLiteral("File not found")}));
    // An unknown code still shows its number after the translated lines.
    EXPECT_TRUE(ServerErrorText(0x12345678)
                    .messageBox.endsWith(QStringLiteral("report this number to the Lumo "
                                                        "developers\n0x12345678")));
    EXPECT_EQ(ServerErrorText(0x80072746).logLines.value(1), QStringLiteral("Socket error, code = 10054"));
}

TEST_F(InstalledLanguageTest, ChineseKeepsOurTextsAndTranslatesQtsOwn)
{
    ASSERT_TRUE(installLanguage(Language::English));
    ASSERT_TRUE(installLanguage(Language::Chinese));
    EXPECT_EQ(currentLanguage(), Language::Chinese);
    EXPECT_EQ(TaskLog::noDataToSaveText(), QStringLiteral("没有记录数据来保存"));
    // The standard buttons' texts come from Qt's own translation.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("是(&Y)"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
}

TEST_F(InstalledLanguageTest, EnglishLogIsSavedAsWrittenAndLoadsBackInAChineseRun)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("english.log"));
    ASSERT_TRUE(installLanguage(Language::English));
    TaskLog written;
    written.append(QCoreApplication::translate("DownloadController", "------- 记录开始 -------"));
    written.append(ServerErrorText(0xC00D001A).logLines.join(QStringLiteral("\r\n")));
    written.DumpBytes("\x01\x02", 2);
    ASSERT_EQ(written.saveToFile(path), QString());

    ASSERT_TRUE(installLanguage(Language::Chinese));
    TaskLog read;
    ASSERT_TRUE(read.LoadLogFile(path));
    EXPECT_EQ(read.lines(), written.lines());
    EXPECT_EQ(read.lines().value(0), QStringLiteral("------- Log start -------"));
    EXPECT_EQ(read.lines().value(3), QStringLiteral(" Data dump: "));
}

} // namespace
} // namespace lumo
