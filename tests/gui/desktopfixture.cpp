#include "desktopfixture.h"

#include "shell/settings.h"
#include "shell/settingsstore.h"
#include "ui/aboutwindow.h"
#include "ui/mainwindow.h"
#include "ui/openwindow.h"
#include "ui/playeraboutwindow.h"
#include "ui/propertieswindow.h"
#include "ui/settingswindow.h"

#include <QWidget>

namespace lumo::test {

void DesktopFixture::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(QStringLiteral("config"))));
    m_answers = std::make_unique<DialogAnswerer>();
    if (usesAnyUdpPort()) {
        // Tests run side by side: each program takes a free UDP port rather than the default,
        // which only one of them could bind.
        Settings stored;
        stored.load();
        stored.setUdpPort(QStringLiteral("0"));
        stored.store();
    }
}

void DesktopFixture::TearDown()
{
    m_desktop.reset();
    m_answers.reset();
    m_server.stop();
    qputenv("XDG_CONFIG_HOME", m_savedConfig);
}

void DesktopFixture::startProgram()
{
    m_desktop.reset();
    m_quitRequested = false;
    m_desktop = std::make_unique<Desktop>();
    QObject::connect(m_desktop.get(), &Desktop::quitRequested, m_desktop.get(),
                     [this] { m_quitRequested = true; });
    m_desktop->mainWindow().show();
}

std::vector<DesktopFixture::SmallWindow> DesktopFixture::smallWindows(bool stayingOnTopOnly)
{
    std::vector<SmallWindow> windows{
        {"properties", &m_desktop->propertiesWindow(), &Desktop::onShowPropertiesTriggered},
        {"settings", &m_desktop->settingsWindow(), &Desktop::onViewSetupTriggered},
        {"open", &m_desktop->openWindow(), &Desktop::onOpenTriggered},
    };
    if (!stayingOnTopOnly) {
        windows.push_back({"about", &m_desktop->aboutWindow(), &Desktop::onAboutTriggered});
        windows.push_back(
            {"player about", &m_desktop->playerAboutWindow(), &Desktop::onAboutPlayerTriggered});
    }
    return windows;
}

void DesktopFixture::closeProgram()
{
    m_desktop->mainWindow().close();
    m_desktop.reset();
}

QString DesktopFixture::settingsFile() const
{
    return settingsFilePath(settingsKey);
}

QString DesktopFixture::storedValue(const QString &name) const
{
    return RegReadString(settingsKey, name);
}

void saveScreenshot(QWidget *window, const QString &name)
{
    const QString dir = qEnvironmentVariable("LUMO_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        window->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace lumo::test
