#pragma once

#include "dialoganswerer.h"
#include "support/serverprocess.h"
#include "ui/desktop.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class QWidget;

namespace lumo::test {

// Saves a picture of `window` as NAME.png in $LUMO_SCREENSHOT_DIR, when that is set.
void saveScreenshot(QWidget *window, const QString &name);

// The desktop program in a temporary configuration folder, its main window shown on the
// offscreen platform, and a dialog answerer.
class DesktopFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Whether the program starts with UDP port 0 (any free port) instead of the default.
    virtual bool usesAnyUdpPort() const { return true; }

    // (Re)creates the program, as a new start would.
    void startProgram();
    // Closes the main window as the frame button does and drops the program.
    void closeProgram();

    // The small windows and the command that opens each; those that stay on top of the main
    // window are the properties, settings and open windows.
    struct SmallWindow
    {
        const char *name;
        QWidget *window;
        void (Desktop::*open)();
    };
    std::vector<SmallWindow> smallWindows(bool stayingOnTopOnly = false);

    QString path(const QString &name) const { return m_dir.path() + QLatin1Char('/') + name; }
    QString settingsFile() const;
    // A stored value as text, read past the settings model.
    QString storedValue(const QString &name) const;

    template <typename T> T *child(QWidget *window, const char *name)
    {
        return window->findChild<T *>(QLatin1String(name));
    }

    QTemporaryDir m_dir;
    QByteArray m_savedConfig;
    std::unique_ptr<Desktop> m_desktop;
    std::unique_ptr<DialogAnswerer> m_answers;
    ServerProcess m_server;
    bool m_quitRequested = false;
};

} // namespace lumo::test

QT_BEGIN_NAMESPACE
// Readable QString values in gtest failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList &list, std::ostream *out)
{
    *out << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}
QT_END_NAMESPACE
