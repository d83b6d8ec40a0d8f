// The windows driven from the keyboard: focus, Tab, Enter, Esc and the Alt shortcuts; and
// addresses dropped on the main window.

#include "desktopfixture.h"

#include "support/downloadfixture.h"
#include "ui/aboutwindow.h"
#include "ui/mainwindow.h"
#include "ui/openwindow.h"
#include "ui/playeraboutwindow.h"
#include "ui/propertieswindow.h"
#include "ui/settingswindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

#include <map>

namespace lumo::test {
namespace {

// Shows `window` and waits, a bounded time, until it takes the keyboard.
bool showActive(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window, 5000);
}

// True when the focus is on `widget` or inside it (an editable box's line edit).
bool hasFocusIn(QWidget *widget)
{
    QWidget *focus = QApplication::focusWidget();
    return focus && (focus == widget || widget->isAncestorOf(focus));
}

class MainWindowKeysTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TaskStatus idle;
        idle.connectEnabled = true;
        m_window.showStatus(idle);
        ASSERT_TRUE(showActive(&m_window));
    }

    template <typename T> T *child(const char *name) { return m_window.findChild<T *>(QLatin1String(name)); }
    QComboBox *addressBox() { return child<QComboBox>("addressBox"); }

    MainWindow m_window;
};

TEST_F(MainWindowKeysTest, StartsInTheAddressBoxWhereEnterStarts)
{
    EXPECT_TRUE(hasFocusIn(addressBox()));
    QSignalSpy started(&m_window, &MainWindow::connectClicked);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("mms://server/clip.asf"));
    EXPECT_EQ(m_window.urlText(), QStringLiteral("mms://server/clip.asf"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(started.count(), 1);

    // While a task runs 开始 is off, and so is Enter.
    TaskStatus running;
    running.connectEnabled = false;
    running.disconnectEnabled = true;
    m_window.showStatus(running);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(started.count(), 1);
}

TEST_F(MainWindowKeysTest, TabGoesRoundEveryControlTopToBottom)
{
    auto *toolBar = child<QToolBar>("toolBar");
    const auto button = [&](const char *action) { return toolBar->widgetForAction(child<QAction>(action)); };
    // 中断 is off while idle, so Tab passes it by.
    const std::vector<QWidget *> expected{
        child<QPlainTextEdit>("logView"), button("openToolAction"),
        button("connectAction"),          button("showPropertiesToolAction"),
        button("previewToolAction"),      button("viewSetupToolAction"),
        button("exitToolAction"),         addressBox()};
    ASSERT_TRUE(hasFocusIn(addressBox()));
    for (QWidget *next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_TRUE(hasFocusIn(next)) << "expected " << next->objectName().toStdString() << ", focus on "
                                      << QApplication::focusWidget()->metaObject()->className();
    }
}

TEST_F(MainWindowKeysTest, EveryToolBarLetterRunsItsCommand)
{
    TaskStatus running;
    running.disconnectEnabled = true; // 开始 too, so each can be pressed
    m_window.showStatus(running);

    struct Case
    {
        Qt::Key key;
        void (MainWindow::*signal)();
        bool throughMenu; // the menu bar's letter: its menu opens on the command, Enter runs it
    };
    const Case cases[] = {
        {Qt::Key_O, &MainWindow::openClicked, false},
        {Qt::Key_G, &MainWindow::connectClicked, false},
        {Qt::Key_A, &MainWindow::disconnectClicked, false},
        {Qt::Key_I, &MainWindow::showPropertiesClicked, true},
        {Qt::Key_P, &MainWindow::previewClicked, true},
        {Qt::Key_S, &MainWindow::viewSetupClicked, true},
        {Qt::Key_E, &MainWindow::exitClicked, false},
    };
    for (const Case &c : cases) {
        const std::string name = QKeySequence(Qt::AltModifier | c.key).toString().toStdString();
        QSignalSpy spy(&m_window, c.signal);
        QTest::keyClick(&m_window, c.key, Qt::AltModifier);
        if (c.throughMenu) {
            QWidget *menu = QApplication::activePopupWidget();
            ASSERT_NE(menu, nullptr) << name;
            QTest::keyClick(menu, Qt::Key_Return);
        }
        EXPECT_EQ(spy.count(), 1) << name;
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << name;
    }

    // No key claimed twice, which Qt would ignore: each action's shortcut and each menu title's letter.
    std::map<QString, QString> owners;
    const auto claim = [&](const QKeySequence &key, const QString &owner) {
        if (key.isEmpty())
            return;
        const auto [at, added] = owners.emplace(key.toString(), owner);
        EXPECT_TRUE(added) << key.toString().toStdString() << ": " << owner.toStdString() << " and "
                           << at->second.toStdString();
    };
    for (QAction *action : child<QMenuBar>("menubar")->actions())
        claim(QKeySequence::mnemonic(action->text()), action->text());
    for (QAction *action : m_window.findChildren<QAction *>())
        claim(action->shortcut(), action->objectName());
}

TEST_F(MainWindowKeysTest, DroppedAddressReplacesTheBoxText)
{
    struct Case
    {
        const char *name;
        QWidget *target;
        QString text;
        QList<QUrl> urls;
        QString expected;
    };
    QWidget *log = child<QPlainTextEdit>("logView")->viewport();
    const QUrl link(QStringLiteral("mms://server/link.asf"));
    const Case cases[] = {
        {"text on the box",
         addressBox()->lineEdit(),
         QStringLiteral("mms://server/a.asf\n"),
         {},
         QStringLiteral("mms://server/a.asf")},
        {"link on the box", addressBox()->lineEdit(), QString(), {link}, link.toString()},
        {"text on the log",
         log,
         QStringLiteral(" mms://server/b.asf"),
         {},
         QStringLiteral("mms://server/b.asf")},
        {"link on the log", log, QString(), {link}, link.toString()},
    };
    for (const Case &c : cases) {
        m_window.setUrl({}, QStringLiteral("mms://old/address.asf"));
        addressBox()->lineEdit()->setCursorPosition(6);
        QMimeData data;
        data.setText(c.text);
        data.setUrls(c.urls);
        const QPoint at = c.target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c.target, &enter);
        EXPECT_TRUE(enter.isAccepted()) << c.name;
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c.target, &drop);
        EXPECT_TRUE(drop.isAccepted()) << c.name;
        EXPECT_EQ(m_window.urlText(), c.expected) << c.name;
    }
}

TEST(OpenWindowKeysTest, TypingGoesToTheLocationAndEnterIsOk)
{
    OpenWindow window;
    window.showList({QStringLiteral("mms://server/old.asf")});
    ASSERT_TRUE(showActive(&window));
    auto *box = window.findChild<QComboBox *>(QStringLiteral("locationBox"));
    EXPECT_TRUE(hasFocusIn(box));
    QSignalSpy accepted(&window, &OpenWindow::locationAccepted);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("mms://server/new.asf"));
    saveScreenshot(&window, QStringLiteral("open-typed"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(accepted.count(), 1); // once, though both the field and the OK button know Enter
    EXPECT_EQ(accepted.at(0).at(0).toString(), QStringLiteral("mms://server/new.asf"));
}

using EscapeTest = DesktopFixture;

TEST_F(EscapeTest, EscClosesEachSmallWindow)
{
    startProgram();
    for (const SmallWindow &c : smallWindows()) {
        (m_desktop.get()->*c.open)();
        ASSERT_TRUE(showActive(c.window)) << c.name;
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : c.window, Qt::Key_Escape);
        EXPECT_TRUE(c.window->isHidden()) << c.name;
    }
    QCoreApplication::sendPostedEvents(); // the settings window's queued close handler
    EXPECT_TRUE(m_answers->seen.isEmpty()) << m_answers->seen.join('\n').toStdString();
}

} // namespace
} // namespace lumo::test
