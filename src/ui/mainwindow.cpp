#include "ui/mainwindow.h"

#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QLabel>

namespace lumo {

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), m_ui(std::make_unique<Ui::MainWindow>())
{
    m_ui->setupUi(this);
    m_ui->ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    // A permanent label: a plain status message would give way to every menu hint.
    m_statusText = new QLabel(m_ui->StatusBar1);
    m_statusText->setObjectName(QStringLiteral("StatusText"));
    m_ui->StatusBar1->addWidget(m_statusText, 1);

    // Each tool-bar button runs its menu item.
    connect(m_ui->SpeedButton1, &QAction::triggered, m_ui->Open1, &QAction::trigger);
    connect(m_ui->SpeedButton2, &QAction::triggered, m_ui->ShowFileProperties1, &QAction::trigger);
    connect(m_ui->SpeedButton3, &QAction::triggered, m_ui->OpenMonitor1, &QAction::trigger);
    connect(m_ui->SpeedButton4, &QAction::triggered, m_ui->ViewSetup, &QAction::trigger);
    connect(m_ui->SpeedButton5, &QAction::triggered, m_ui->Exit1, &QAction::trigger);

    connect(m_ui->Connect, &QAction::triggered, this, &MainWindow::connectClicked);
    connect(m_ui->Open1, &QAction::triggered, this, &MainWindow::openClicked);
    connect(m_ui->Disconnect, &QAction::triggered, this, &MainWindow::disconnectClicked);
    connect(m_ui->SaveLog1, &QAction::triggered, this, &MainWindow::saveLogClicked);
    connect(m_ui->Print1, &QAction::triggered, this, &MainWindow::printClicked);
    connect(m_ui->PrintSetup1, &QAction::triggered, this, &MainWindow::printSetupClicked);
    connect(m_ui->Exit1, &QAction::triggered, this, &MainWindow::exitClicked);
    connect(m_ui->ViewSetup, &QAction::triggered, this, &MainWindow::viewSetupClicked);
    connect(m_ui->ShowFileProperties1, &QAction::triggered, this, &MainWindow::showPropertiesClicked);
    connect(m_ui->MoreHelp1, &QAction::triggered, this, &MainWindow::moreHelpClicked);
    connect(m_ui->OpenMonitor1, &QAction::triggered, this, &MainWindow::previewClicked);
    connect(m_ui->About1, &QAction::triggered, this, &MainWindow::aboutClicked);
    connect(m_ui->AboutLumomonitor1, &QAction::triggered, this, &MainWindow::aboutPlayerClicked);

    m_ui->LogWindow->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::showStatus(const TaskStatus &status)
{
    setWindowTitle(status.title);
    m_ui->Standby->setVisible(status.label == TaskLabel::Standby);
    m_ui->Live->setVisible(status.label == TaskLabel::Live);
    m_ui->PreRec->setVisible(status.label == TaskLabel::PreRec);
    m_ui->Connect->setEnabled(status.connectEnabled);
    m_ui->Disconnect->setEnabled(status.disconnectEnabled);
    // More packets than announced would read above 100.
    m_ui->ProgBar->setValue(qBound(0, status.progress, 100));
    m_ui->ProgBar->setTextVisible(status.showPercentText);
    m_ui->SendTime->setText(status.sendTime);
    m_ui->TimeLeft->setText(status.timeLeft);
}

void MainWindow::appendLog(const QString &entry)
{
    QString text = entry;
    if (text.endsWith(QStringLiteral("\r\n")))
        text.chop(2);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_ui->LogWindow->appendPlainText(text);
}

void MainWindow::clearLog()
{
    m_ui->LogWindow->clear();
}

QString MainWindow::urlText() const
{
    return m_ui->URL->currentText();
}

QStringList MainWindow::urlItems() const
{
    QStringList items;
    for (int i = 0; i < m_ui->URL->count(); ++i)
        items.append(m_ui->URL->itemText(i));
    return items;
}

void MainWindow::setUrl(const QStringList &items, const QString &text)
{
    m_ui->URL->clear();
    m_ui->URL->addItems(items);
    m_ui->URL->setEditText(text);
}

void MainWindow::setMediaWindowText(const QString &text)
{
    m_ui->MediaWindow->setText(text);
}

void MainWindow::setSaveWindowText(const QString &text)
{
    m_ui->SaveWindow->setText(text);
}

void MainWindow::setStatusBarText(const QString &text)
{
    m_statusText->setText(text);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    Q_EMIT closing();
    event->accept();
}

} // namespace lumo
