// lumo: the desktop program.

#include "ui/desktop.h"
#include "ui/lumoapplication.h"
#include "ui/mainwindow.h"

#include <QIcon>

int main(int argc, char **argv)
{
    lumo::LumoApplication app(argc, argv);
    app.setWindowIcon(QIcon::fromTheme(QStringLiteral("lumo")));
    // The program ends when the main window has shut down, not when its last window closes.
    app.setQuitOnLastWindowClosed(false);

    lumo::Desktop desktop;
    QObject::connect(&desktop, &lumo::Desktop::quitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    desktop.mainWindow().show();
    return app.exec();
}
