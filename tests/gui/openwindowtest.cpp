// The open-media window and the web login, driven as a person would.

#include "desktopfixture.h"

#include "control/downloadcontroller.h"
#include "control/mediaopener.h"
#include "shell/settings.h"
#include "support/webserver.h"
#include "ui/mainwindow.h"
#include "ui/openwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace lumo::test {
namespace {

class OpenWindowTest : public DesktopFixture
{
protected:
    void SetUp() override
    {
        DesktopFixture::SetUp();
        startProgram();
    }

    OpenWindow &openWindow() { return m_desktop->openWindow(); }

    void openLocation(const QString &text)
    {
        m_desktop->onOpenTriggered();
        ASSERT_TRUE(openWindow().isVisible());
        child<QComboBox>(&openWindow(), "locationBox")->setEditText(text);
        child<QPushButton>(&openWindow(), "okButton")->click();
    }
};

} // namespace

TEST_F(OpenWindowTest, RedirectOverHttpFillsTheAddressBox)
{
    WebServer web;
    ASSERT_TRUE(web.start());
    QString question;
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::No, &question));
    openLocation(web.url("list.asx"));
    EXPECT_FALSE(openWindow().isVisible());
    EXPECT_TRUE(question.startsWith("任何地址数据现在将被载入到 URL 列表中"));
    MainWindow &main = m_desktop->mainWindow();
    EXPECT_EQ(main.urlItems(),
              (QStringList{"mms://media.example/show/a.asf", "mmst://media.example/show/b.wmv"}));
    EXPECT_EQ(main.urlText(), "mms://media.example/show/a.asf");
    EXPECT_EQ(child<QLabel>(&main, "mediaPath")->text(), web.url("list.asx"));

    // The window offers what was opened, newest first.
    m_desktop->onOpenTriggered();
    EXPECT_EQ(child<QComboBox>(&openWindow(), "locationBox")->currentText(), web.url("list.asx"));
    child<QPushButton>(&openWindow(), "cancelButton")->click();
    EXPECT_FALSE(openWindow().isVisible());
    EXPECT_TRUE(m_answers->unexpected.isEmpty()) << m_answers->unexpected.join('\n').toStdString();
}

TEST_F(OpenWindowTest, WebLoginIsAskedAndUsedOnTheNextOpen)
{
    WebServer web;
    ASSERT_TRUE(web.start());
    m_answers->expect([](QWidget *dialog) {
        EXPECT_EQ(dialog->windowTitle(), "HTTP 网络验证");
        dialog->findChild<QLineEdit *>("userEdit")->setText(" anna ");
        dialog->findChild<QLineEdit *>("passwordEdit")->setText("se:cret");
        EXPECT_TRUE(dialog->findChild<QCheckBox *>("savePasswordCheckBox")->isChecked());
        qobject_cast<QDialog *>(dialog)->accept();
    });
    QString retry, failed;
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &retry));
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &failed));
    openLocation(web.url("secret.asx"));
    EXPECT_EQ(retry, "你现在需要重新访问这个站点, 请再试一次");
    EXPECT_EQ(failed, "HTTP 地址解析失败");

    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::No));
    openLocation(web.url("secret.asx"));
    EXPECT_EQ(m_desktop->mainWindow().urlItems().size(), 2);
    EXPECT_EQ(QByteArray::fromBase64(m_desktop->settings().webLogin().toLatin1()), " anna :se:cret");
    EXPECT_TRUE(m_answers->unexpected.isEmpty()) << m_answers->unexpected.join('\n').toStdString();
}

TEST_F(OpenWindowTest, MmsAddressGoesStraightToTheAddressBox)
{
    openLocation("  mms://server/clip.asf ");
    EXPECT_EQ(m_desktop->mainWindow().urlText(), "mms://server/clip.asf");
    EXPECT_EQ(m_desktop->settings().recentLocations().value(0), "mms://server/clip.asf");
    EXPECT_TRUE(m_answers->seen.isEmpty()) << m_answers->seen.join('\n').toStdString();
}
} // namespace lumo::test
