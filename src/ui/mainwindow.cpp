#include "ui/mainwindow.h"

#include "control/statustext.h"

#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QLabel>

namespace lumo {

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), m_ui(std::make_unique<Ui::MainWindow>())
{
    m_ui->setupUi(this);
    m_ui->toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    // A permanent label: a plain status message would give way to every menu hint.
    m_statusText = new QLabel(m_ui->statusBar);
    m_statusText->setObjectName(QStringLiteral("statusText"));
    m_ui->statusBar->addWidget(m_statusText, 1);

    // Each tool-bar button runs its menu item.
    connect(m_ui->openToolAction, &QAction::triggered, m_ui->openAction, &QAction::trigger);
    connect(m_ui->showPropertiesToolAction, &QAction::triggered, m_ui->showPropertiesAction,
            &QAction::trigger);
    connect(m_ui->previewToolAction, &QAction::triggered, m_ui->previewAction, &QAction::trigger);
    connect(m_ui->viewSetupToolAction, &QAction::triggered, m_ui->viewSetupAction, &QAction::trigger);
    connect(m_ui->exitToolAction, &QAction::triggered, m_ui->exitAction, &QAction::trigger);

    connect(m_ui->connectAction, &QAction::triggered, this, &MainWindow::connectClicked);
    connect(m_ui->openAction, &QAction::triggered, this, &MainWindow::openClicked);
    connect(m_ui->disconnectAction, &QAction::triggered, this, &MainWindow::disconnectClicked);
    connect(m_ui->saveLogAction, &QAction::triggered, this, &MainWindow::saveLogClicked);
    connect(m_ui->printAction, &QAction::triggered, this, &MainWindow::printClicked);
    connect(m_ui->printSetupAction, &QAction::triggered, this, &MainWindow::printSetupClicked);
    connect(m_ui->exitAction, &QAction::triggered, this, &MainWindow::exitClicked);
    connect(m_ui->viewSetupAction, &QAction::triggered, this, &MainWindow::viewSetupClicked);
    connect(m_ui->showPropertiesAction, &QAction::triggered, this, &MainWindow::showPropertiesClicked);
    connect(m_ui->moreHelpAction, &QAction::triggered, this, &MainWindow::moreHelpClicked);
    connect(m_ui->previewAction, &QAction::triggered, this, &MainWindow::previewClicked);
    connect(m_ui->aboutAction, &QAction::triggered, this, &MainWindow::aboutClicked);
    connect(m_ui->aboutPlayerAction, &QAction::triggered, this, &MainWindow::aboutPlayerClicked);

    m_ui->logView->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::showStatus(const TaskStatus &status)
{
    setWindowTitle(status.title);
    m_ui->standbyLabel->setVisible(status.label == TaskLabel::Standby);
    m_ui->liveLabel->setVisible(status.label == TaskLabel::Live);
    m_ui->preRecordedLabel->setVisible(status.label == TaskLabel::PreRec);
    m_ui->connectAction->setEnabled(status.connectEnabled);
    m_ui->disconnectAction->setEnabled(status.disconnectEnabled);
    // More packets than announced would read above 100.
    m_ui->progressBar->setValue(qBound(0, status.progress, 100));
    m_ui->progressBar->setTextVisible(status.showPercentText);
    m_ui->elapsedTime->setText(sendTimeText(status));
    m_ui->timeLeft->setText(timeLeftText(status));
}

void MainWindow::appendLog(const QString &entry)
{
    QString text = entry;
    if (text.endsWith(QStringLiteral("\r\n")))
        text.chop(2);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_ui->logView->appendPlainText(text);
}

void MainWindow::clearLog()
{
    m_ui->logView->clear();
}

QString MainWindow::urlText() const
{
    return m_ui->addressBox->currentText();
}

QStringList MainWindow::urlItems() const
{
    QStringList items;
    for (int i = 0; i < m_ui->addressBox->count(); ++i)
        items.append(m_ui->addressBox->itemText(i));
    return items;
}

void MainWindow::setUrl(const QStringList &items, const QString &text)
{
    m_ui->addressBox->clear();
    m_ui->addressBox->addItems(items);
    m_ui->addressBox->setEditText(text);
}

void MainWindow::setMediaWindowText(const QString &text)
{
    m_ui->mediaPath->setText(text);
}

void MainWindow::setSaveWindowText(const QString &text)
{
    m_ui->savePath->setText(text);
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
