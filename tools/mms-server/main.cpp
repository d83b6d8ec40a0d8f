#include "language.h"
#include "options.h"
#include "server.h"

#include <csignal>
#include <cstdio>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

int fail(const QString &message, int status)
{
    std::fprintf(stderr, "lumo-mms-server: %s\n", qPrintable(message));
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lumo-mms-server"));
    mmsserver::setUpLanguage();
    const mmsserver::OptionsResult parsed = mmsserver::parseOptions(QCoreApplication::arguments());
    if (!parsed.error.isEmpty())
        return fail(parsed.error + QStringLiteral(" (see --help)"), 2);
    if (parsed.showHelp) {
        std::fputs(qPrintable(parsed.helpText), stdout);
        return 0;
    }

    // SIGTERM and SIGINT reach the event loop through a socket pair, the one safe way out of a handler.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return fail(QStringLiteral("cannot create the signal socket pair"), 1);
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    mmsserver::Server server(parsed.options);
    QString error;
    if (!server.listen(&error))
        return fail(error, 1);
    std::printf("lumo-mms-server listening on %s:%u\n", qPrintable(server.address().toString()),
                unsigned(server.port()));
    std::fflush(stdout);
    return app.exec();
}
