#include "ui/propertieswindow.h"

#include "ui_propertieswindow.h"

#include <QScreen>

namespace lumo {

PropertiesWindow::PropertiesWindow(QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::PropertiesWindow>())
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
}

PropertiesWindow::~PropertiesWindow() = default;

void PropertiesWindow::showProperties(const FileProperties &p)
{
    m_ui->Clip->setText(p.Clip);
    m_ui->Author->setText(p.Author);
    m_ui->Copyright->setText(p.Copyright);
    m_ui->Rating->setText(p.Rating);
    m_ui->Location->setText(p.Location);
    m_ui->Description->setPlainText(p.Description);
    m_ui->Type->setText(p.Type);
    m_ui->FileSize->setText(p.FileSize);
    m_ui->Length->setText(p.Length);
    m_ui->VidSize->setText(p.VidSize);
    m_ui->Created_Asf->setText(p.Created_Asf);
    m_ui->Created_File->setText(p.Created_File);
    m_ui->Version->setPlainText(p.Version.join(QLatin1Char('\n')));
    m_ui->Codecs->setPlainText(p.Codecs.join(QLatin1Char('\n')));
    m_ui->BitRateInfo->setPlainText(p.BitRateInfo.join(QLatin1Char('\n')));
}

void PropertiesWindow::showStatistics(const TaskStatus &status)
{
    m_ui->SendTime->setText(status.sendTime);
    m_ui->TimeLeft->setText(status.timeLeft);
    m_ui->Packets->setText(status.packets);
    m_ui->Acks->setText(status.acks);
    m_ui->StreamWindow->setText(status.streamWindow);
    m_ui->ASFsize->setText(status.asfSize);
    m_ui->BitRate->setText(status.bitRate);
    m_ui->StreamRate->setText(status.streamRate);
    m_ui->ClientID->setText(status.clientId);
}

void PropertiesWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace lumo
