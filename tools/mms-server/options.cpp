#include "options.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <vector>

namespace mmsserver {

namespace {

// One command-line option and what it does when given.
struct OptionRule
{
    QCommandLineOption option;
    // Takes the option's values (none for a switch); returns why they are refused, or an empty string.
    std::function<QString(const QStringList &values, ServerOptions &o)> apply;
};
using OptionRules = std::vector<OptionRule>;

std::optional<quint64> parseNumber(const QString &text, quint64 max)
{
    bool ok = false;
    const quint64 value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                              ? text.mid(2).toULongLong(&ok, 16)
                              : text.toULongLong(&ok, 10);
    if (!ok || value > max)
        return std::nullopt;
    return value;
}

bool parseListen(const QString &text, ServerOptions &o)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    QString host = text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    const auto port = parseNumber(text.mid(colon + 1), 65535);
    QHostAddress address;
    if (!port || !address.setAddress(host))
        return false;
    o.address = address;
    o.port = quint16(*port);
    return true;
}

QString badValue(const QString &option, const QString &value, const QString &hint = QString())
{
    const QString text = QStringLiteral("bad --%1 value '%2'").arg(option, value);
    return hint.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, hint);
}

// A switch: sets its flag when given.
OptionRule flagRule(const QString &name, const QString &description, bool ServerOptions::*flag)
{
    return {QCommandLineOption(name, description), [flag](const QStringList &, ServerOptions &o) {
                o.*flag = true;
                return QString();
            }};
}

// An option with one number up to `max`; `store` refuses a value by returning false, with `hint` as the
// reason.
OptionRule numberRule(const QString &name, const QString &description, const QString &valueName, quint64 max,
                      std::function<bool(quint64, ServerOptions &)> store, const QString &hint = QString())
{
    return {QCommandLineOption(name, description, valueName),
            [name, max, store, hint](const QStringList &values, ServerOptions &o) {
                const QString &text = values.constLast();
                const auto n = parseNumber(text, max);
                if (!n)
                    return badValue(name, text);
                return store(*n, o) ? QString() : badValue(name, text, hint);
            }};
}

OptionRules servingRules()
{
    return {
        {QCommandLineOption(
             QStringLiteral("listen"),
             QCoreApplication::translate(
                 "ServerOptions",
                 "Listen on ADDR:PORT (default 127.0.0.1:1755). Port 0 picks a free port. The first "
                 "line on stdout is 'lumo-mms-server listening on ADDR:PORT'."),
             QStringLiteral("ADDR:PORT")),
         [](const QStringList &values, ServerOptions &o) {
             return parseListen(values.constLast(), o)
                        ? QString()
                        : badValue(QStringLiteral("listen"), values.constLast(),
                                   QStringLiteral("expected ADDR:PORT"));
         }},
        {QCommandLineOption(
             QStringLiteral("root"),
             QCoreApplication::translate("ServerOptions",
                                         "Serve the ASF files below DIR by path (default: the current "
                                         "folder). Paths leaving DIR are refused."),
             QStringLiteral("DIR")),
         [](const QStringList &values, ServerOptions &o) {
             o.root = values.constLast();
             return QString();
         }},
        flagRule(QStringLiteral("exclusive-video"),
                 QCoreApplication::translate(
                     "ServerOptions",
                     "Serve a file with several video streams as one programme at several bit rates: "
                     "its header gains a Bitrate Mutual Exclusion Object over the video streams, and a "
                     "Stream Bitrate Properties Object of rates measured from the packets if it has "
                     "none. The packets stay as they are."),
                 &ServerOptions::exclusiveVideo),
        flagRule(QStringLiteral("v"),
                 QCoreApplication::translate("ServerOptions",
                                             "Log every session step to stderr as 'session N: ...'."),
                 &ServerOptions::verbose),
    };
}

OptionRules streamingRules()
{
    return {
        {QCommandLineOption(
             QStringLiteral("live"),
             QCoreApplication::translate(
                 "ServerOptions",
                 "Serve every file as a live broadcast: live attributes, packet count 0, the file "
                 "looped with location numbers from 1000000 and times shifted by 36000 s. Paced in "
                 "real time unless --pace says otherwise. An HTTP client joins the broadcast where it "
                 "is on the air, not at its first packet.")),
         [](const QStringList &, ServerOptions &o) {
             o.live = true;
             o.pace = Pace::Realtime;
             return QString();
         }},
        numberRule(QStringLiteral("live-seconds"),
                   QCoreApplication::translate(
                       "ServerOptions",
                       "End a live broadcast after N seconds of media (0x1E); without it the "
                       "broadcast runs until the client leaves."),
                   QStringLiteral("N"), 0xFFFFFFFF / 1000,
                   [](quint64 n, ServerOptions &o) {
                       o.liveSeconds = quint32(n);
                       return true;
                   }),
        {QCommandLineOption(
             QStringLiteral("pace"),
             QCoreApplication::translate(
                 "ServerOptions",
                 "'full' sends packets as fast as the client reads them (the default for stored "
                 "files); 'realtime' sends each at its ASF send time (the default for --live)."),
             QStringLiteral("full|realtime")),
         [](const QStringList &values, ServerOptions &o) {
             const QString &p = values.constLast();
             if (p == QLatin1String("full"))
                 o.pace = Pace::Full;
             else if (p == QLatin1String("realtime"))
                 o.pace = Pace::Realtime;
             else
                 return badValue(QStringLiteral("pace"), p, QStringLiteral("expected full or realtime"));
             return QString();
         }},
        numberRule(QStringLiteral("rate"),
                   QCoreApplication::translate("ServerOptions",
                                               "Limit media packets to BYTES_PER_S bytes per second."),
                   QStringLiteral("BYTES_PER_S"), quint64(1) << 40,
                   [](quint64 n, ServerOptions &o) {
                       if (n == 0)
                           return false;
                       o.rateBytesPerSecond = n;
                       return true;
                   }),
        numberRule(QStringLiteral("ping-every"),
                   QCoreApplication::translate(
                       "ServerOptions",
                       "Send a ping (0x1B) after SECONDS without client traffic (default 30, 0 = "
                       "never)."),
                   QStringLiteral("SECONDS"), 24 * 3600,
                   [](quint64 n, ServerOptions &o) {
                       o.pingEverySeconds = quint32(n);
                       return true;
                   }),
    };
}

OptionRules loginRules()
{
    return {
        {QCommandLineOption(
             QStringLiteral("auth"),
             QCoreApplication::translate(
                 "ServerOptions",
                 "Require a BASIC login: OpenFile gets a 0x1A challenge; a right answer opens the file, "
                 "a wrong one gets 0x06 with hr 0x80070005 (access denied). Over HTTP a request without "
                 "the right 'Authorization: Basic' header gets 401 with 'WWW-Authenticate: Basic'."),
             QStringLiteral("USER:PASSWORD")),
         [](const QStringList &values, ServerOptions &o) {
             const QString &value = values.constLast();
             const qsizetype colon = value.indexOf(QLatin1Char(':'));
             if (colon <= 0)
                 return badValue(QStringLiteral("auth"), value, QStringLiteral("expected USER:PASSWORD"));
             o.user = value.left(colon);
             o.password = value.mid(colon + 1);
             return QString();
         }},
        {QCommandLineOption(QStringLiteral("realm"),
                            QCoreApplication::translate("ServerOptions",
                                                        "Realm named in the login challenge (default "
                                                        "'lumo-mms-server')."),
                            QStringLiteral("TEXT")),
         [](const QStringList &values, ServerOptions &o) {
             o.realm = values.constLast();
             return QString();
         }},
    };
}

// The client commands whose reply can carry an injected error.
constexpr ClientCommand injectableCommands[] = {
    ClientCommand::Connect,      ClientCommand::ConnectFunnel, ClientCommand::OpenFile,
    ClientCommand::StartPlaying, ClientCommand::ReadBlock,     ClientCommand::FunnelInfo,
    ClientCommand::StreamSwitch,
};

QString addInjectedError(const QString &value, ServerOptions &o)
{
    const QStringList parts = value.split(QLatin1Char(':'));
    const auto id = parts.size() == 2 ? parseNumber(parts[0], 0xFFFF) : std::nullopt;
    const auto hr = parts.size() == 2 ? parseNumber(parts[1], 0xFFFFFFFF) : std::nullopt;
    const auto *known = std::find(std::begin(injectableCommands), std::end(injectableCommands),
                                  ClientCommand(id.value_or(0)));
    if (!id || !hr || known == std::end(injectableCommands))
        return badValue(
            QStringLiteral("error-on"), value,
            QStringLiteral("expected CMD:HRESULT with CMD one of 0x01 0x02 0x05 0x07 0x15 0x18 0x33"));
    o.errorOn.insert(*known, quint32(*hr));
    return QString();
}

OptionRules faultRules()
{
    return {
        {QCommandLineOption(QStringLiteral("error-on"),
                            QCoreApplication::translate(
                                "ServerOptions",
                                "Answer client command CMD (0x01, 0x02, 0x05, 0x07, 0x15, 0x18 or 0x33) "
                                "with an error reply carrying HRESULT, e.g. 0x05:0xC00D001A. May be "
                                "repeated."),
                            QStringLiteral("CMD:HRESULT")),
         [](const QStringList &values, ServerOptions &o) {
             for (const QString &value : values) {
                 if (QString why = addInjectedError(value, o); !why.isEmpty())
                     return why;
             }
             return QString();
         }},
        numberRule(QStringLiteral("drop-after"),
                   QCoreApplication::translate("ServerOptions", "Close the connection after N data packets."),
                   QStringLiteral("N"), ~quint64(0),
                   [](quint64 n, ServerOptions &o) {
                       o.dropAfter = n;
                       return true;
                   }),
        flagRule(QStringLiteral("close-after-end"),
                 QCoreApplication::translate("ServerOptions", "Close the connection right after 0x1E."),
                 &ServerOptions::closeAfterEnd),
        numberRule(QStringLiteral("corrupt-after"),
                   QCoreApplication::translate(
                       "ServerOptions",
                       "After N data packets send one media packet of an unknown kind (byte 4 = "
                       "0x09); over HTTP, a chunk whose framing does not start with '$'."),
                   QStringLiteral("N"), ~quint64(0),
                   [](quint64 n, ServerOptions &o) {
                       o.corruptAfter = n;
                       return true;
                   }),
        flagRule(QStringLiteral("strip-padding"),
                 QCoreApplication::translate(
                     "ServerOptions",
                     "Send data packets (and $D chunks) without their trailing zero bytes, as "
                     "servers do with packet padding; the client pads them back."),
                 &ServerOptions::stripPadding),
        flagRule(QStringLiteral("no-resend"),
                 QCoreApplication::translate("ServerOptions",
                                             "Ignore resend requests: a dropped UDP datagram stays lost."),
                 &ServerOptions::noResend),
        flagRule(QStringLiteral("drip"),
                 QCoreApplication::translate("ServerOptions", "Write everything on TCP one byte at a time."),
                 &ServerOptions::drip),
        numberRule(
            QStringLiteral("udp-drop-every"),
            QCoreApplication::translate("ServerOptions", "Drop every Kth UDP datagram (resends excepted)."),
            QStringLiteral("K"), 0xFFFFFFFF,
            [](quint64 n, ServerOptions &o) {
                if (n < 2)
                    return false;
                o.udpDropEvery = quint32(n);
                return true;
            },
            QStringLiteral("at least 2")),
    };
}

QString addRedirect(const QString &value, ServerOptions &o)
{
    const qsizetype eq = value.indexOf(QLatin1Char('='));
    if (eq <= 0 || eq == value.size() - 1)
        return badValue(QStringLiteral("http-redirect"), value, QStringLiteral("expected FROM=TO"));
    QString from = value.left(eq);
    if (!from.startsWith(QLatin1Char('/')))
        from.prepend(QLatin1Char('/'));
    o.httpRedirects.append({from, value.mid(eq + 1)});
    return QString();
}

OptionRules httpRules()
{
    return {
        flagRule(QStringLiteral("no-mmst"),
                 QCoreApplication::translate(
                     "ServerOptions",
                     "Refuse binary MMS: close such a connection at once, before any reply, as "
                     "newer servers do. MMS over HTTP is served as ever."),
                 &ServerOptions::noMmst),
        numberRule(
            QStringLiteral("http-status"),
            QCoreApplication::translate(
                "ServerOptions", "Answer every MMS-over-HTTP request with HTTP status CODE (300-599) and its "
                                 "reason phrase."),
            QStringLiteral("CODE"), 599,
            [](quint64 n, ServerOptions &o) {
                if (n < 300)
                    return false;
                o.httpStatus = int(n);
                return true;
            },
            QStringLiteral("300-599")),
        {QCommandLineOption(
             QStringLiteral("http-redirect"),
             QCoreApplication::translate("ServerOptions",
                                         "Answer an HTTP request for path FROM with 302 and 'Location: TO'. "
                                         "May be repeated."),
             QStringLiteral("FROM=TO")),
         [](const QStringList &values, ServerOptions &o) {
             for (const QString &value : values) {
                 if (QString why = addRedirect(value, o); !why.isEmpty())
                     return why;
             }
             return QString();
         }},
        numberRule(
            QStringLiteral("header-chunk"),
            QCoreApplication::translate(
                "ServerOptions",
                "Send the header over HTTP in $H chunks of at most BYTES bytes (default: one "
                "chunk, up to 65527 bytes each)."),
            QStringLiteral("BYTES"), maxMmsPacketSize,
            [](quint64 n, ServerOptions &o) {
                if (n == 0)
                    return false;
                o.headerChunkBytes = quint32(n);
                return true;
            },
            QStringLiteral("1-65527")),
        numberRule(QStringLiteral("stream-change-after"),
                   QCoreApplication::translate(
                       "ServerOptions",
                       "Over HTTP, after N data packets end the entry ($E reason 1), send $C and "
                       "start the next one: its header again and its packets from LocationId 0. "
                       "The next entry is the same stream unless --stream-change-header names "
                       "another."),
                   QStringLiteral("N"), ~quint64(0),
                   [](quint64 n, ServerOptions &o) {
                       o.streamChangeAfter = n;
                       return true;
                   }),
        {QCommandLineOption(
             QStringLiteral("stream-change-header"),
             QCoreApplication::translate("ServerOptions",
                                         "The entry after the stream change is the ASF file FILE: its header "
                                         "(other streams or another packet size) and its packets."),
             QStringLiteral("FILE")),
         [](const QStringList &values, ServerOptions &o) {
             o.streamChangeHeader = values.constLast();
             return QString();
         }},
        numberRule(
            QStringLiteral("metadata-every"),
            QCoreApplication::translate("ServerOptions",
                                        "Over HTTP, send a $M metadata chunk before every Nth data packet."),
            QStringLiteral("N"), ~quint64(0),
            [](quint64 n, ServerOptions &o) {
                o.metadataEvery = n;
                return n > 0;
            },
            QStringLiteral("at least 1")),
    };
}

QString addSynthetic(const QString &value, ServerOptions &o)
{
    const QStringList parts = value.split(QLatin1Char(':'));
    const auto bytes = parts.size() == 3 ? parseNumber(parts[1], quint64(1) << 50) : std::nullopt;
    const auto packet = parts.size() == 3 ? parseNumber(parts[2], maxMmsPacketSize) : std::nullopt;
    if (!bytes || !packet || *packet < SyntheticSource::minPacketSize || parts[0].isEmpty())
        return badValue(QStringLiteral("synthetic"), value,
                        QCoreApplication::translate("ServerOptions",
                                                    "expected NAME:BYTES:PACKETSIZE with PACKETSIZE %1-%2")
                            .arg(SyntheticSource::minPacketSize)
                            .arg(maxMmsPacketSize));
    QString name = parts[0];
    while (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')))
        name.remove(0, 1);
    o.synthetic.append({name, *bytes, quint32(*packet)});
    return QString();
}

OptionRule syntheticRule()
{
    return {
        QCommandLineOption(QStringLiteral("synthetic"),
                           QCoreApplication::translate(
                               "ServerOptions",
                               "Serve a made-up audio+video ASF stream of about BYTES bytes in packets of "
                               "PACKETSIZE (512-65527) bytes when a client opens NAME. May be repeated."),
                           QStringLiteral("NAME:BYTES:PACKETSIZE")),
        [](const QStringList &values, ServerOptions &o) {
            for (const QString &value : values) {
                if (QString why = addSynthetic(value, o); !why.isEmpty())
                    return why;
            }
            return QString();
        }};
}

// Every option but --help, in the order --help lists them.
OptionRules optionRules()
{
    OptionRules rules;
    for (OptionRules group : {servingRules(), streamingRules(), loginRules(), faultRules(), httpRules()})
        std::move(group.begin(), group.end(), std::back_inserter(rules));
    rules.push_back(syntheticRule());
    return rules;
}

} // namespace

OptionsResult parseOptions(const QStringList &arguments)
{
    OptionsResult result;
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "ServerOptions",
        "A test and demo MMS server: serves ASF files and synthetic streams over MMS (TCP or UDP data)\n"
        "and over HTTP (MMSH) on the same port, with live broadcasts, pacing, pings, BASIC login,\n"
        "stream selection (the payloads of streams a client drops are left out of each packet) and\n"
        "fault injection. Faults and pacing apply to both protocols where they fit."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QCoreApplication::translate("ServerOptions", "Show this help and exit."));
    const QCommandLineOption version(
        QStringLiteral("version"),
        QCoreApplication::translate("ServerOptions", "Show the version and exit."));
    const OptionRules rules = optionRules();
    parser.addOption(help);
    parser.addOption(version);
    for (const OptionRule &rule : rules)
        parser.addOption(rule.option);

    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        result.showHelp = true;
        result.helpText = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.showHelp = true;
        result.helpText = QStringLiteral("lumo-mms-server " LUMO_VERSION "\n");
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first());
        return result;
    }
    for (const OptionRule &rule : rules) {
        if (!parser.isSet(rule.option))
            continue;
        result.error = rule.apply(parser.values(rule.option), result.options);
        if (!result.error.isEmpty())
            return result;
    }
    if (!result.options.streamChangeHeader.isEmpty() && !result.options.streamChangeAfter)
        result.error = QCoreApplication::translate("ServerOptions",
                                                   "--stream-change-header needs --stream-change-after");
    return result;
}

} // namespace mmsserver
