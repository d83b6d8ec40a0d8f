#include "ui/aboutwindow.h"

#include "ui_aboutwindow.h"

#include "ui/jpegimage.h"

#include <QFontMetrics>
#include <QScreen>

namespace lumo {

void makeInfoWindow(QDialog *window)
{
    window->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                           Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    window->setModal(false);
    window->setSizeGripEnabled(false);
    window->setFixedSize(window->sizeHint());
}

void showInfoWindow(QDialog *window, QWidget *okButton)
{
    if (!window->isVisible()) {
        if (const QScreen *screen = window->screen())
            window->move(screen->availableGeometry().center() - window->rect().center());
    }
    window->show();
    window->raise();
    window->activateWindow();
    okButton->setFocus();
}

AboutWindow::AboutWindow(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::AboutWindow>())
{
    m_ui->setupUi(this);
    connect(m_ui->okButton, &QPushButton::clicked, this, &QDialog::close);
    fillIn();
    makeInfoWindow(this);
}

AboutWindow::~AboutWindow() = default;

QString AboutWindow::versionText()
{
    const QStringList lines{
        tr("Lumo 版本信息与说明:"),
        QString(),
        tr("Lumo 程序版本:\t\t1.8.0"),
        tr("Lumo 播放器版本:\t\t1.2.0"),
        tr("MMS 协议版本:\t\tNSPlayer/7.0.0.1956"),
        tr("发布日期:\t\t2002.10.2"),
        tr("软件作者:\t\tLumo 开发组"),
        tr("汉化作者:\t\tLumo 开发组 (中文界面与说明)"),
    };
    return lines.join(QLatin1Char('\n'));
}

QImage AboutWindow::picture()
{
    return loadJpeg(QStringLiteral(":/lumo/about.jpg"));
}

void AboutWindow::fillIn()
{
    const QString text = versionText();
    // One tab stop wider than every name, so that the two tabs put all values in one column
    // whatever the font's widths of Chinese and Latin letters.
    const QFontMetrics metrics(m_ui->versionView->font());
    int names = 0;
    int values = 0;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const qsizetype tab = line.indexOf(QStringLiteral("\t\t"));
        if (tab < 0)
            continue;
        names = qMax(names, metrics.horizontalAdvance(line.left(tab)));
        values = qMax(values, metrics.horizontalAdvance(line.mid(tab + 2)));
    }
    const int tabStop = names + metrics.averageCharWidth();
    m_ui->versionView->setTabStopDistance(tabStop);
    m_ui->versionView->setMinimumWidth(2 * tabStop + values + 8 * metrics.averageCharWidth());
    m_ui->versionView->setPlainText(text);
    m_ui->pictureLabel->setPixmap(QPixmap::fromImage(picture()));
}

void AboutWindow::showCentred()
{
    showInfoWindow(this, m_ui->okButton);
}

} // namespace lumo
