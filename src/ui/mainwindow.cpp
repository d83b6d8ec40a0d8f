#include "ui/mainwindow.h"

#include "control/address.h"
#include "control/launchrequest.h"
#include "control/statustext.h"
#include "control/windowplacement.h"

#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScreen>

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
    connect(m_ui->downloadListAction, &QAction::triggered, this, &MainWindow::downloadListClicked);
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

    // The tool-bar captions show their Alt shortcuts (set in the form). Alt+S, Alt+I and Alt+P
    // stay the menu bar's, whose menus hold the same commands first: a second claim on a key
    // would leave Qt ignoring both.
    // Tab reaches the tool-bar buttons; a click leaves the focus where it was.
    for (QAction *action : m_ui->toolBar->actions())
        m_ui->toolBar->widgetForAction(action)->setFocusPolicy(Qt::TabFocus);
    // Enter in the address box starts, as 开始 does.
    connect(m_ui->addressBox->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (m_ui->connectAction->isEnabled())
            m_ui->connectAction->trigger();
    });
    // Top to bottom: the tool bar, the address, the log.
    QWidget *previous = m_ui->toolBar->widgetForAction(m_ui->toolBar->actions().constFirst());
    for (QAction *action : m_ui->toolBar->actions().mid(1)) {
        QWidget *button = m_ui->toolBar->widgetForAction(action);
        setTabOrder(previous, button);
        previous = button;
    }
    setTabOrder(previous, m_ui->addressBox);
    setTabOrder(m_ui->addressBox, m_ui->logView);
    m_ui->logView->setTabChangesFocus(true);

    // A dropped address replaces the box's text, whether it lands on the box or on the log.
    m_ui->addressBox->lineEdit()->installEventFilter(this);
    m_ui->logView->setAcceptDrops(true);
    m_ui->logView->viewport()->setAcceptDrops(true);
    m_ui->logView->viewport()->installEventFilter(this);

    m_ui->addressBox->setFocus();
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

QRect MainWindow::controlsArea() const
{
    const QPoint placesBottom =
        m_ui->centralwidget->mapToGlobal(QPoint(0, m_ui->placesLayout->geometry().bottom()));
    const QRect frame = frameGeometry();
    return QRect(frame.topLeft(), QPoint(frame.right(), placesBottom.y()));
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // A stored or designed height may be more than a small or magnified screen has.
    const QScreen *screen = this->screen();
    if (event->spontaneous() || !screen)
        return;
    const QRect frame = frameGeometry();
    const int frameExtra = frame.height() - height();
    const QRect fitted = FitOnScreen(frame, minimumHeight() + frameExtra, screen->availableGeometry());
    if (fitted != frame) {
        resize(width(), fitted.height() - frameExtra);
        move(pos() + (fitted.topLeft() - frame.topLeft()));
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_ui->addressBox->lineEdit() && watched != m_ui->logView->viewport())
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        const QMimeData *data = drag->mimeData();
        if (DroppedAddress(data->text(), data->urls()).isEmpty())
            return QMainWindow::eventFilter(watched, event);
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString address = DroppedAddress(drop->mimeData()->text(), drop->mimeData()->urls());
        if (address.isEmpty())
            return QMainWindow::eventFilter(watched, event);
        // A dropped file is opened as `lumo FILE` opens it; an address goes into the box.
        const LaunchKind kind = classifyLaunchArgument(address).kind;
        if (kind == LaunchKind::RedirectFile || kind == LaunchKind::MediaFile)
            Q_EMIT fileDropped(address);
        else
            m_ui->addressBox->setEditText(address);
        drop->acceptProposedAction();
        return true;
    }
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    Q_EMIT closing();
    event->accept();
}

} // namespace lumo
