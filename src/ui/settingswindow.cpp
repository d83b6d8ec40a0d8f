#include "ui/settingswindow.h"

#include "shell/settings.h"
#include "ui_settingswindow.h"

#include <QCloseEvent>
#include <QScreen>

namespace lumo {

SettingsWindow::SettingsWindow(QWidget *parent) : QWidget(parent), m_ui(std::make_unique<Ui::SettingsWindow>())
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    for (QLineEdit *edit : {m_ui->ServerSocket, m_ui->UDPPort, m_ui->DoneInterval})
        connect(edit, &QLineEdit::textEdited, this, &SettingsWindow::edited);
    for (QCheckBox *box : {m_ui->UDPTick, m_ui->BypassDNS, m_ui->AutoLogTick, m_ui->Host01Tick})
        connect(box, &QCheckBox::clicked, this, &SettingsWindow::edited);
    connect(m_ui->Button1, &QPushButton::clicked, this, &SettingsWindow::soundTestClicked);
    connect(m_ui->Button2, &QPushButton::clicked, this, &SettingsWindow::aboutUdpClicked);
    connect(m_ui->Button3, &QPushButton::clicked, this, &QWidget::close);
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::showValues(const Settings &settings)
{
    m_ui->ServerSocket->setText(settings.ServerSocket());
    m_ui->UDPPort->setText(settings.UDPPort());
    m_ui->DoneInterval->setText(settings.DoneInterval());
    m_ui->UDPTick->setChecked(settings.UDPTick());
    m_ui->BypassDNS->setChecked(settings.BypassDNS());
    m_ui->AutoLogTick->setChecked(settings.AutoLogTick());
    m_ui->Host01Tick->setChecked(settings.Host01Tick());
}

void SettingsWindow::copyValuesTo(Settings &settings) const
{
    settings.setServerSocket(m_ui->ServerSocket->text());
    settings.setUDPPort(m_ui->UDPPort->text());
    settings.setDoneInterval(m_ui->DoneInterval->text());
    settings.setUDPTick(m_ui->UDPTick->isChecked());
    settings.setBypassDNS(m_ui->BypassDNS->isChecked());
    settings.setAutoLogTick(m_ui->AutoLogTick->isChecked());
    settings.setHost01Tick(m_ui->Host01Tick->isChecked());
}

void SettingsWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    m_ui->Button3->setFocus();
}

void SettingsWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    Q_EMIT closed();
}

} // namespace lumo
