// lumo: the desktop program.

#include "shell/language.h"
#include "ui/desktop.h"
#include "ui/instancechannel.h"
#include "ui/lumoapplication.h"
#include "ui/mainwindow.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QIcon>
#include <QTimer>

namespace {

void describe(QCommandLineParser &parser, const QCommandLineOption &start)
{
    parser.setApplicationDescription(
        QCoreApplication::translate("LumoMain", "Records Windows-Media streams to ASF files."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("ADDRESS|FILE"),
        QCoreApplication::translate("LumoMain",
                                    "an mms://, mmst://, mmsu://, mmsh:// or http:// address, a redirect "
                                    "file (.asx .wax .wvx .wmx) or an ASF file (.asf .wmv .wma)"));
    parser.addOption(start);
}

// --help and --version answer on a terminal without a display.
bool onlyAsksForText(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--help" || arg == "-h" || arg == "--version" || arg == "-v" || arg == "--help-all")
            return true;
    }
    return false;
}

// Made once the language is set, as its text is translated.
QCommandLineOption startOption()
{
    return QCommandLineOption(
        QStringLiteral("start"),
        QCoreApplication::translate("LumoMain", "Start recording the address at once."));
}

} // namespace

int main(int argc, char **argv)
{
    if (onlyAsksForText(argc, argv)) {
        QCoreApplication core(argc, argv);
        core.setApplicationVersion(QStringLiteral(LUMO_VERSION));
        lumo::setUpLanguage();
        const QCommandLineOption start = startOption();
        QCommandLineParser parser;
        describe(parser, start);
        parser.process(core); // prints and exits
        return 0;
    }

    lumo::LumoApplication app(argc, argv);
    app.setApplicationVersion(QStringLiteral(LUMO_VERSION));
    app.setWindowIcon(QIcon::fromTheme(QStringLiteral("lumo")));
    // The program ends when the main window has shut down, not when its last window closes.
    app.setQuitOnLastWindowClosed(false);
    lumo::setUpLanguage();

    const QCommandLineOption start = startOption();
    QCommandLineParser parser;
    describe(parser, start);
    parser.process(app);
    const QString argument = parser.positionalArguments().value(0);
    const bool startNow = parser.isSet(start);

    // A Lumo already running takes the address: it holds the UDP port and the settings.
    QStringList handed{argument};
    if (startNow)
        handed.append(QStringLiteral("--start"));
    if (lumo::InstanceChannel::handOver(handed, 1000))
        return 0;

    lumo::Desktop desktop;
    QObject::connect(&desktop, &lumo::Desktop::quitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    lumo::InstanceChannel channel;
    channel.listen();
    QObject::connect(&channel, &lumo::InstanceChannel::received, &desktop,
                     [&desktop](const QStringList &args) {
                         if (!args.value(0).isEmpty())
                             desktop.openFromLaunch(args.value(0), args.contains(QStringLiteral("--start")));
                         else
                             desktop.mainWindow().raise();
                     });
    desktop.mainWindow().show();
    if (!argument.isEmpty())
        QTimer::singleShot(0, &desktop, [&] { desktop.openFromLaunch(argument, startNow); });
    return app.exec();
}
