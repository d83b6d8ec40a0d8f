// The log menus: save, print, print set-up; and the help message.

#include "desktopfixture.h"

#include "shell/settings.h"
#include "shell/tasklog.h"
#include "support/testmedia.h"
#include "ui/mainwindow.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

namespace lumo::test {
namespace {

using LogMenuTest = DesktopFixture;

// Takes the place of the desktop's viewer: records what it was asked to open.
class FileOpener final : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};

TEST_F(LogMenuTest, SaveLogProposesDefaultNameAndWritesLfLines)
{
    startProgram();
    TaskLog &log = m_desktop->log();
    log.append(QStringLiteral("------- 记录开始 -------"));
    log.append(QStringLiteral("second"));
    log.DumpBytes("\x01\xff", 2);
    EXPECT_EQ(child<QPlainTextEdit>(&m_desktop->mainWindow(), "logView")->toPlainText(),
              QStringLiteral("------- 记录开始 -------\nsecond\n 数据转储: \n01 FF "));

    const QString file = path(QStringLiteral("logs/saved.log"));
    QDir().mkpath(path(QStringLiteral("logs")));
    QString title, proposed;
    m_answers->expect(DialogAnswerer::chooseFile(file, &title, &proposed));
    child<QAction>(&m_desktop->mainWindow(), "saveLogAction")->trigger();
    EXPECT_EQ(title, QStringLiteral("保存记录文件"));
    EXPECT_EQ(proposed, QStringLiteral("default_lumo.log"));
    EXPECT_EQ(readFile(file), QByteArray("------- 记录开始 -------\nsecond\n 数据转储: \n01 FF \n"));
    EXPECT_EQ(m_desktop->settings().logFolder(), path(QStringLiteral("logs/")));

    // Cancelled: nothing written.
    m_answers->expect([](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->reject(); });
    QFile::remove(file);
    child<QAction>(&m_desktop->mainWindow(), "saveLogAction")->trigger();
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(LogMenuTest, PrintingGivesTheHeadingAndNumberedLines)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    startProgram();
    for (int i = 1; i <= 100; ++i)
        m_desktop->log().append(QStringLiteral("行 %1").arg(i));
    const QString pdf = path(QStringLiteral("log.pdf"));
    m_desktop->printer().setOutputFileName(pdf);
    m_answers->expect(DialogAnswerer::accept());
    child<QAction>(&m_desktop->mainWindow(), "printAction")->trigger();
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(m_desktop->printer().docName(), QStringLiteral("Lumo 记录打印输出"));

    QByteArray text;
    ASSERT_EQ(
        runProgram(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}, &text),
        0);
    // The text comes back through the PDF's glyph names (a CJK font may map some of them to
    // compatibility ideographs), and pdftotext rebuilds the blanks from positions.
    const QString all = QString::fromUtf8(text).normalized(QString::NormalizationForm_KC);
    const QStringList lines = all.split(QLatin1Char('\n'));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first().trimmed(), QStringLiteral("Lumo 多媒体任务记录"));
    EXPECT_TRUE(lines.contains(QRegularExpression(QStringLiteral("^1 +行 *1$")))) << all.toStdString();
    EXPECT_TRUE(lines.contains(QRegularExpression(QStringLiteral("^2 +行 *2$"))));
    // One page only: the lines that do not fit are left out.
    EXPECT_FALSE(lines.contains(QRegularExpression(QStringLiteral("^100 +行 *100$"))));
    EXPECT_EQ(QString::fromUtf8(text).count(QLatin1Char('\f')), 1);
}

TEST_F(LogMenuTest, CancelledPrintDialogPrintsNothing)
{
    startProgram();
    m_desktop->log().append(QStringLiteral("x"));
    const QString pdf = path(QStringLiteral("none.pdf"));
    m_desktop->printer().setOutputFileName(pdf);
    m_answers->expect([](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->reject(); });
    child<QAction>(&m_desktop->mainWindow(), "printAction")->trigger();
    EXPECT_FALSE(QFile::exists(pdf));
    // The set-up dialog opens and closes without a trace.
    m_answers->expect([](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->reject(); });
    child<QAction>(&m_desktop->mainWindow(), "printSetupAction")->trigger();
    EXPECT_EQ(m_answers->seen.size(), 2);
}

// Help leads to the read-me that is there: named in the status bar and the message, then
// handed to the desktop's viewer.
TEST_F(LogMenuTest, MoreHelpNamesAndOpensTheReadMe)
{
    FileOpener opener;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opener, "open");
    startProgram();
    const QString help = Desktop::helpFile();
    ASSERT_TRUE(QFileInfo(help).isFile());
    EXPECT_TRUE(help.endsWith(QStringLiteral("/README.md")));
    EXPECT_EQ(child<QLabel>(&m_desktop->mainWindow(), "statusText")->text(),
              QStringLiteral(" 请访问 ") + help + QStringLiteral(" 获取帮助"));
    QString text;
    m_answers->expect(DialogAnswerer::clickMessageButton(QMessageBox::Ok, &text));
    child<QAction>(&m_desktop->mainWindow(), "moreHelpAction")->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(text, QStringLiteral("更多有关于 Lumo 的信息和疑难解答请访问以下站点  ") + help +
                        QStringLiteral("\n或阅读 Lumo 附带的自述文件"));
    EXPECT_FALSE(text.contains(QStringLiteral("example")));
    EXPECT_EQ(opener.opened, QList<QUrl>{QUrl::fromLocalFile(help)});
}

} // namespace
} // namespace lumo::test

#include "logmenutest.moc"
