// The windows in English, the language choice in the settings window, and Qt's own button
// texts in Chinese.

#include "desktopfixture.h"

#include "shell/language.h"
#include "ui/mainwindow.h"
#include "ui/settingswindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>

namespace lumo::test {
namespace {

// The visible texts of a window and its children that hold Chinese characters.
QStringList chineseTexts(QWidget *window)
{
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    QStringList texts{window->windowTitle()};
    for (QLabel *label : window->findChildren<QLabel *>())
        texts << label->text() << label->toolTip();
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
        texts << button->text() << button->toolTip();
    for (QAction *action : window->findChildren<QAction *>())
        texts << action->text() << action->toolTip();
    for (QMenu *menu : window->findChildren<QMenu *>())
        texts << menu->title();
    for (QGroupBox *group : window->findChildren<QGroupBox *>())
        texts << group->title();
    return texts.filter(han);
}

class EnglishWindowsTest : public DesktopFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(installLanguage(Language::English));
        DesktopFixture::SetUp();
        startProgram();
    }
    void TearDown() override
    {
        DesktopFixture::TearDown();
        installLanguage(Language::Chinese);
    }
};

TEST_F(EnglishWindowsTest, MainWindowMenusAndButtonsAreEnglish)
{
    MainWindow &main = m_desktop->mainWindow();
    EXPECT_EQ(child<QAction>(&main, "connectAction")->text(), QStringLiteral("&Start"));
    EXPECT_EQ(child<QAction>(&main, "disconnectAction")->text(), QStringLiteral("S&top"));
    EXPECT_EQ(child<QAction>(&main, "showPropertiesToolAction")->text(), QStringLiteral("&Info"));
    EXPECT_EQ(child<QMenu>(&main, "fileMenu")->title(), QStringLiteral("&File"));
    EXPECT_EQ(child<QAction>(&main, "saveLogAction")->text(), QStringLiteral("&Save Log"));
    // The shortcuts stay those of the Chinese windows.
    EXPECT_EQ(child<QAction>(&main, "connectAction")->shortcut(), QKeySequence(QStringLiteral("Alt+G")));
    EXPECT_EQ(chineseTexts(&main), QStringList());
}

TEST_F(EnglishWindowsTest, SmallWindowsHaveNoChineseLeft)
{
    for (const SmallWindow &small : smallWindows()) {
        // The language box names Chinese in Chinese, as language menus do.
        QStringList left = chineseTexts(small.window);
        left.removeAll(QStringLiteral("中文"));
        EXPECT_EQ(left, QStringList()) << small.name;
    }
}

TEST_F(EnglishWindowsTest, StartWithoutAddressTellsInEnglish)
{
    QString text;
    m_desktop->mainWindow().setUrl({}, QString());
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &text));
    m_desktop->onConnectTriggered();
    EXPECT_EQ(text,
              QStringLiteral("No address given.\nUse File -> Open to enter the address of a media file."));
}

using LanguageBoxTest = DesktopFixture;

TEST_F(LanguageBoxTest, ChoiceIsStoredForTheNextStart)
{
    startProgram();
    child<QAction>(&m_desktop->mainWindow(), "viewSetupToolAction")->trigger();
    SettingsWindow *window = &m_desktop->settingsWindow();
    auto *box = child<QComboBox>(window, "languageBox");
    ASSERT_EQ(box->count(), 3);
    EXPECT_EQ(box->currentIndex(), 0); // a new configuration follows the system
    EXPECT_EQ(box->itemText(0), QStringLiteral("自动"));
    EXPECT_EQ(box->itemText(2), QStringLiteral("English"));
    EXPECT_FALSE(child<QLabel>(window, "languageNoteLabel")->text().isEmpty());

    box->setCurrentIndex(2);
    Q_EMIT box->activated(2);
    child<QPushButton>(window, "okButton")->click();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(storedValue(QStringLiteral("Language")), QStringLiteral("en"));
    // This run keeps its language; the next start reads the choice.
    EXPECT_EQ(currentLanguage(), Language::Chinese);
    closeProgram();
    startProgram();
    child<QAction>(&m_desktop->mainWindow(), "viewSetupToolAction")->trigger();
    EXPECT_EQ(child<QComboBox>(&m_desktop->settingsWindow(), "languageBox")->currentIndex(), 2);
}

TEST_F(LanguageBoxTest, StandardButtonsAreChineseInTheChineseProgram)
{
    startProgram();
    QStringList buttons;
    m_answers->expect([&buttons](QWidget *widget) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        ASSERT_NE(box, nullptr);
        for (QAbstractButton *button : box->buttons())
            buttons << button->text();
        box->button(QMessageBox::No)->click();
    });
    // The UDP port change asks Yes or No when the settings window closes.
    child<QAction>(&m_desktop->mainWindow(), "viewSetupToolAction")->trigger();
    auto *udpPort = child<QLineEdit>(&m_desktop->settingsWindow(), "udpPortEdit");
    udpPort->setText(QStringLiteral("7123"));
    Q_EMIT udpPort->textEdited(udpPort->text());
    child<QPushButton>(&m_desktop->settingsWindow(), "okButton")->click();
    QCoreApplication::sendPostedEvents();
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({QStringLiteral("否(&N)"), QStringLiteral("是(&Y)")}));
}

} // namespace
} // namespace lumo::test
