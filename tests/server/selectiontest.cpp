// Stream selection against the server, over binary MMS and over HTTP, with a file of three video bit
// rates: the payloads of dropped streams are left out of each packet, which keeps its size, number and
// times, and what a client puts together plays in ffmpeg.
#include "asfpackets.h"
#include "httpclient.h"
#include "sessionsteps.h"
#include "streamselection.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>

using namespace servertest;

namespace {

const QList<int> everyStream = {1, 2, 3, 4};

struct Selection
{
    const char *name;
    QList<std::pair<quint16, quint16>> entries; // {stream, 0 every packet / 1 key frames / 2 not wanted}
    QList<int> wanted;
    QString logged;
};

const std::vector<Selection> &selections()
{
    static const std::vector<Selection> table = {
        {"top video and audio", {{1, 2}, {2, 2}, {3, 0}, {4, 0}}, {3, 4}, "1 off, 2 off, 3 on, 4 on"},
        // Every packet that held only video goes out empty.
        {"audio only", {{1, 2}, {2, 2}, {3, 2}, {4, 0}}, {4}, "1 off, 2 off, 3 off, 4 on"},
        {"video only", {{1, 0}, {2, 0}, {3, 0}, {4, 2}}, {1, 2, 3}, "1 on, 2 on, 3 on, 4 off"},
        {"a stream not named is wanted", {{2, 2}}, {1, 3, 4}, "1 on, 2 off, 3 on, 4 on"},
        {"everything, one at key frames, one not in the header",
         {{1, 0}, {2, 1}, {3, 0}, {4, 0}, {9, 2}},
         everyStream,
         "1 on, 2 on, 3 on, 4 on, 9 off (not in the header)"},
    };
    return table;
}

QString threeRatesRoot()
{
    return QFileInfo(Media::threeRates()).absolutePath();
}

QString hexEntries(const QList<std::pair<quint16, quint16>> &entries)
{
    QStringList parts;
    for (const auto &[stream, level] : entries)
        parts.append(QStringLiteral("ffff:%1:%2").arg(stream, 0, 16).arg(level));
    return parts.join(QLatin1Char(' '));
}

// Checks served packets against the file's, one by one: the same size, send time and duration, exactly
// the file's payloads of the wanted streams byte for byte and in order, and the rest zero padding that
// the Padding Length counts. *rebuilt gets the header and the packets, as a recorder writes them.
void expectSelected(const std::vector<QByteArray> &packets, const AsfFile &file, const QList<int> &wanted,
                    const QByteArray &header, QByteArray *rebuilt)
{
    ASSERT_EQ(packets.size(), file.packetCount);
    *rebuilt = header;
    for (std::size_t i = 0; i < packets.size(); ++i) {
        SCOPED_TRACE(i);
        const QByteArray original = file.packet(i);
        const QByteArray &served = packets[i];
        ASSERT_EQ(served.size(), original.size());
        const PacketLook was = lookAtPacket(original);
        const PacketLook now = lookAtPacket(served);
        ASSERT_TRUE(was.ok);
        ASSERT_TRUE(now.ok);
        ASSERT_EQ(now.sendTime, was.sendTime);
        ASSERT_EQ(now.duration, was.duration);
        ASSERT_EQ(now.payloadBytes(served, everyStream), was.payloadBytes(original, wanted));
        ASSERT_EQ(now.padding, quint32(served.size() - now.usedBytes));
        ASSERT_EQ(served.mid(now.usedBytes), QByteArray(now.padding, '\0'));
        if (now.payloads.size() == was.payloads.size()) {
            ASSERT_EQ(served, original) << "a packet that loses nothing is sent as it is";
        }
        *rebuilt += served;
    }
}

// Packets ffprobe reads for each stream in header order; 0 where it reads none.
QList<int> probedPacketCounts(const QString &path)
{
    const RunResult r = run("ffprobe", {"-v", "error", "-count_packets", "-show_entries",
                                        "stream=nb_read_packets", "-of", "csv=p=0", path});
    QList<int> counts;
    for (const QByteArray &line : r.out.trimmed().split('\n'))
        counts.append(line.trimmed().toInt()); // "N/A" reads as 0
    return counts;
}

// The file plays to its end in ffmpeg without a complaint.
void expectPlays(const QString &path)
{
    const RunResult r = run("ffmpeg", {"-v", "error", "-i", path, "-f", "null", "-"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, QByteArray());
}

void expectRecordingOf(const QByteArray &rebuilt, const QString &name, const QList<int> &wanted)
{
    const QString path = Media::dir() + "/" + name + ".asf";
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(rebuilt);
    out.close();
    const QList<int> source = probedPacketCounts(Media::threeRates());
    ASSERT_EQ(source.size(), 4);
    QList<int> expected;
    for (int stream = 1; stream <= 4; ++stream)
        expected.append(wanted.contains(stream) ? source[stream - 1] : 0);
    EXPECT_EQ(probedPacketCounts(path), expected);
    expectPlays(path);
}

std::vector<QByteArray> playOverMms(quint16 port, const Selection &selection, QByteArray *header)
{
    ScriptedClient client;
    EXPECT_TRUE(readyToPlay(client, port, "three-rates.asf", header));
    client.streamSwitch(selection.entries);
    EXPECT_TRUE(client.expect(fromServer::streamSwitch));
    EXPECT_TRUE(play(client, 0));
    std::optional<Unit> end;
    std::vector<QByteArray> packets;
    for (const Unit &unit : client.readData(&end)) {
        EXPECT_EQ(u16(unit.bytes, 6), unit.bytes.size()) << "the packet length counts the whole packet";
        packets.push_back(unit.payload());
    }
    EXPECT_TRUE(end && end->id == fromServer::endOfStream && end->hr() == 0);
    return packets;
}

std::vector<QByteArray> playOverHttp(quint16 port, const Selection &selection, quint32 packetSize,
                                     QByteArray *header)
{
    const HttpAnswer played = httpExchange(
        port, playRequest("/three-rates.asf",
                          {QStringLiteral("Pragma: stream-switch-count=%1").arg(selection.entries.size()),
                           "Pragma: stream-switch-entry=" + hexEntries(selection.entries)}));
    EXPECT_TRUE(played.closed);
    EXPECT_EQ(played.status, 200);
    const std::vector<Chunk> chunks = splitChunks(played.body);
    for (const Chunk &h : chunksOfType(chunks, 'H'))
        *header += h.payload();
    std::vector<QByteArray> packets;
    for (const Chunk &d : chunksOfType(chunks, 'D')) {
        EXPECT_EQ(d.packetSize(), d.length);
        QByteArray packet = d.payload();
        packet.append(qsizetype(packetSize) - packet.size(), '\0');
        packets.push_back(packet);
    }
    return packets;
}

// What one selection brought, checked packet by packet; a recording of it holds only the wanted
// streams and plays, and a selection of everything gives the served file itself.
void expectSelection(const std::vector<QByteArray> &packets, const QByteArray &header, const AsfFile &file,
                     const Selection &selection, const QString &name)
{
    QByteArray rebuilt;
    expectSelected(packets, file, selection.wanted, header, &rebuilt);
    if (::testing::Test::HasFatalFailure())
        return;
    if (selection.wanted == everyStream)
        EXPECT_TRUE(rebuilt == file.bytes.left(rebuilt.size())) << "every stream: the served file";
    else
        expectRecordingOf(rebuilt, name, selection.wanted);
}

} // namespace

TEST(StreamSelection, BinaryMmsLeavesOutTheDroppedStreams)
{
    const AsfFile file = AsfFile::load(Media::threeRates());
    ASSERT_GT(file.packetCount, 0u);
    ServerProcess server;
    ASSERT_TRUE(server.start({"--root", threeRatesRoot(), "-v"}));
    for (std::size_t i = 0; i < selections().size(); ++i) {
        const Selection &selection = selections()[i];
        SCOPED_TRACE(selection.name);
        QByteArray header;
        const std::vector<QByteArray> packets = playOverMms(server.port(), selection, &header);
        ASSERT_EQ(header, file.header());
        expectSelection(packets, header, file, selection, QStringLiteral("selected-mms-%1").arg(i));
    }
    const QString log = server.stop();
    for (const Selection &selection : selections())
        EXPECT_TRUE(log.contains("stream selection: " + selection.logged)) << selection.logged.toStdString();
    EXPECT_TRUE(log.contains("stream selection trimmed")) << log.toStdString();
}

TEST(StreamSelection, HttpLeavesOutTheDroppedStreamsOfStrippedPackets)
{
    const AsfFile file = AsfFile::load(Media::threeRates());
    ServerProcess server;
    // Stripped padding too: an emptied packet travels as little more than its header.
    ASSERT_TRUE(server.start({"--root", threeRatesRoot(), "-v", "--strip-padding"}));
    for (std::size_t i = 0; i < selections().size(); ++i) {
        const Selection &selection = selections()[i];
        SCOPED_TRACE(selection.name);
        QByteArray header;
        const std::vector<QByteArray> packets =
            playOverHttp(server.port(), selection, file.packetSize, &header);
        expectSelection(packets, header, file, selection, QStringLiteral("selected-http-%1").arg(i));
    }
    const QString log = server.stop();
    for (const Selection &selection : selections()) {
        const QString line = QStringLiteral("stream selection (count %1): %2")
                                 .arg(selection.entries.size())
                                 .arg(selection.logged);
        EXPECT_TRUE(log.contains(line)) << line.toStdString();
    }
}

TEST(StreamSelection, LiveBroadcastIsTrimmedAfterItsTimesAreShifted)
{
    const AsfFile file = AsfFile::load(Media::threeRates());
    ServerProcess server;
    ASSERT_TRUE(
        server.start({"--root", threeRatesRoot(), "-v", "--live", "--pace", "full", "--live-seconds", "6"}));
    QByteArray header;
    const std::vector<QByteArray> packets = playOverMms(server.port(), selections().front(), &header);
    ASSERT_GT(packets.size(), file.packetCount) << "the broadcast loops";
    const QList<int> wanted = selections().front().wanted;
    for (std::size_t i = 0; i < packets.size(); ++i) {
        SCOPED_TRACE(i);
        const QByteArray original = file.packet(i % file.packetCount);
        const PacketLook was = lookAtPacket(original);
        const PacketLook now = lookAtPacket(packets[i]);
        ASSERT_TRUE(now.ok);
        ASSERT_GE(now.sendTime, 36000000u + was.sendTime);
        // The kept payloads are the file's, only their times moved: the same streams and sizes.
        const QList<QByteArray> kept = now.payloadBytes(packets[i], everyStream);
        const QList<QByteArray> expected = was.payloadBytes(original, wanted);
        ASSERT_EQ(kept.size(), expected.size());
        for (qsizetype k = 0; k < kept.size(); ++k) {
            ASSERT_EQ(kept[k].size(), expected[k].size());
            ASSERT_EQ(kept[k].at(0), expected[k].at(0)) << "stream number and key-frame bit";
        }
    }
    server.stop();
}

TEST(StreamSelection, SelectionLongerThanItsMessageClosesTheSession)
{
    ServerProcess server;
    ASSERT_TRUE(server.start({"--root", threeRatesRoot(), "-v"}));
    ScriptedClient client;
    ASSERT_TRUE(readyToPlay(client, server.port(), "three-rates.asf"));
    // Claims five entries, carries two.
    client.send(toServer::streamSwitch, QByteArray::fromHex("05000000ffff01000000ffff02000200"));
    EXPECT_TRUE(client.waitClosed());
    EXPECT_TRUE(server.stop().contains("malformed message (command 0x33 too short)"));
}

// Packets ffmpeg does not write: compressed payloads, and one that announces more than it holds.
TEST(PayloadFilter, KeepsCompressedPayloadsWholeAndLeavesUnreadablePacketsAlone)
{
    const qsizetype size = 120;
    auto le = [](quint32 v, int bytes) {
        QByteArray b;
        for (int i = 0; i < bytes; ++i)
            b.append(char((v >> (8 * i)) & 0xFF));
        return b;
    };
    // Error correction, multiple payloads without a Padding Length field, send time 1000, duration 40,
    // three payloads with word lengths.
    QByteArray packet = QByteArray::fromHex("820000"
                                            "01"
                                            "5d") +
                        le(1000, 4) + le(40, 2) + "\x83";
    // Stream 2, key frame: compressed, two sub-payloads of 3 and 2 bytes.
    packet += "\x82\x05" + le(1000, 4) + "\x01\x28" + le(7, 2) +
              "\x03"
              "abc"
              "\x02"
              "de";
    // Stream 1: a whole object of 10 bytes.
    packet += "\x01\x07" + le(0, 4) + "\x08" + le(10, 4) + le(1000, 4) + le(10, 2) + QByteArray(10, 'x');
    // Stream 3 fills the packet.
    const qsizetype header3 = 1 + 1 + 4 + 1 + 8 + 2;
    const qsizetype data3 = size - packet.size() - header3;
    packet += "\x03\x06" + le(0, 4) + "\x08" + le(quint32(data3), 4) + le(1000, 4) + le(quint32(data3), 2) +
              QByteArray(data3, 'y');
    ASSERT_EQ(packet.size(), size);
    const PacketLook original = lookAtPacket(packet);
    ASSERT_TRUE(original.ok);
    ASSERT_EQ(original.payloads.size(), 3u);

    struct Case
    {
        QList<int> dropped;
        mmsserver::PayloadFilter result;
        QList<int> kept;
    };
    const Case cases[] = {
        {{}, mmsserver::PayloadFilter::Unchanged, {1, 2, 3}},
        {{9}, mmsserver::PayloadFilter::Unchanged, {1, 2, 3}},
        {{1}, mmsserver::PayloadFilter::Trimmed, {2, 3}},
        {{2, 3}, mmsserver::PayloadFilter::Trimmed, {1}},
        {{1, 2, 3}, mmsserver::PayloadFilter::Emptied, {}},
    };
    for (const Case &c : cases) {
        QStringList dropped;
        for (int stream : c.dropped)
            dropped.append(QString::number(stream));
        SCOPED_TRACE("dropped " + dropped.join(',').toStdString());
        mmsserver::StreamSelection selection;
        for (int stream : c.dropped)
            selection.choose(quint16(stream), false);
        QByteArray filtered = packet;
        EXPECT_EQ(mmsserver::keepWantedPayloads(filtered.data(), size, selection), c.result);
        const PacketLook now = lookAtPacket(filtered);
        ASSERT_TRUE(now.ok);
        EXPECT_EQ(now.sendTime, 1000u);
        EXPECT_EQ(now.payloadBytes(filtered, {1, 2, 3}), original.payloadBytes(packet, c.kept));
        EXPECT_EQ(filtered.mid(now.usedBytes), QByteArray(now.padding, '\0'));
        if (c.result == mmsserver::PayloadFilter::Unchanged)
            EXPECT_EQ(filtered, packet);
        else
            EXPECT_EQ(now.paddingWidth, 1) << "the smallest field that holds the padding";
    }

    // The first payload claims more bytes than the packet has: nothing is changed.
    QByteArray broken = packet;
    broken[packet.indexOf("\x03"
                          "abc") -
           2] = char(0xF0);
    const QByteArray before = broken;
    mmsserver::StreamSelection dropOne;
    dropOne.choose(1, false);
    EXPECT_EQ(mmsserver::keepWantedPayloads(broken.data(), size, dropOne),
              mmsserver::PayloadFilter::Unreadable);
    EXPECT_EQ(broken, before);
}
