#pragma once

#include "ui/desktopnotifier.h"

#include <QObject>
#include <QPrinter>

class QWidget;

#include <memory>

namespace lumo {

class AboutWindow;
class CompletionSound;
class DownloadController;
class DownloadList;
class DownloadListWindow;
class GuiInteraction;
class HttpClient;
class ListTasks;
class MediaOpener;
class OpenWindow;
class MainWindow;
class PlayerAboutWindow;
class PreviewWindow;
class PropertiesWindow;
class Settings;
class SettingsWindow;
class TaskLog;
class UdpEndpoint;

// The desktop program: owns the core objects and the windows and wires them together. It
// runs the start-up and shut-down of the main window, the settings window's load and store,
// and the menu commands that are not the controller's.
class Desktop final : public QObject
{
    Q_OBJECT
public:
    explicit Desktop(QObject *parent = nullptr);
    ~Desktop() override;

    MainWindow &mainWindow() { return *m_main; }
    SettingsWindow &settingsWindow() { return *m_settingsWindow; }
    OpenWindow &openWindow() { return *m_openWindow; }
    MediaOpener &mediaOpener() { return *m_opener; }
    PropertiesWindow &propertiesWindow() { return *m_properties; }
    PreviewWindow &previewWindow() { return *m_preview; }
    AboutWindow &aboutWindow() { return *m_about; }
    PlayerAboutWindow &playerAboutWindow() { return *m_playerAbout; }
    DownloadController &controller() { return *m_controller; }
    DownloadList &downloadList() { return *m_list; }
    ListTasks &listTasks() { return *m_listTasks; }
    DownloadListWindow &downloadListWindow() { return *m_listWindow; }
    TaskLog &log() { return *m_log; }
    Settings &settings() { return *m_settings; }
    CompletionSound &sound() { return *m_sound; }
    UdpEndpoint &udp() { return *m_udp; }
    QPrinter &printer() { return m_printer; }
    bool shutDown() const { return m_shutDown; }

    // Menu commands.
    void onConnectTriggered();
    // A link or file handed to `lumo` (on its command line, by a later start, or dropped): an
    // address fills the address box (and starts when `start` is set), a redirect list goes
    // through the open flow, a media file shows its properties.
    void openFromLaunch(const QString &argument, bool start);
    // Several addresses handed to `lumo` go into the download list, which opens; with `start`
    // each row that is not at work or completed starts (one listed already resumes).
    void openListFromLaunch(const QStringList &addresses, bool start);
    void onOpenTriggered();
    void onDownloadListTriggered();
    void onDisconnectTriggered();
    void onSaveLogTriggered();
    void onPrintTriggered();
    void onPrintSetupTriggered();
    void onViewSetupTriggered();
    void onShowPropertiesTriggered();
    void onMoreHelpTriggered();
    void onPreviewTriggered();
    void onAboutTriggered();
    void onAboutPlayerTriggered();

    // The installed read-me the help points to (the source tree's when run from a build); ""
    // when there is none.
    static QString helpFile();

Q_SIGNALS:
    // The main window has closed and the task has ended: the program may end.
    void quitRequested();

private:
    void setUpMainWindow();
    void onMainWindowClosing();
    void loadSettings();
    void onSettingsWindowClosed();
    void openBrowse();
    void openAccepted(const QString &text);
    // The download list: read at start, written whenever it changes, its rows' ends announced.
    void setUpDownloadList();
    void writeList();
    // Moves a window that stays on top, before it opens, off the main window's controls.
    void placeClearOfMain(QWidget *window);

    std::unique_ptr<TaskLog> m_log;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<UdpEndpoint> m_udp;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<SettingsWindow> m_settingsWindow;
    std::unique_ptr<PropertiesWindow> m_properties;
    std::unique_ptr<CompletionSound> m_sound;
    DesktopNotifier m_notifier;
    std::unique_ptr<GuiInteraction> m_person;
    // Last: it ends its task through the person and the windows above.
    std::unique_ptr<DownloadController> m_controller;
    std::unique_ptr<HttpClient> m_http;
    std::unique_ptr<MediaOpener> m_opener;
    std::unique_ptr<OpenWindow> m_openWindow;
    std::unique_ptr<PreviewWindow> m_preview;
    std::unique_ptr<AboutWindow> m_about;
    std::unique_ptr<PlayerAboutWindow> m_playerAbout;
    // After the person, the settings and the UDP port: the list's tasks use them to the end.
    std::unique_ptr<DownloadList> m_list;
    std::unique_ptr<ListTasks> m_listTasks;
    std::unique_ptr<DownloadListWindow> m_listWindow;
    QPrinter m_printer;
    bool m_shutDown = false;
};

} // namespace lumo
