#include "options.h"

#include <QCommandLineParser>

namespace mmsserver {

namespace {

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

} // namespace

OptionsResult parseOptions(const QStringList &arguments)
{
    OptionsResult result;
    ServerOptions &o = result.options;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A test and demo MMS server: serves ASF files and synthetic streams over MMS (TCP or UDP data),\n"
        "with live broadcasts, pacing, pings, BASIC login and fault injection."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption listen(
        QStringLiteral("listen"),
        QStringLiteral("Listen on ADDR:PORT (default 127.0.0.1:1755). Port 0 picks a free port. The first "
                       "line on stdout is 'lumo-mms-server listening on ADDR:PORT'."),
        QStringLiteral("ADDR:PORT"));
    const QCommandLineOption root(
        QStringLiteral("root"),
        QStringLiteral("Serve the ASF files below DIR by path (default: the current "
                       "folder). Paths leaving DIR are refused."),
        QStringLiteral("DIR"));
    const QCommandLineOption verbose(QStringLiteral("v"),
                                     QStringLiteral("Log every session step to stderr as 'session N: ...'."));
    const QCommandLineOption live(
        QStringLiteral("live"),
        QStringLiteral("Serve every file as a live broadcast: live attributes, packet count 0, the file "
                       "looped with location numbers from 1000000 and times shifted by 36000 s. Paced in "
                       "real time unless --pace says otherwise."));
    const QCommandLineOption liveSeconds(
        QStringLiteral("live-seconds"),
        QStringLiteral("End a live broadcast after N seconds of media (0x1E); without it the broadcast runs "
                       "until the client leaves."),
        QStringLiteral("N"));
    const QCommandLineOption pace(
        QStringLiteral("pace"),
        QStringLiteral("'full' sends packets as fast as the client reads them (the default for stored "
                       "files); 'realtime' sends each at its ASF send time (the default for --live)."),
        QStringLiteral("full|realtime"));
    const QCommandLineOption rate(QStringLiteral("rate"),
                                  QStringLiteral("Limit media packets to BYTES_PER_S bytes per second."),
                                  QStringLiteral("BYTES_PER_S"));
    const QCommandLineOption pingEvery(
        QStringLiteral("ping-every"),
        QStringLiteral("Send a ping (0x1B) after SECONDS without client traffic (default 30, 0 = never)."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption auth(
        QStringLiteral("auth"),
        QStringLiteral(
            "Require a BASIC login: OpenFile gets a 0x1A challenge; a right answer opens the file, "
            "a wrong one gets 0x06 with hr 0x80070005 (access denied)."),
        QStringLiteral("USER:PASSWORD"));
    const QCommandLineOption realm(QStringLiteral("realm"),
                                   QStringLiteral("Realm named in the login challenge (default "
                                                  "'lumo-mms-server')."),
                                   QStringLiteral("TEXT"));
    const QCommandLineOption errorOn(
        QStringLiteral("error-on"),
        QStringLiteral("Answer client command CMD (0x01, 0x02, 0x05, 0x07, 0x15, 0x18 or 0x33) with an error "
                       "reply carrying HRESULT, e.g. 0x05:0xC00D001A. May be repeated."),
        QStringLiteral("CMD:HRESULT"));
    const QCommandLineOption dropAfter(QStringLiteral("drop-after"),
                                       QStringLiteral("Close the connection after N data packets."),
                                       QStringLiteral("N"));
    const QCommandLineOption closeAfterEnd(QStringLiteral("close-after-end"),
                                           QStringLiteral("Close the connection right after 0x1E."));
    const QCommandLineOption corruptAfter(
        QStringLiteral("corrupt-after"),
        QStringLiteral("After N data packets send one media packet of an unknown kind (byte 4 = 0x09)."),
        QStringLiteral("N"));
    const QCommandLineOption stripPadding(
        QStringLiteral("strip-padding"),
        QStringLiteral(
            "Send data packets without their trailing zero bytes, as servers do with packet padding; "
            "the client pads them back."));
    const QCommandLineOption drip(QStringLiteral("drip"),
                                  QStringLiteral("Write everything on TCP one byte at a time."));
    const QCommandLineOption udpDropEvery(QStringLiteral("udp-drop-every"),
                                          QStringLiteral("Drop every Kth UDP datagram (resends excepted)."),
                                          QStringLiteral("K"));
    const QCommandLineOption synthetic(
        QStringLiteral("synthetic"),
        QStringLiteral("Serve a made-up audio+video ASF stream of about BYTES bytes in packets of PACKETSIZE "
                       "(512-65527) bytes when a client opens NAME. May be repeated."),
        QStringLiteral("NAME:BYTES:PACKETSIZE"));
    parser.addOptions({help, listen, root, verbose, live, liveSeconds, pace, rate, pingEvery, auth, realm,
                       errorOn, dropAfter, closeAfterEnd, corruptAfter, stripPadding, drip, udpDropEvery,
                       synthetic});

    auto fail = [&result](const QString &why) {
        result.error = why;
        return result;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(help)) {
        result.showHelp = true;
        result.helpText = parser.helpText();
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));

    if (parser.isSet(listen) && !parseListen(parser.value(listen), o))
        return fail(QStringLiteral("bad --listen value '%1' (expected ADDR:PORT)").arg(parser.value(listen)));
    if (parser.isSet(root))
        o.root = parser.value(root);
    o.verbose = parser.isSet(verbose);
    o.live = parser.isSet(live);
    o.pace = o.live ? Pace::Realtime : Pace::Full;

    auto number = [&](const QCommandLineOption &option, quint64 max) -> std::optional<quint64> {
        const auto n = parseNumber(parser.value(option), max);
        if (!n)
            result.error =
                QStringLiteral("bad --%1 value '%2'").arg(option.names().constLast(), parser.value(option));
        return n;
    };
    if (parser.isSet(liveSeconds)) {
        const auto n = number(liveSeconds, 0xFFFFFFFF / 1000);
        if (!n)
            return result;
        o.liveSeconds = quint32(*n);
    }
    if (parser.isSet(pace)) {
        const QString p = parser.value(pace);
        if (p == QLatin1String("full"))
            o.pace = Pace::Full;
        else if (p == QLatin1String("realtime"))
            o.pace = Pace::Realtime;
        else
            return fail(QStringLiteral("bad --pace value '%1' (expected full or realtime)").arg(p));
    }
    if (parser.isSet(rate)) {
        const auto n = number(rate, quint64(1) << 40);
        if (!n || *n == 0)
            return fail(QStringLiteral("bad --rate value '%1'").arg(parser.value(rate)));
        o.rateBytesPerSecond = *n;
    }
    if (parser.isSet(pingEvery)) {
        const auto n = number(pingEvery, 24 * 3600);
        if (!n)
            return result;
        o.pingEverySeconds = quint32(*n);
    }
    if (parser.isSet(auth)) {
        const QString value = parser.value(auth);
        const qsizetype colon = value.indexOf(QLatin1Char(':'));
        if (colon <= 0)
            return fail(QStringLiteral("bad --auth value '%1' (expected USER:PASSWORD)").arg(value));
        o.user = value.left(colon);
        o.password = value.mid(colon + 1);
    }
    if (parser.isSet(realm))
        o.realm = parser.value(realm);
    for (const QString &value : parser.values(errorOn)) {
        const QStringList parts = value.split(QLatin1Char(':'));
        const auto cmd = parts.size() == 2 ? parseNumber(parts[0], 0xFFFF) : std::nullopt;
        const auto hr = parts.size() == 2 ? parseNumber(parts[1], 0xFFFFFFFF) : std::nullopt;
        static const QList<quint64> commands{0x01, 0x02, 0x05, 0x07, 0x15, 0x18, 0x33};
        if (!cmd || !hr || !commands.contains(*cmd))
            return fail(QStringLiteral("bad --error-on value '%1' (expected CMD:HRESULT with CMD one of "
                                       "0x01 0x02 0x05 0x07 0x15 0x18 0x33)")
                            .arg(value));
        o.errorOn.insert(quint16(*cmd), quint32(*hr));
    }
    if (parser.isSet(dropAfter)) {
        if (!(o.dropAfter = number(dropAfter, ~quint64(0))))
            return result;
    }
    o.closeAfterEnd = parser.isSet(closeAfterEnd);
    o.stripPadding = parser.isSet(stripPadding);
    if (parser.isSet(corruptAfter)) {
        if (!(o.corruptAfter = number(corruptAfter, ~quint64(0))))
            return result;
    }
    o.drip = parser.isSet(drip);
    if (parser.isSet(udpDropEvery)) {
        const auto n = number(udpDropEvery, 0xFFFFFFFF);
        if (!n)
            return result;
        if (*n < 2)
            return fail(QStringLiteral("bad --udp-drop-every value '%1' (at least 2)")
                            .arg(parser.value(udpDropEvery)));
        o.udpDropEvery = quint32(*n);
    }
    for (const QString &value : parser.values(synthetic)) {
        const QStringList parts = value.split(QLatin1Char(':'));
        const auto bytes = parts.size() == 3 ? parseNumber(parts[1], quint64(1) << 50) : std::nullopt;
        const auto packet = parts.size() == 3 ? parseNumber(parts[2], maxMmsPacketSize) : std::nullopt;
        if (!bytes || !packet || *packet < SyntheticSource::minPacketSize || parts[0].isEmpty())
            return fail(QStringLiteral("bad --synthetic value '%1' (expected NAME:BYTES:PACKETSIZE with "
                                       "PACKETSIZE %2-%3)")
                            .arg(value)
                            .arg(SyntheticSource::minPacketSize)
                            .arg(maxMmsPacketSize));
        QString name = parts[0];
        while (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')))
            name.remove(0, 1);
        o.synthetic.append({name, *bytes, quint32(*packet)});
    }
    return result;
}

} // namespace mmsserver
