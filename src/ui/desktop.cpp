#include "ui/desktop.h"

#include "control/address.h"
#include "control/downloadcontroller.h"
#include "control/downloadlist.h"
#include "control/downloadlistfile.h"
#include "control/launchrequest.h"
#include "control/listtasks.h"
#include "control/logsaving.h"
#include "control/mediaopener.h"
#include "control/taskendtexts.h"
#include "control/windowplacement.h"
#include "mms/httpclient.h"
#include "mms/udpendpoint.h"
#include "shell/filefilters.h"
#include "shell/settings.h"
#include "shell/tasklog.h"
#include "ui/aboutwindow.h"
#include "ui/completionsound.h"
#include "ui/downloadlistwindow.h"
#include "ui/guiinteraction.h"
#include "ui/logprinter.h"
#include "ui/lumoapplication.h"
#include "ui/mainwindow.h"
#include "ui/openwindow.h"
#include "ui/playeraboutwindow.h"
#include "ui/previewwindow.h"
#include "ui/propertieswindow.h"
#include "ui/settingswindow.h"

#include <QLabel>
#include <QLayout>
#include <QLoggingCategory>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QScreen>

Q_LOGGING_CATEGORY(lcUi, "lumo.ui", QtWarningMsg)

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
namespace lumo {

namespace {
// Ending a task lets the worker finish the unit it is writing; this bounds that wait.
constexpr int workerEndTimeoutMs = 10000;
} // namespace

Desktop::Desktop(QObject *parent)
    : QObject(parent), m_log(std::make_unique<TaskLog>()), m_settings(std::make_unique<Settings>()),
      m_udp(std::make_unique<UdpEndpoint>())
{
    m_main = std::make_unique<MainWindow>();
    m_sound = std::make_unique<CompletionSound>();
    m_properties = std::make_unique<PropertiesWindow>();
    m_person = std::make_unique<GuiInteraction>(*m_main, *m_properties, *m_sound);
    m_controller = std::make_unique<DownloadController>(*m_log, *m_settings, *m_person, *m_udp);
    // Someone who looked away learns of the end from the desktop too.
    connect(m_controller.get(), &DownloadController::ended, this, [this](TaskEnd end) {
        const QStringList lines = m_log->lines();
        if (const std::optional<Notice> notice = taskEndNotice(end, m_controller->saveWindowText(),
                                                               lines.isEmpty() ? QString() : lines.last()))
            m_notifier.notify(notice->summary, notice->body);
    });
    m_http = std::make_unique<HttpClient>();
    m_controller->setHttpClient(m_http.get());
    m_opener = std::make_unique<MediaOpener>(*m_controller, *m_log, *m_settings, *m_person, *m_http);
    m_openWindow = std::make_unique<OpenWindow>(m_main.get());
    setUpMainWindow();

    m_settingsWindow = std::make_unique<SettingsWindow>();
    loadSettings();
    m_preview = std::make_unique<PreviewWindow>();
    m_about = std::make_unique<AboutWindow>();
    m_playerAbout = std::make_unique<PlayerAboutWindow>();
    setUpDownloadList();

    MainWindow *main = m_main.get();
    connect(main, &MainWindow::connectClicked, this, &Desktop::onConnectTriggered);
    connect(main, &MainWindow::disconnectClicked, this, &Desktop::onDisconnectTriggered);
    connect(main, &MainWindow::saveLogClicked, this, &Desktop::onSaveLogTriggered);
    connect(main, &MainWindow::printClicked, this, &Desktop::onPrintTriggered);
    connect(main, &MainWindow::printSetupClicked, this, &Desktop::onPrintSetupTriggered);
    connect(main, &MainWindow::exitClicked, main, &QWidget::close);
    connect(main, &MainWindow::viewSetupClicked, this, &Desktop::onViewSetupTriggered);
    connect(main, &MainWindow::showPropertiesClicked, this, &Desktop::onShowPropertiesTriggered);
    connect(main, &MainWindow::moreHelpClicked, this, &Desktop::onMoreHelpTriggered);
    connect(main, &MainWindow::closing, this, &Desktop::onMainWindowClosing);
    connect(main, &MainWindow::fileDropped, this,
            [this](const QString &file) { openFromLaunch(file, false); });
    connect(main, &MainWindow::openClicked, this, &Desktop::onOpenTriggered);
    connect(main, &MainWindow::downloadListClicked, this, &Desktop::onDownloadListTriggered);
    connect(main, &MainWindow::previewClicked, this, &Desktop::onPreviewTriggered);
    connect(main, &MainWindow::aboutClicked, this, &Desktop::onAboutTriggered);
    connect(main, &MainWindow::aboutPlayerClicked, this, &Desktop::onAboutPlayerTriggered);
    // New media: the player lets go of the old file.
    connect(m_opener.get(), &MediaOpener::closePreview, m_preview.get(), &QWidget::close);

    connect(m_openWindow.get(), &OpenWindow::browseClicked, this, &Desktop::openBrowse);
    connect(m_openWindow.get(), &OpenWindow::locationAccepted, this, &Desktop::openAccepted);
    connect(m_opener.get(), &MediaOpener::urlListReplaced, this, [this](const QStringList &items) {
        m_main->setUrl(items, items.value(0));
        m_listWindow->setAddressBoxCount(int(items.size()));
    });
    connect(m_opener.get(), &MediaOpener::urlTextSet, this,
            [this](const QString &text) { m_main->setUrl(m_main->urlItems(), text); });

    connect(m_controller.get(), &DownloadController::propertiesChanged, this, [this] {
        m_properties->showProperties(m_controller->analysis().properties);
        m_properties->showStreams(m_controller->analysis().streams, m_controller->streamPicks());
    });
    connect(m_controller.get(), &DownloadController::urlListCleared, this,
            [this] { m_main->setUrl({}, QString()); });

    SettingsWindow *settingsWindow = m_settingsWindow.get();
    // The settings in force are the window's fields, whether or not it has been closed yet.
    connect(settingsWindow, &SettingsWindow::edited, this,
            [this] { m_settingsWindow->copyValuesTo(*m_settings); });
    connect(settingsWindow, &SettingsWindow::soundTestClicked, m_sound.get(), &CompletionSound::playOnce);
    connect(settingsWindow, &SettingsWindow::aboutUdpClicked, this, [this] {
        GuiInteraction::AskingWindow asking(*m_person, m_settingsWindow.get());
        m_person->showMessage(Settings::aboutUdpText());
    });
    // Queued, so the window is gone before a question about the UDP port appears.
    connect(settingsWindow, &SettingsWindow::closed, this, &Desktop::onSettingsWindowClosed,
            Qt::QueuedConnection);
}

Desktop::~Desktop()
{
    if (!m_shutDown && !m_controller->idle()) {
        m_controller->CloseTask();
        m_controller->waitForWorker(workerEndTimeoutMs);
    }
    if (!m_shutDown)
        m_listTasks->closeAll(workerEndTimeoutMs);
    m_list->disconnect(this);
}

QString Desktop::helpFile()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QStringList candidates{
        exeDir + QStringLiteral("/../share/doc/lumo/README.md"),
        QStringLiteral(LUMO_DOC_DIR "/README.md"),
        QStringLiteral(LUMO_SOURCE_DIR "/README.md"),
    };
    for (const QString &path : candidates) {
        if (QFileInfo(path).isFile())
            return QFileInfo(path).canonicalFilePath();
    }
    return {};
}

void Desktop::setUpMainWindow()
{
    // The log view gives way first: the window fits a small or magnified screen.
    m_main->setMinimumSize(m_main->width(), qMin(m_main->height(), m_main->minimumSizeHint().height()));
    const QString help = helpFile();
    m_main->setStatusBarText(help.isEmpty() ? QString() : tr(" 请访问 ") + help + tr(" 获取帮助"));
    if (auto *app = qobject_cast<LumoApplication *>(QCoreApplication::instance()))
        app->setExceptionHandler([this](const QString &message) { m_controller->OnException(message); });

    // Values that are missing or not whole numbers keep the designed geometry.
    if (const auto height = m_settings->windowHeight())
        m_main->resize(m_main->width(), *height);
    if (const auto width = m_settings->windowWidth())
        m_main->resize(*width, m_main->height());
    if (const auto left = m_settings->windowLeft())
        m_main->move(*left, m_main->y());
    if (const auto top = m_settings->windowTop())
        m_main->move(m_main->x(), *top);

    m_main->setUrl(m_settings->addressList(), m_settings->addressText());
}

void Desktop::loadSettings()
{
    m_settings->load();
    m_settingsWindow->showValues(*m_settings);
    if (!m_udp->bind(m_settings->udpBindPort()))
        m_log->append(udpPortUnavailableLogLine(m_settings->udpBindPort(), m_udp->errorString()));
}

void Desktop::onMainWindowClosing()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_log->append(tr("******* 正在关闭 *******"));
    m_settings->setAddressList(m_main->urlItems());
    m_settings->setAddressText(m_main->urlText());
    const QRect geometry = m_main->isMaximized() || m_main->isMinimized()
                               ? m_main->normalGeometry()
                               : QRect(m_main->pos(), m_main->size());
    m_settings->setWindowHeight(geometry.height());
    m_settings->setWindowWidth(geometry.width());
    m_settings->setWindowLeft(geometry.x());
    m_settings->setWindowTop(geometry.y());

    m_controller->CloseTask();
    // The list's rows that run are stopped, and remembered as stopped.
    m_listTasks->closeAll(workerEndTimeoutMs);
    // The worker must be gone before the network objects are.
    if (!m_controller->waitForWorker(workerEndTimeoutMs))
        qCWarning(lcUi) << "the receive worker did not end in time";
    m_sound->stop();
    m_settingsWindow->hide();
    m_properties->hide();
    m_preview->close();
    m_about->hide();
    m_playerAbout->hide();
    m_listWindow->hide();
    Q_EMIT quitRequested();
}

void Desktop::onSettingsWindowClosed()
{
    m_settingsWindow->copyValuesTo(*m_settings);
    m_settings->store();
    if (!m_settings->udpPortChanged())
        return;
    if (m_person->askYesNo(Settings::udpPortChangeQuestion())) {
        m_main->close();
        return;
    }
    m_person->showMessage(Settings::udpPortChangeCancelledText());
    m_settings->revertUdpPort();
    m_settingsWindow->showValues(*m_settings);
}

void Desktop::onConnectTriggered()
{
    m_main->repaint();
    m_controller->start(m_main->urlText());
    m_main->setSaveWindowText(m_controller->saveWindowText());
}

void Desktop::onDisconnectTriggered()
{
    m_main->repaint();
    m_controller->confirmStop();
}

void Desktop::onSaveLogTriggered()
{
    m_main->repaint();
    lumo::saveTaskLog(*m_log, *m_settings, *m_person, m_controller->saveWindowText(),
                      m_controller->mediaWindowText());
}

void Desktop::onPrintTriggered()
{
    m_main->repaint();
    m_printer.setDocName(tr("Lumo 记录打印输出"));
    QPrintDialog dialog(&m_printer, m_main.get());
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!printLog(m_printer, m_log->lines()))
        qCWarning(lcUi) << "the printer could not be started";
}

void Desktop::onPrintSetupTriggered()
{
    m_main->repaint();
    QPageSetupDialog dialog(&m_printer, m_main.get());
    dialog.exec();
}

void Desktop::placeClearOfMain(QWidget *window)
{
    // One already open stays where it is.
    const QScreen *screen = m_main->screen();
    if (window->isVisible() || !screen)
        return;
    if (window->layout())
        window->layout()->activate();
    const QRect available = screen->availableGeometry();
    QRect wanted(QPoint(), window->frameGeometry().size());
    wanted.moveCenter(available.center());
    window->move(PlaceClearOf(wanted, m_main->frameGeometry(), m_main->controlsArea(), available));
}

void Desktop::onViewSetupTriggered()
{
    m_main->repaint();
    placeClearOfMain(m_settingsWindow.get());
    m_settingsWindow->show();
    m_settingsWindow->raise();
    m_settingsWindow->activateWindow();
}

void Desktop::openFromLaunch(const QString &argument, bool start)
{
    const LaunchRequest request = classifyLaunchArgument(argument);
    m_main->raise();
    m_main->activateWindow();
    switch (request.kind) {
    case LaunchKind::Address:
        m_main->setUrl(m_main->urlItems(), request.text);
        if (start)
            onConnectTriggered();
        return;
    case LaunchKind::RedirectFile:
    case LaunchKind::MediaFile:
        if (!m_opener->mayOpenMedia())
            return;
        m_main->setSaveWindowText(QString());
        m_opener->acceptLocation(request.text);
        m_main->setMediaWindowText(m_controller->mediaWindowText());
        if (request.kind == LaunchKind::MediaFile)
            onShowPropertiesTriggered();
        return;
    case LaunchKind::Unknown:
        m_person->showMessage(
            tr("无法打开 %1\nLumo 只能打开 MMS 地址, 重定向文件和 Windows 媒体文件").arg(request.text));
        return;
    }
}

void Desktop::onShowPropertiesTriggered()
{
    m_main->repaint();
    placeClearOfMain(m_properties.get());
    m_properties->show();
    m_properties->raise();
}

void Desktop::onMoreHelpTriggered()
{
    m_main->repaint();
    // The message names the read-me; the desktop's viewer then shows it.
    const QString help = helpFile();
    m_person->showMessage(tr("更多有关于 Lumo 的信息和疑难解答请访问以下站点  ") + help +
                          tr("\n或阅读 Lumo 附带的自述文件"));
    if (!help.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(help));
}

} // namespace lumo

namespace lumo {

void Desktop::onOpenTriggered()
{
    m_main->repaint();
    if (!m_opener->mayOpenMedia())
        return;
    m_openWindow->showList(m_settings->recentLocations());
    placeClearOfMain(m_openWindow.get());
    m_openWindow->show();
    m_openWindow->raise();
    m_openWindow->activateWindow();
}

void Desktop::openBrowse()
{
    GuiInteraction::AskingWindow asking(*m_person, m_openWindow.get());
    FileDialogRequest request;
    request.title = tr("Open a local file");
    request.startFolder = m_settings->openFolder();
    request.filter = openFileFilter();
    const std::optional<QString> chosen = m_person->chooseOpenFile(request);
    if (!chosen || chosen->isEmpty())
        return;
    m_openWindow->setLocation(*chosen);
    m_settings->setOpenFolder(folderOf(*chosen));
}

void Desktop::openAccepted(const QString &text)
{
    // The window is not modal: a task may have started since it opened.
    {
        GuiInteraction::AskingWindow asking(*m_person, m_openWindow.get());
        if (!m_opener->mayOpenMedia())
            return;
    }
    // The window closes before the location is opened; the list it showed is stored first.
    m_openWindow->hide();
    m_main->setSaveWindowText(QString());
    const std::optional<QStringList> list = m_opener->acceptLocation(text);
    if (list)
        m_openWindow->showList(*list);
    m_main->setMediaWindowText(m_controller->mediaWindowText());
}

void Desktop::onPreviewTriggered()
{
    m_main->repaint();
    if (const std::optional<QString> file = m_opener->previewFile())
        m_preview->showFile(*file, m_controller->task().StreamKinds);
}

void Desktop::onAboutTriggered()
{
    m_main->repaint();
    m_about->showCentred();
}

void Desktop::onAboutPlayerTriggered()
{
    m_main->repaint();
    m_playerAbout->showCentred();
}

} // namespace lumo

namespace lumo {

void Desktop::setUpDownloadList()
{
    m_list = std::make_unique<DownloadList>();
    const ListFileRead read = readDownloadList(*m_list, downloadListFilePath());
    if (read.result == ListFileRead::Result::Damaged)
        m_log->append(read.setAsidePath.isEmpty()
                          ? tr("下载列表文件已损坏, 使用空的下载列表")
                          : tr("下载列表文件已损坏, 已移到 %1, 使用空的下载列表").arg(read.setAsidePath));
    // Not written yet: the file appears once the person has used the list.
    if (m_list->folder().isEmpty()) {
        const QString folder = m_settings->saveFolder();
        m_list->setFolder(folder.isEmpty() ? QDir::homePath() : QDir(folder).absolutePath());
    }
    connect(m_list.get(), &DownloadList::listChanged, this, &Desktop::writeList);

    m_listTasks = std::make_unique<ListTasks>(*m_list, *m_settings, *m_udp, *m_person);
    connect(m_listTasks.get(), &ListTasks::taskEnded, this, [this](quint64 id, TaskEnd end) {
        const DownloadRow *row = m_list->row(id);
        const TaskLog *log = m_listTasks->log(id);
        const QStringList lines = log ? log->lines() : QStringList();
        if (!row)
            return;
        if (const std::optional<Notice> notice =
                taskEndNotice(end, row->saveFile, lines.isEmpty() ? QString() : lines.last()))
            m_notifier.notify(notice->summary, notice->body);
    });
    connect(m_listTasks.get(), &ListTasks::completionSound, this, [this] {
        if (m_settings->soundInterval().trimmed().toInt() > 0)
            m_sound->playOnce();
    });

    m_listWindow = std::make_unique<DownloadListWindow>(*m_list, *m_listTasks);
    connect(m_listWindow.get(), &DownloadListWindow::addFromAddressBoxClicked, this, [this] {
        QStringList items = m_main->urlItems();
        if (items.isEmpty() && !m_main->urlText().trimmed().isEmpty())
            items.append(m_main->urlText());
        m_listWindow->addAddresses(items);
    });
}

void Desktop::openListFromLaunch(const QStringList &addresses, bool start)
{
    onDownloadListTriggered();
    m_listWindow->addAddresses(addresses);
    if (!start)
        return;
    for (const QString &address : addresses) {
        const std::optional<quint64> id = m_list->idOf(address);
        const DownloadRow *row = id ? m_list->row(*id) : nullptr;
        if (row && !isActive(row->state) && row->state != RowState::Completed)
            m_listTasks->start(*id);
    }
}

void Desktop::writeList()
{
    const QString failure = writeDownloadList(*m_list, downloadListFilePath());
    if (!failure.isEmpty())
        qCWarning(lcUi) << "the download list was not written:" << failure;
}

void Desktop::onDownloadListTriggered()
{
    m_main->repaint();
    const qsizetype boxItems = m_main->urlItems().size();
    m_listWindow->setAddressBoxCount(int(boxItems > 0 ? boxItems : !m_main->urlText().trimmed().isEmpty()));
    placeClearOfMain(m_listWindow.get());
    m_listWindow->show();
    m_listWindow->raise();
    m_listWindow->activateWindow();
}

} // namespace lumo
