// Links and files handed to Lumo: on its command line, by a second start, or from a browser or a
// file manager through the desktop entry.
#include "desktopfixture.h"

#include "control/mediaopener.h"
#include "shell/tasklog.h"
#include "support/downloadfixture.h"
#include "support/testmedia.h"
#include "ui/instancechannel.h"
#include "ui/mainwindow.h"
#include "ui/propertieswindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>

using namespace lumo;
using namespace lumo::test;

using LaunchTest = DesktopFixture;

TEST_F(LaunchTest, EachKindOfArgumentDoesItsThing)
{
    startProgram();
    MainWindow &main = m_desktop->mainWindow();

    // An address fills the box and waits for Start...
    m_desktop->openFromLaunch(QStringLiteral("mms://127.0.0.1/first.asf"), false);
    EXPECT_EQ(main.urlText(), QStringLiteral("mms://127.0.0.1/first.asf"));
    EXPECT_TRUE(m_answers->unexpected.isEmpty());
    // ...or starts at once: the save question comes.
    bool askedForFile = false;
    m_answers->expect([&](QWidget *dialog) {
        askedForFile = qobject_cast<QFileDialog *>(dialog) != nullptr;
        qobject_cast<QDialog *>(dialog)->reject();
    });
    m_desktop->openFromLaunch(QStringLiteral("mms://127.0.0.1/second.asf"), true);
    EXPECT_TRUE(askedForFile);
    EXPECT_EQ(main.urlText(), QStringLiteral("mms://127.0.0.1/second.asf"));

    // A redirect list goes through the open flow: its addresses fill the box.
    QFile list(path(QStringLiteral("radio.asx")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("<asx><entry><ref href=\"mms://127.0.0.1/live\"/></entry></asx>\n");
    list.close();
    m_desktop->openFromLaunch(list.fileName(), false);
    EXPECT_EQ(main.urlText(), QStringLiteral("mms://127.0.0.1/live"));

    // Something else is refused with a message naming it.
    QString text;
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &text));
    m_desktop->openFromLaunch(QStringLiteral("ftp://host/a.asf"), false);
    EXPECT_TRUE(text.startsWith(QStringLiteral("无法打开 ftp://host/a.asf"))) << text.toStdString();
    EXPECT_TRUE(m_answers->unexpected.isEmpty());
}

TEST_F(LaunchTest, MediaFileShowsItsProperties)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is needed to make the test media";
    const QString clip = makeSampleAsf(m_dir.path(), QStringLiteral("clip.asf"));
    ASSERT_FALSE(clip.isEmpty());
    startProgram();
    m_desktop->openFromLaunch(QStringLiteral("file://") + clip, false);
    EXPECT_TRUE(m_desktop->propertiesWindow().isVisible());
    EXPECT_TRUE(m_desktop->controller().analysis().ok);
    EXPECT_TRUE(m_answers->unexpected.isEmpty());
}

// A second `lumo ADDRESS` hands the address to the running one and ends.
TEST_F(LaunchTest, SecondStartHandsItsAddressOver)
{
    InstanceChannel running;
    ASSERT_TRUE(running.listen());
    QStringList received;
    QObject::connect(&running, &InstanceChannel::received, [&](const QStringList &args) { received = args; });

    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(LUMO_GUI_BIN),
                 {QStringLiteral("mms://127.0.0.1/clip.asf"), QStringLiteral("--start")});
    ASSERT_TRUE(second.waitForStarted(10000));
    // The event loop runs meanwhile: the channel answers the second start.
    const bool ended = waitUntil([&] { return second.state() == QProcess::NotRunning; }, 20000);
    if (!ended) {
        second.kill(); // it did not hand over and opened a window of its own
        second.waitForFinished(5000);
    }
    ASSERT_TRUE(ended);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(received, (QStringList{QStringLiteral("mms://127.0.0.1/clip.asf"), QStringLiteral("--start")}));
}

// A file dropped on the main window opens as `lumo FILE` does.
TEST_F(LaunchTest, DroppedFileOpensAsOnTheCommandLine)
{
    startProgram();
    QFile list(path(QStringLiteral("dropped.wvx")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("<asx><entry><ref href=\"mms://127.0.0.1/dropped\"/></entry></asx>\n");
    list.close();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(list.fileName())});
    QWidget *box = m_desktop->mainWindow().findChild<QComboBox *>(QStringLiteral("addressBox"))->lineEdit();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(m_desktop->mainWindow().urlText(), QStringLiteral("mms://127.0.0.1/dropped"))
        << m_desktop->log().lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(m_answers->unexpected.isEmpty());
}
