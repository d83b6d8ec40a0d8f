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
                                    "file (.asx .wax .wvx .wmx) or an ASF file (.asf .wmv .wma); several "
                                    "addresses go into the download list"),
        QStringLiteral("[ADDRESS...]"));
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
        QCoreApplication::translate("LumoMain", "Start recording the address (or each address) at once."));
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
    const QStringList arguments = parser.positionalArguments();
    const QString argument = arguments.value(0);
    const bool startNow = parser.isSet(start);

    // A Lumo already running takes the addresses: it holds the UDP port and the settings.
    QStringList handed = arguments.isEmpty() ? QStringList{QString()} : arguments;
    if (startNow)
        handed.append(QStringLiteral("--start"));
    if (lumo::InstanceChannel::handOver(handed, 1000))
        return 0;

    lumo::Desktop desktop;
    QObject::connect(&desktop, &lumo::Desktop::quitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    lumo::InstanceChannel channel;
    channel.listen();
    QObject::connect(&channel, &lumo::InstanceChannel::received, &desktop, [&desktop](QStringList args) {
        const bool start = args.removeAll(QStringLiteral("--start")) > 0;
        if (args.size() > 1)
            desktop.openListFromLaunch(args, start);
        else if (!args.value(0).isEmpty())
            desktop.openFromLaunch(args.value(0), start);
        else
            desktop.mainWindow().raise();
    });
    desktop.mainWindow().show();
    if (arguments.size() > 1)
        QTimer::singleShot(0, &desktop, [&] { desktop.openListFromLaunch(arguments, startNow); });
    else if (!argument.isEmpty())
        QTimer::singleShot(0, &desktop, [&] { desktop.openFromLaunch(argument, startNow); });
    return app.exec();
}
