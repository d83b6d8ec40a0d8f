// A UDP port held by another program is reported at start, and a UDP task is refused with the
// port's name instead of telling the server port 0 and waiting.
#include "control/taskendtexts.h"
#include "desktopfixture.h"
#include "shell/settings.h"
#include "shell/tasklog.h"
#include "ui/mainwindow.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QUdpSocket>

using namespace lumo;
using namespace lumo::test;

class UdpPortTest : public DesktopFixture
{};

TEST_F(UdpPortTest, PortHeldElsewhereIsReportedAndRefusesUdpTasks)
{
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::AnyIPv4, 0));
    const quint16 port = holder.localPort();
    {
        Settings stored;
        stored.load();
        stored.setUdpPort(QString::number(port));
        stored.store();
    }
    startProgram();
    const QStringList lines = m_desktop->log().lines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("警告, 无法使用本地 UDP 端口 %1: ").arg(port)))
        << lines.first().toStdString();

    m_desktop->settings().setUseUdp(true);
    m_desktop->mainWindow().setUrl({}, QStringLiteral("mms://127.0.0.1/clip.asf"));
    QString text;
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &text));
    m_desktop->onConnectTriggered();
    EXPECT_EQ(text, udpPortUnavailableMessage(port));
    EXPECT_TRUE(m_answers->unexpected.isEmpty());

    // Over TCP the same address goes ahead to the save-file question.
    m_desktop->settings().setUseUdp(false);
    bool askedForFile = false;
    m_answers->expect([&](QWidget *dialog) {
        askedForFile = qobject_cast<QFileDialog *>(dialog) != nullptr;
        qobject_cast<QDialog *>(dialog)->reject();
    });
    m_desktop->onConnectTriggered();
    EXPECT_TRUE(askedForFile);
    EXPECT_TRUE(m_answers->unexpected.isEmpty());
}
