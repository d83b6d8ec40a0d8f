// The settings window: defaults, storing on close, and the UDP port restart question.

#include "desktopfixture.h"

#include "shell/settings.h"
#include "support/downloadfixture.h"
#include "ui/completionsound.h"
#include "ui/mainwindow.h"
#include "ui/settingswindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace lumo::test {
namespace {

class SettingsWindowTest : public DesktopFixture
{
protected:
    bool usesAnyUdpPort() const override { return false; } // these look at the default port
    void SetUp() override
    {
        DesktopFixture::SetUp();
        startProgram();
        child<QAction>(&m_desktop->mainWindow(), "viewSetupToolAction")->trigger();
        window = &m_desktop->settingsWindow();
    }

    // Closes the window with its OK button and lets the close handler run.
    void closeWindow()
    {
        child<QPushButton>(window, "okButton")->click();
        ASSERT_TRUE(window->isHidden());
        // Runs the queued close handler; the answerer takes any question it asks.
        QCoreApplication::sendPostedEvents();
        ASSERT_EQ(m_answers->pending(), 0);
    }

    QLineEdit *edit(const char *name) { return child<QLineEdit>(window, name); }
    QCheckBox *box(const char *name) { return child<QCheckBox>(window, name); }

    SettingsWindow *window = nullptr;
};

TEST_F(SettingsWindowTest, EmptyConfigurationShowsDefaultsAndClosingStoresAllEight)
{
    EXPECT_FALSE(window->isHidden());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("设置 Lumo"));
    EXPECT_EQ(edit("tcpPortEdit")->text(), QStringLiteral("1755"));
    EXPECT_EQ(edit("udpPortEdit")->text(), QStringLiteral("7000"));
    EXPECT_EQ(edit("soundIntervalEdit")->text(), QStringLiteral("10"));
    for (const char *name : {"udpCheckBox", "bypassDnsCheckBox", "autoLogCheckBox", "sendHostCheckBox"})
        EXPECT_FALSE(box(name)->isChecked()) << name;
    EXPECT_TRUE(storedValue(QStringLiteral("TCPPort")).isEmpty());

    closeWindow();
    EXPECT_EQ(storedValue(QStringLiteral("TCPPort")), QStringLiteral("1755"));
    EXPECT_EQ(storedValue(QStringLiteral("UDPPort")), QStringLiteral("7000"));
    EXPECT_EQ(storedValue(QStringLiteral("DoneInterval")), QStringLiteral("10"));
    EXPECT_EQ(storedValue(QStringLiteral("LastProto")), QStringLiteral("TCP"));
    EXPECT_EQ(storedValue(QStringLiteral("DNSState")), QStringLiteral("Lookup"));
    EXPECT_EQ(storedValue(QStringLiteral("AutoLog")), QStringLiteral("off"));
    EXPECT_EQ(storedValue(QStringLiteral("SendHost")), QStringLiteral("off"));
    EXPECT_EQ(storedValue(QStringLiteral("Language")), QStringLiteral("auto"));
    EXPECT_TRUE(m_answers->seen.isEmpty());
}

TEST_F(SettingsWindowTest, EditedFieldsAreInForceAtOnceAndStoredOnClose)
{
    box("udpCheckBox")->click();
    box("autoLogCheckBox")->click();
    edit("tcpPortEdit")->clear();
    QTest::keyClicks(edit("tcpPortEdit"), QStringLiteral("8755"));
    // In force before the window closes, but not yet stored.
    EXPECT_TRUE(m_desktop->settings().useUdp());
    EXPECT_EQ(m_desktop->settings().tcpPort(), QStringLiteral("8755"));
    EXPECT_TRUE(storedValue(QStringLiteral("LastProto")).isEmpty());

    closeWindow();
    EXPECT_EQ(storedValue(QStringLiteral("TCPPort")), QStringLiteral("8755"));
    EXPECT_EQ(storedValue(QStringLiteral("LastProto")), QStringLiteral("UDP"));
    EXPECT_EQ(storedValue(QStringLiteral("AutoLog")), QStringLiteral("on"));

    // Opening it again shows what was last closed.
    child<QAction>(&m_desktop->mainWindow(), "viewSetupAction")->trigger();
    EXPECT_EQ(edit("tcpPortEdit")->text(), QStringLiteral("8755"));
    EXPECT_TRUE(box("udpCheckBox")->isChecked());
}

// The streams of a multi-rate programme: a choice with a value field for the two that need one.
TEST_F(SettingsWindowTest, StreamChoiceIsInForceAtOnceAndStored)
{
    auto *choice = child<QComboBox>(window, "streamChoiceBox");
    QLineEdit *value = edit("streamChoiceEdit");
    EXPECT_EQ(choice->currentText(), QStringLiteral("自动"));
    EXPECT_FALSE(value->isEnabled());

    choice->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(choice, Qt::Key_Down);
    ASSERT_EQ(choice->currentText(), QStringLiteral("总速率不超过 (kbit/s)"));
    EXPECT_TRUE(value->isEnabled());
    QTest::keyClicks(value, QStringLiteral("400"));
    EXPECT_EQ(m_desktop->settings().streamRule().kind, StreamRuleKind::MaxBitRate);
    EXPECT_EQ(m_desktop->settings().streamRule().maxBitRate, 400000u);
    closeWindow();
    EXPECT_EQ(storedValue(QStringLiteral("StreamChoice")), QStringLiteral("max:400000"));

    child<QAction>(&m_desktop->mainWindow(), "viewSetupAction")->trigger();
    EXPECT_EQ(value->text(), QStringLiteral("400"));
    QTest::keyClick(choice, Qt::Key_Down);
    value->clear();
    QTest::keyClicks(value, QStringLiteral("3,4"));
    closeWindow();
    EXPECT_EQ(storedValue(QStringLiteral("StreamChoice")), QStringLiteral("list:3,4"));

    // A value the choice cannot use leaves the automatic choice; letters are not taken at all.
    child<QAction>(&m_desktop->mainWindow(), "viewSetupAction")->trigger();
    value->clear();
    QTest::keyClicks(value, QStringLiteral("0x"));
    EXPECT_EQ(value->text(), QStringLiteral("0"));
    closeWindow();
    EXPECT_EQ(storedValue(QStringLiteral("StreamChoice")), QStringLiteral("auto"));
}

TEST_F(SettingsWindowTest, UdpPortChangeAnsweredNoKeepsThePortInForce)
{
    edit("udpPortEdit")->setText(QStringLiteral("7001"));
    QString question, told;
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::No, &question));
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &told));
    closeWindow();
    EXPECT_EQ(question, Settings::udpPortChangeQuestion());
    EXPECT_EQ(told, QStringLiteral("UDP 更改已取消, 将保持原来的 UDP 端口设置"));
    EXPECT_EQ(edit("udpPortEdit")->text(), QStringLiteral("7000"));
    EXPECT_EQ(storedValue(QStringLiteral("UDPPort")), QStringLiteral("7000"));
    EXPECT_FALSE(m_quitRequested);

    // Changed and changed back: nothing to ask.
    child<QAction>(&m_desktop->mainWindow(), "viewSetupAction")->trigger();
    edit("udpPortEdit")->setText(QStringLiteral("7002"));
    edit("udpPortEdit")->setText(QStringLiteral("7000"));
    const qsizetype asked = m_answers->seen.size();
    closeWindow();
    EXPECT_EQ(m_answers->seen.size(), asked);
}

TEST_F(SettingsWindowTest, UdpPortChangeAnsweredYesStoresItAndShutsDown)
{
    edit("udpPortEdit")->setText(QStringLiteral("7001"));
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Yes));
    closeWindow();
    ASSERT_TRUE(waitUntil([&] { return m_quitRequested; }, 5000));
    EXPECT_EQ(storedValue(QStringLiteral("UDPPort")), QStringLiteral("7001"));
    EXPECT_TRUE(m_desktop->mainWindow().isHidden());
    EXPECT_FALSE(storedValue(QStringLiteral("Height")).isEmpty());
}

TEST_F(SettingsWindowTest, SoundTestPlaysTheCompletionSoundOnce)
{
    const int before = m_desktop->sound().playCount();
    child<QPushButton>(window, "soundTestButton")->click();
    EXPECT_EQ(m_desktop->sound().playCount(), before + 1);
    EXPECT_FALSE(m_desktop->sound().repeating());
}

TEST_F(SettingsWindowTest, AboutUdpButtonShowsItsText)
{
    QString text;
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &text));
    child<QPushButton>(window, "aboutUdpButton")->click();
    EXPECT_EQ(text, Settings::aboutUdpText());
    EXPECT_TRUE(text.startsWith(QStringLiteral("关于 UDP\n\n")));
}

} // namespace
} // namespace lumo::test
