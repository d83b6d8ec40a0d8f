// lumo-cli: the download core on the command line.

#include "multiget.h"
#include "streamoptions.h"
#include "taskreport.h"
#include "terminalinteraction.h"

#include "asf/headeranalysis.h"
#include "asf/propertiesreport.h"
#include "control/address.h"
#include "control/downloadcontroller.h"
#include "control/mediaopener.h"
#include "mms/httpclient.h"
#include "mms/udpendpoint.h"
#include "shell/language.h"
#include "shell/settings.h"
#include "shell/tasklog.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QtEndian>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

using namespace lumo;
using namespace lumo::cli;

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

void out(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
}

void err(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
}

const char *const usage = QT_TRANSLATE_NOOP(
    "LumoCli",
    "Usage: lumo-cli <command> [options]\n"
    "\n"
    "Records Windows-Media streams (mms://, mmst://, mmsu://, mmsh://, http://) to ASF files.\n"
    "\n"
    "Commands:\n"
    "  get URL     record a stream to a file\n"
    "  info FILE   show what the file-properties window shows for an ASF file\n"
    "  scan SOURCE list the MMS addresses of a redirect file or web page (a file or an http(s) URL)\n"
    "\n"
    "Run \"lumo-cli <command> --help\" for the options of a command.\n");

int runInfo(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "LumoCli", "Shows the clip, details, codecs and bit rates of an ASF file."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QCoreApplication::translate("LumoCli", "an ASF file (.asf, .wmv, .wma)"));
    parser.process(args);
    if (parser.positionalArguments().size() != 1) {
        err(parser.helpText());
        return ExitUsage;
    }
    const QString path = parser.positionalArguments().first();
    const HeaderAnalysis analysis = AnalyseAsfHeader(path, LocalHeaderSize(path), StreamType::Unknown, path);
    if (!analysis.ok) {
        err(QStringLiteral("lumo-cli: %1: %2\n").arg(path, analysis.errorMessage));
        return ExitFailed;
    }
    for (const QString &line : describeFileProperties(analysis))
        out(line + QLatin1Char('\n'));
    return ExitOk;
}

int runScan(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "LumoCli", "Lists the MMS addresses found in a redirect file (.asx, .wax, .wvx, .wmx) or a web page, "
                   "one per line. Exit status 0 when at least one was found."));
    parser.addHelpOption();
    parser.addPositionalArgument(
        QStringLiteral("SOURCE"),
        QCoreApplication::translate("LumoCli", "a local file or an http(s):// address"));
    const QCommandLineOption save(
        "save", QCoreApplication::translate("LumoCli", "Also save the fetched file as FILE (http sources)."),
        "FILE");
    const QCommandLineOption user(
        "user", QCoreApplication::translate("LumoCli", "User name for a web site that asks for a login."),
        "NAME");
    const QCommandLineOption password(
        "password", QCoreApplication::translate("LumoCli", "Password for that login."), "PASSWORD");
    parser.addOptions({save, user, password});
    parser.process(args);
    if (parser.positionalArguments().size() != 1) {
        err(parser.helpText());
        return ExitUsage;
    }
    QString source = parser.positionalArguments().first();
    const bool local = QFileInfo::exists(source);
    if (local)
        source = QFileInfo(source).absoluteFilePath();
    else if (!(ClassifyAddress(source) & HttpAddress)) {
        err(QCoreApplication::translate("LumoCli", "lumo-cli: %1: no such file, and not an http address\n")
                .arg(source));
        return ExitFailed;
    }

    TerminalAnswers answers;
    answers.quiet = true;
    if (parser.isSet(save)) {
        answers.yes = true;
        answers.outputPath = parser.value(save);
    }
    Settings settings;
    settings.load();
    TerminalInteraction person(answers);
    TaskLog log;
    UdpEndpoint udp;
    HttpClient http;
    if (parser.isSet(user))
        http.setCredentials(parser.value(user), parser.value(password));
    DownloadController controller(log, settings, person, udp);
    controller.setHttpClient(&http);
    MediaOpener opener(controller, log, settings, person, http);
    controller.setMediaWindowText(source);
    const bool found =
        opener.LoadRedirectList(local ? MediaOpener::Source::LocalFile : MediaOpener::Source::Http);
    if (!found) {
        for (const QString &line : log.lines())
            err(line + QLatin1Char('\n'));
        return ExitFailed;
    }
    for (const QString &entry : opener.lastEntries())
        out(entry + QLatin1Char('\n'));
    return ExitOk;
}

// The options of `get`, declared once and read after parsing.
struct GetOptions
{
    QCommandLineOption output{
        {"o", "output"},
        QCoreApplication::translate("LumoCli", "Save to FILE (a folder takes the proposed name)."),
        "FILE"};
    QCommandLineOption resume{
        "resume", QCoreApplication::translate("LumoCli", "Continue a file that already holds data.")};
    QCommandLineOption overwrite{
        "overwrite", QCoreApplication::translate("LumoCli", "Replace a file that already holds data.")};
    QCommandLineOption udp{"udp",
                           QCoreApplication::translate("LumoCli", "Receive the media packets over UDP.")};
    QCommandLineOption port{
        "port",
        QCoreApplication::translate("LumoCli", "TCP port of the media server (default: settings, 1755)."),
        "N"};
    QCommandLineOption udpPort{
        "udp-port",
        QCoreApplication::translate("LumoCli", "Local UDP port for --udp (default: settings, 7000; 0 any)."),
        "N"};
    QCommandLineOption bypassDns{
        "bypass-dns",
        QCoreApplication::translate("LumoCli", "Use the host as a numeric address, without a name lookup.")};
    QCommandLineOption sendHost{
        "send-host",
        QCoreApplication::translate("LumoCli", "Send the host name in the first command (for proxies).")};
    QCommandLineOption logFile{
        "log", QCoreApplication::translate("LumoCli", "Save the task log to FILE when the task ends."),
        "FILE"};
    QCommandLineOption forSeconds{
        "for", QCoreApplication::translate("LumoCli", "Stop the recording after SECONDS."), "SECONDS"};
    QCommandLineOption user{
        "user", QCoreApplication::translate("LumoCli", "User name for a media server that asks for a login."),
        "NAME"};
    QCommandLineOption password{
        "password", QCoreApplication::translate("LumoCli", "Password for that login."), "PASSWORD"};
    QCommandLineOption quiet{{"q", "quiet"},
                             QCoreApplication::translate("LumoCli", "Do not print the task log.")};
    QCommandLineOption dir{{"d", "dir"},
                           QCoreApplication::translate("LumoCli",
                                                       "Save every recording in DIR, under the name the "
                                                       "address proposes, made unique."),
                           "DIR"};
    QCommandLineOption jobs{
        "jobs",
        QCoreApplication::translate("LumoCli", "Record at most N addresses at the same time (default 4)."),
        "N"};
    QCommandLineOption from{"from",
                            QCoreApplication::translate(
                                "LumoCli", "Also record the addresses SOURCE lists: a redirect file, a web "
                                           "page or a text file with one address per line."),
                            "SOURCE"};
    StreamOptions streams;
    QCommandLineOption json{"json", QCoreApplication::translate("LumoCli",
                                                                "Print one JSON object per line for each "
                                                                "event (started, progress, ended) on "
                                                                "standard output, in place of the summary.")};

    void addTo(QCommandLineParser &parser) const
    {
        parser.addOptions({output, dir, jobs, from, resume, overwrite, udp, port, udpPort, bypassDns,
                           sendHost, logFile, forSeconds, user, password, quiet, json, streams.streams,
                           streams.maxBitRate});
    }
};

// The recording length asked for (0: none); nullopt after a usage error has been printed.
std::optional<int> recordingSeconds(const QCommandLineParser &parser, const GetOptions &o)
{
    if (parser.positionalArguments().isEmpty() && !parser.isSet(o.from)) {
        err(parser.helpText());
        return std::nullopt;
    }
    if (parser.isSet(o.resume) && parser.isSet(o.overwrite)) {
        err(QCoreApplication::translate("LumoCli",
                                        "lumo-cli: --resume and --overwrite exclude each other\n"));
        return std::nullopt;
    }
    QString streamError;
    o.streams.rule(parser, streamError);
    if (!streamError.isEmpty()) {
        err(streamError);
        return std::nullopt;
    }
    if (!parser.isSet(o.forSeconds))
        return 0;
    bool ok = false;
    const int seconds = parser.value(o.forSeconds).toInt(&ok);
    if (!ok || seconds <= 0) {
        err(QCoreApplication::translate("LumoCli",
                                        "lumo-cli: --for needs a whole number of seconds above 0\n"));
        return std::nullopt;
    }
    return seconds;
}

// The settings in force for this recording: the stored ones, changed by the options.
void applyGetOptions(Settings &settings, const QCommandLineParser &parser, const GetOptions &o)
{
    settings.load();
    if (parser.isSet(o.port))
        settings.setTcpPort(parser.value(o.port));
    settings.setUseUdp(parser.isSet(o.udp));
    if (parser.isSet(o.bypassDns))
        settings.setBypassDns(true);
    if (parser.isSet(o.sendHost))
        settings.setSendHost(true);
    QString checked; // with the other usage errors
    if (const auto rule = o.streams.rule(parser, checked))
        settings.setStreamRule(*rule);
    settings.setAutoSaveLog(false); // the log goes where --log says
    settings.setSoundInterval(QStringLiteral("0"));
}

// The answers the terminal gives to the questions the windows would ask.
TerminalAnswers getAnswers(const QCommandLineParser &parser, const GetOptions &o)
{
    TerminalAnswers answers;
    answers.outputPath = parser.value(o.output);
    if (parser.isSet(o.resume))
        answers.existing = ResumeChoice::Resume;
    if (parser.isSet(o.overwrite))
        answers.existing = ResumeChoice::Overwrite;
    if (parser.isSet(o.user)) {
        answers.user = parser.value(o.user);
        answers.password = parser.value(o.password);
    }
    answers.quiet = parser.isSet(o.quiet);
    return answers;
}

// Binds the UDP port only for --udp, so several recordings can run at once.
bool bindUdp(UdpEndpoint &endpoint, const Settings &settings, const QCommandLineParser &parser,
             const GetOptions &o)
{
    if (!parser.isSet(o.udp))
        return true;
    bool ok = true;
    const uint bindPort =
        parser.isSet(o.udpPort) ? parser.value(o.udpPort).toUInt(&ok) : settings.udpBindPort();
    if (ok && bindPort <= 65535 && endpoint.bind(quint16(bindPort)))
        return true;
    err(QCoreApplication::translate("LumoCli", "lumo-cli: cannot use UDP port %1: %2\n")
            .arg(parser.isSet(o.udpPort) ? parser.value(o.udpPort) : QString::number(bindPort),
                 endpoint.errorString()));
    return false;
}

// The summary or the last event of a task that ran; returns the exit status.
int reportEnd(TaskReport &report, const DownloadController &controller, const TerminalInteraction &person)
{
    const bool refused = !person.refusal().isEmpty() || controller.task().ServerRefused;
    const GetStatus status = statusOf(controller.lastEnd(), refused);
    report.ended(status, TaskReport::tallyOf(controller),
                 status == GetStatus::Refused && !person.refusal().isEmpty() ? person.refusal()
                                                                             : person.lastMessage());
    return exitStatus(status);
}

// Ctrl-C and SIGTERM reach the event loop through this pipe.
bool catchSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return false;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    return true;
}

// Several addresses: each a task of its own, at most --jobs at once.
int runMany(QCoreApplication &app, const QCommandLineParser &parser, const GetOptions &o, int seconds)
{
    if (parser.isSet(o.output)) {
        err(QCoreApplication::translate("LumoCli",
                                        "lumo-cli: -o names one file; use -d DIR for several addresses\n"));
        return ExitUsage;
    }
    MultiGet::Options options;
    options.urls = parser.positionalArguments();
    if (parser.isSet(o.from)) {
        const std::optional<QStringList> listed = addressesFrom(parser.value(o.from));
        if (!listed)
            return ExitFailed;
        options.urls += *listed;
    }
    bool ok = true;
    options.jobs = parser.isSet(o.jobs) ? parser.value(o.jobs).toInt(&ok) : 4;
    if (!ok || options.jobs < 1) {
        err(QCoreApplication::translate("LumoCli", "lumo-cli: --jobs needs a whole number above 0\n"));
        return ExitUsage;
    }
    const QString dir = parser.isSet(o.dir) ? parser.value(o.dir) : QDir::currentPath();
    if (!QDir().mkpath(dir)) {
        err(QCoreApplication::translate("LumoCli", "lumo-cli: cannot make the folder %1\n").arg(dir));
        return ExitFailed;
    }
    options.answers = getAnswers(parser, o);
    options.answers.outputPath = QFileInfo(dir).absoluteFilePath();
    options.json = parser.isSet(o.json);
    options.seconds = seconds;

    Settings settings;
    applyGetOptions(settings, parser, o);
    UdpEndpoint udpEndpoint;
    if (!bindUdp(udpEndpoint, settings, parser, o))
        return ExitFailed;
    MultiGet tasks(settings, udpEndpoint, options);
    QObject::connect(&tasks, &MultiGet::allEnded, &app, [&] {
        QMetaObject::invokeMethod(
            &app, [&] { app.exit(tasks.exitStatus()); }, Qt::QueuedConnection);
    });
    if (!catchSignals())
        return ExitFailed;
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QElapsedTimer sinceFirst;
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char bytes[16];
        const ssize_t signals = ::read(signalPipe[0], bytes, sizeof bytes);
        // A second Ctrl-C within a second does not wait for the tasks to wind down: the first
        // has already written every resume record and repaired every live header.
        if (signals > 1 || (sinceFirst.isValid() && sinceFirst.elapsed() < 1000)) {
            tasks.stopAll();
            std::fflush(stdout);
            ::_exit(128 + SIGINT);
        }
        sinceFirst.start();
        tasks.stopAll();
    });
    tasks.start();
    return app.exec();
}

int runGet(QCoreApplication &app, const QStringList &args)
{
    QCommandLineParser parser;
    const QString about = QCoreApplication::translate(
        "LumoCli", "Records the stream at URL into an ASF file. Ctrl-C stops the recording as the Stop "
                   "button does: a stored programme keeps a resume record, a live one gets its header "
                   "repaired.\n");
    parser.setApplicationDescription(about + outcomeHelp());
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("URL"),
                                 QStringLiteral("mms|mmst|mmsu|mmsh|http://host[:port]/path"));
    const GetOptions o;
    o.addTo(parser);
    parser.process(args);
    const std::optional<int> length = recordingSeconds(parser, o);
    if (!length)
        return ExitUsage;
    const int seconds = *length;
    if (parser.positionalArguments().size() > 1 || parser.isSet(o.from) || parser.isSet(o.dir))
        return runMany(app, parser, o, seconds);

    Settings settings;
    applyGetOptions(settings, parser, o);
    TerminalInteraction person(getAnswers(parser, o));
    TaskReport report(parser.isSet(o.json));
    UdpEndpoint udpEndpoint;
    if (!bindUdp(udpEndpoint, settings, parser, o)) {
        report.ended(GetStatus::Failed, {}, udpEndpoint.errorString());
        return ExitFailed;
    }

    TaskLog log;
    DownloadController controller(log, settings, person, udpEndpoint);
    controller.setMediaWindowText(parser.positionalArguments().first());

    QObject::connect(&controller, &DownloadController::finished, &app, [&] {
        person.finishProgressLine();
        if (parser.isSet(o.logFile)) {
            const QString failure = log.saveToFile(parser.value(o.logFile));
            if (!failure.isEmpty())
                err(QStringLiteral("lumo-cli: %1: %2\n").arg(parser.value(o.logFile), failure));
        }
        if (controller.lastEnd() == TaskEnd::Interrupted)
            err(QCoreApplication::translate(
                "LumoCli", "lumo-cli: the download was interrupted; the same command with --resume "
                           "continues it\n"));
        // The message of the end may follow the signal in the same call: report once it is shown.
        QMetaObject::invokeMethod(
            &app, [&] { app.exit(reportEnd(report, controller, person)); }, Qt::QueuedConnection);
    });

    // Ctrl-C and SIGTERM stop the task as the Stop button does, without asking.
    if (!catchSignals())
        return ExitFailed;
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
        if (!controller.idle())
            controller.stop();
    });

    QTimer recordingLength;
    recordingLength.setSingleShot(true);
    QObject::connect(&recordingLength, &QTimer::timeout, &app, [&] {
        if (!controller.idle())
            controller.stop();
    });

    if (!controller.start(parser.positionalArguments().first())) {
        report.ended(GetStatus::Failed, {}, person.lastMessage());
        return ExitFailed;
    }
    report.started(parser.positionalArguments().first(), controller);
    if (seconds > 0)
        recordingLength.start(seconds * 1000);
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lumo-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMO_VERSION));
    setUpLanguage();
    QStringList args = app.arguments();
    if (args.size() < 2 || args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h")) {
        out(QCoreApplication::translate("LumoCli", usage));
        return args.size() < 2 ? ExitUsage : ExitOk;
    }
    if (args[1] == QLatin1String("--version")) {
        out(QStringLiteral("lumo-cli " LUMO_VERSION "\n"));
        return ExitOk;
    }
    const QString command = args.takeAt(1);
    if (command == QLatin1String("get"))
        return runGet(app, args);
    if (command == QLatin1String("info"))
        return runInfo(args);
    if (command == QLatin1String("scan"))
        return runScan(args);
    err(QCoreApplication::translate("LumoCli", "lumo-cli: unknown command \"%1\"\n\n").arg(command) +
        QCoreApplication::translate("LumoCli", usage));
    return ExitUsage;
}
