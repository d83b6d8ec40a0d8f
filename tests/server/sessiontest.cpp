#include "sessionsteps.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QtEndian>
#include <set>

using namespace servertest;

namespace {

// A resend request for one data packet: signature, the client id from FunnelInfo, source id 1, one
// sequence number.
QByteArray resendRequest(const QByteArray &clientId, quint32 sequence)
{
    QByteArray request = QByteArray::fromHex("0df0efbe") + clientId + QByteArray::fromHex("01000100");
    request.resize(request.size() + 4);
    qToLittleEndian(sequence, request.data() + request.size() - 4);
    return request;
}

} // namespace

TEST(StoredSession, PacketPairHandshakeThenWholeFileByteForByte)
{
    const AsfFile file = AsfFile::load(Media::sample());
    ASSERT_GT(file.packetCount, 10u);
    ServerProcess server;
    ASSERT_TRUE(server.start(sampleRootArgs()));
    ScriptedClient client;
    ASSERT_TRUE(client.connectTo(server.port()));

    client.connect(0xF0F0F0F0);
    const auto connected = client.expect(fromServer::connectedEx);
    ASSERT_TRUE(connected);
    EXPECT_EQ(connected->hr(), 0u);
    EXPECT_EQ(u32(connected->bytes, 44), 0xF0F0F0F0u);
    EXPECT_EQ(u32(connected->bytes, 80), 8u) << "\"9.1.1.1\" + NUL in UTF-16 characters";
    EXPECT_EQ(connected->bytes.mid(96, 4), QByteArray("9\0.\0", 4));

    client.funnelInfo(0xF0F0F0F1);
    std::vector<int> sizes;
    std::set<quint32> clientIds;
    for (int i = 0; i < 3; ++i) {
        const auto funnel = client.expect(fromServer::funnelInfo);
        ASSERT_TRUE(funnel);
        sizes.push_back(int(funnel->bytes.size()));
        EXPECT_EQ(u32(funnel->bytes, 44), 0xF0F0F0F1u);
        clientIds.insert(u32(funnel->bytes, 60));
    }
    EXPECT_EQ(sizes, (std::vector<int>{512, 512, 1056}));
    EXPECT_EQ(clientIds.size(), 1u) << "all three carry the same client id";

    client.connectFunnel("\\\\192.168.0.129\\TCP\\1037");
    ASSERT_TRUE(client.expect(fromServer::connectedFunnel));
    client.openFile("/sample.asf", 7);
    const auto opened = client.expect(fromServer::openFile);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->bytes.size(), 152);
    EXPECT_EQ(opened->hr(), 0u);
    EXPECT_EQ(u32(opened->bytes, 44), 7u);
    EXPECT_EQ(u32(opened->bytes, 48), 1u);
    EXPECT_EQ(u32(opened->bytes, 60), 0x01800000u);
    EXPECT_NEAR(f64(opened->bytes, 64), 3.0, 0.2);
    EXPECT_EQ(u32(opened->bytes, 72), 4u) << "whole seconds rounded up";
    EXPECT_EQ(u32(opened->bytes, 92), file.packetSize);
    EXPECT_EQ(u64(opened->bytes, 96), file.packetCount);
    EXPECT_GT(u32(opened->bytes, 104), 0u);
    EXPECT_EQ(u32(opened->bytes, 108), quint32(file.headerSize));

    int pieces = 0;
    const auto header = client.readHeader(&pieces);
    ASSERT_TRUE(header);
    EXPECT_EQ(*header, file.header());
    EXPECT_GE(pieces, 2);

    client.streamSwitch();
    ASSERT_TRUE(client.expect(fromServer::streamSwitch));
    client.startPlaying(0xFFFFFFFF);
    const auto started = client.expect(fromServer::startedPlaying);
    ASSERT_TRUE(started);
    EXPECT_EQ(u32(started->bytes, 44), 4u);
    std::optional<Unit> end;
    expectPackets(client.readData(&end), file, 0);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->id, fromServer::endOfStream);
    EXPECT_EQ(end->hr(), 0u);
    EXPECT_EQ(u32(end->bytes, 44), 4u);

    client.closeFile();
    EXPECT_TRUE(client.waitClosed());
    const QString log = server.stop();
    EXPECT_TRUE(log.contains("session 1: open /sample.asf")) << log.toStdString();
    EXPECT_TRUE(log.contains("session 1: start packet 0"));
    EXPECT_TRUE(log.contains("session 1: end of stream"));
    EXPECT_TRUE(log.contains("session 1: closed"));
}

TEST(StoredSession, ClientWithoutPacketPairGetsOneFunnelReply)
{
    ServerProcess server;
    ASSERT_TRUE(server.start(sampleRootArgs()));
    ScriptedClient client;
    ASSERT_TRUE(client.connectTo(server.port()));
    client.connect(0);
    const auto connected = client.expect(fromServer::connectedEx);
    ASSERT_TRUE(connected);
    EXPECT_EQ(u32(connected->bytes, 44), 0xF0F0F0EFu);
    client.funnelInfo(0x00F0F0F0);
    const auto funnel = client.expect(fromServer::funnelInfo);
    ASSERT_TRUE(funnel);
    EXPECT_EQ(funnel->bytes.size(), 80);
    EXPECT_EQ(u32(funnel->bytes, 44), 0xF0F0F0EFu);
    // The next reply must answer the ConnectFunnel, not be a second FunnelInfo reply.
    client.connectFunnel("\\\\192.168.0.1\\TCP\\1037");
    EXPECT_TRUE(client.expect(fromServer::connectedFunnel));

    // An old client goes from Connect straight to ConnectFunnel.
    ScriptedClient old;
    ASSERT_TRUE(old.connectTo(server.port()));
    old.connect(0);
    ASSERT_TRUE(old.expect(fromServer::connectedEx));
    old.connectFunnel("\\\\192.168.0.1\\TCP\\1037");
    EXPECT_TRUE(old.expect(fromServer::connectedFunnel));
}

TEST(StoredSession, ResumesFromAnyStartFieldByteForByte)
{
    const AsfFile file = AsfFile::load(Media::sample());
    ServerProcess server;
    ASSERT_TRUE(server.start(sampleRootArgs()));
    const quint64 p = file.packetCount / 2;
    struct Case
    {
        const char *name;
        quint32 location;
        quint32 asfOffset;
        quint64 first;
    };
    const Case cases[] = {
        {"locationId", quint32(p), 0xFFFFFFFF, p},
        {"asfOffset", 0xFFFFFFFF, quint32(file.headerSize + qsizetype(p + 1) * file.packetSize), p + 1},
        {"last packet", quint32(file.packetCount - 1), 0xFFFFFFFF, file.packetCount - 1},
        {"past the end", quint32(file.packetCount + 5), 0xFFFFFFFF, file.packetCount},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedClient client;
        ASSERT_TRUE(readyToPlay(client, server.port()));
        client.streamSwitch();
        ASSERT_TRUE(client.expect(fromServer::streamSwitch));
        ASSERT_TRUE(play(client, c.location, 4, c.asfOffset));
        std::optional<Unit> end;
        expectPackets(client.readData(&end), file, c.first);
        ASSERT_TRUE(end);
        EXPECT_EQ(end->id, fromServer::endOfStream);
        EXPECT_EQ(end->hr(), 0u);
    }
    EXPECT_TRUE(server.stop().contains(QStringLiteral("start packet %1").arg(p)));
}

TEST(StoredSession, StopThenPlayAgainCarriesTheNewIncarnation)
{
    const AsfFile file = AsfFile::load(Media::sample());
    ServerProcess server;
    ASSERT_TRUE(server.start(sampleRootArgs() + QStringList{"--pace", "realtime"}));
    ScriptedClient client;
    ASSERT_TRUE(readyToPlay(client, server.port()));
    ASSERT_TRUE(play(client, 0xFFFFFFFF, 4));
    client.stopPlaying(5);
    // Packets already on the way may precede the EndOfStream that answers the stop.
    std::optional<Unit> end;
    client.readData(&end);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->id, fromServer::endOfStream);
    EXPECT_EQ(u32(end->bytes, 44), 5u);
    ASSERT_TRUE(play(client, quint32(file.packetCount - 3), 6));
    const auto packets = client.readData(&end);
    ASSERT_EQ(packets.size(), 3u);
    EXPECT_EQ(packets[0].kind(), 6);
    EXPECT_EQ(packets[0].payload(), file.packet(file.packetCount - 3));
}

TEST(LiveSession, LoopsWithLargeLocationsAndContinuousSendTimes)
{
    const AsfFile file = AsfFile::load(Media::sample());
    ServerProcess server;
    ASSERT_TRUE(
        server.start(sampleRootArgs() + QStringList{"--live", "--pace", "full", "--live-seconds", "7"}));
    ScriptedClient client;
    ASSERT_TRUE(client.connectTo(server.port()));
    const auto opened = client.open("sample.asf");
    ASSERT_TRUE(opened);
    EXPECT_EQ(u32(opened->bytes, 60), 0x02000000u);
    EXPECT_EQ(u64(opened->bytes, 96), 0u);
    EXPECT_EQ(f64(opened->bytes, 64), 0.0);
    EXPECT_EQ(u32(opened->bytes, 92), file.packetSize);
    EXPECT_EQ(u32(opened->bytes, 108), quint32(file.headerSize));
    const auto header = client.readHeader();
    ASSERT_TRUE(header);
    ASSERT_EQ(header->size(), file.headerSize);
    EXPECT_EQ(u32(*header, file.filePropertiesAt + 88) & 0x3, 0x1u) << "broadcast set, seekable clear";
    EXPECT_EQ(u64(*header, file.filePropertiesAt + 56), 0u);

    client.startPlaying(0, 4);
    ASSERT_TRUE(client.expect(fromServer::startedPlaying));
    std::optional<Unit> end;
    const auto packets = client.readData(&end);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->id, fromServer::endOfStream);
    ASSERT_GT(packets.size(), 2 * file.packetCount) << "7 s of a 3 s file loops twice";
    const quint32 firstLocation = packets.front().location();
    EXPECT_GE(firstLocation, 100000u);
    quint32 previousTime = 0;
    for (std::size_t i = 0; i < packets.size(); ++i) {
        ASSERT_EQ(packets[i].location(), firstLocation + i);
        ASSERT_EQ(packets[i].kind(), 4);
        const QByteArray payload = packets[i].payload();
        const quint32 time = packetSendTime(payload);
        ASSERT_GE(time, previousTime) << "send times continue across the loop at packet " << i;
        previousTime = time;
        // Apart from times, a looped packet is the file's packet.
        const QByteArray original = file.packet(i % file.packetCount);
        ASSERT_EQ(payload.size(), original.size());
        EXPECT_EQ(payload.left(5), original.left(5));
    }
    const quint32 firstTime = packetSendTime(packets.front().payload());
    EXPECT_GE(firstTime, 3600u * 1000) << "shifted by a large offset";
    EXPECT_GE(previousTime - firstTime, 6000u);
    EXPECT_LT(previousTime - firstTime, 7000u);
    EXPECT_GT(packetSendTime(packets[file.packetCount].payload()),
              packetSendTime(packets[file.packetCount - 1].payload()));
}

TEST(UdpSession, HeaderAndDataAsDatagramsWithDropsAndResend)
{
    const AsfFile file = AsfFile::load(Media::sample());
    ServerProcess server;
    ASSERT_TRUE(server.start(sampleRootArgs() + QStringList{"--udp-drop-every", "5", "--rate", "1000000"}));
    QUdpSocket udp;
    ASSERT_TRUE(udp.bind(QHostAddress::LocalHost, 0));
    udp.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4 * 1024 * 1024);
    std::vector<QByteArray> datagrams;
    auto drain = [&] {
        while (udp.hasPendingDatagrams())
            datagrams.push_back(udp.receiveDatagram().data());
    };
    ScriptedClient client;
    client.whileWaiting = drain;
    ASSERT_TRUE(client.connectTo(server.port()));
    client.connect(0xF0F0F0EF);
    ASSERT_TRUE(client.expect(fromServer::connectedEx));
    client.funnelInfo(0xF0F0F0EF);
    const auto funnel = client.expect(fromServer::funnelInfo);
    ASSERT_TRUE(funnel);
    client.connectFunnel(QStringLiteral("\\\\10.9.8.7\\UDP\\%1").arg(udp.localPort()));
    ASSERT_TRUE(client.expect(fromServer::connectedFunnel));
    client.openFile("sample.asf");
    ASSERT_TRUE(client.expect(fromServer::openFile));
    client.readBlock(2);
    ASSERT_TRUE(client.expect(fromServer::readBlock));
    client.startPlaying(0xFFFFFFFF, 4);
    ASSERT_TRUE(client.expect(fromServer::startedPlaying)) << "commands stay on TCP";
    const auto end = client.next();
    ASSERT_TRUE(end && end->command);
    EXPECT_EQ(end->id, fromServer::endOfStream);
    // Everything sent before the EndOfStream is already queued on the UDP socket.
    QDeadlineTimer settle(2000);
    while (udp.waitForReadyRead(int(std::max<qint64>(1, settle.remainingTime()))))
        drain();
    drain();

    QByteArray header;
    std::map<quint32, QByteArray> data;
    for (const QByteArray &d : datagrams) {
        ASSERT_EQ(u16(d, 6), d.size());
        if (quint8(d.at(4)) == 2)
            header += d.mid(8);
        else if (quint8(d.at(4)) == 4)
            data[u32(d, 0)] = d;
    }
    // With fewer than five header pieces none is dropped; the data show the drop pattern.
    const int limit = int(std::min<quint32>(8192, file.packetSize));
    const int pieces = std::max(2, (int(file.headerSize) + limit - 1) / limit);
    ASSERT_LT(pieces, 5);
    EXPECT_EQ(header, file.header());
    const quint64 sent = pieces + file.packetCount;
    EXPECT_EQ(datagrams.size(), sent - sent / 5);
    std::vector<quint32> missing;
    for (quint32 i = 0; i < file.packetCount; ++i) {
        const bool dropped = (pieces + i + 1) % 5 == 0;
        if (dropped) {
            EXPECT_EQ(data.count(i), 0u) << i;
            missing.push_back(i);
        } else {
            ASSERT_EQ(data.count(i), 1u) << i;
            EXPECT_EQ(data[i].mid(8), file.packet(i));
        }
    }
    ASSERT_FALSE(missing.empty());

    // Ask for the first missing packet by its sequence number on the server's UDP port.
    datagrams.clear();
    udp.writeDatagram(resendRequest(funnel->bytes.mid(60, 4), missing.front()), QHostAddress::LocalHost,
                      server.port());
    ASSERT_TRUE(udp.waitForReadyRead(10000));
    drain();
    ASSERT_EQ(datagrams.size(), 1u);
    EXPECT_EQ(u32(datagrams[0], 0), missing.front());
    EXPECT_EQ(datagrams[0].mid(8), file.packet(missing.front()));
}

TEST(LoginSession, BasicChallengeAcceptsGoodAndRefusesBadAnswers)
{
    ServerProcess server;
    ASSERT_TRUE(
        server.start(sampleRootArgs() + QStringList{"--auth", "alice:s3cret:x", "--realm", "Test Realm"}));
    auto ourToken = [](const QByteArray &credentials) {
        const QByteArray b64 = credentials.toBase64();
        return std::make_pair(b64 + QByteArray(4, '\0'), quint32(b64.size() + 5));
    };
    auto msToken = [](const QByteArray &credentials) {
        const QByteArray b64 = credentials.toBase64();
        return std::make_pair(b64 + QByteArray(1, '\0'), quint32(b64.size() + 1));
    };
    auto prefixed = [](const QByteArray &credentials) {
        const QByteArray text = "Basic " + credentials.toBase64();
        return std::make_pair(text + QByteArray(1, '\0'), quint32(text.size() + 1));
    };
    struct Case
    {
        const char *name;
        std::pair<QByteArray, quint32> token;
        quint32 hr;
    };
    const Case cases[] = {
        {"our client's layout", ourToken("alice:s3cret:x"), 0},
        {"MS-MMSP layout", msToken("alice:s3cret:x"), 0},
        {"with a Basic prefix", prefixed("alice:s3cret:x"), 0},
        {"wrong password", ourToken("alice:guess"), 0x80070005},
        {"wrong user", ourToken("bob:s3cret:x"), 0x80070005},
        {"not base64", std::make_pair(QByteArray("@@@@\0\0\0\0", 8), 9u), 0x80070005},
        {"declared length past the message", std::make_pair(QByteArray("YQ=="), 5000u), 0x80070005},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedClient client;
        ASSERT_TRUE(client.connectTo(server.port()));
        client.connect(0xF0F0F0EF);
        const auto connected = client.expect(fromServer::connectedEx);
        ASSERT_TRUE(connected);
        EXPECT_EQ(u32(connected->bytes, 92), 6u);
        EXPECT_EQ(connected->bytes.mid(96 + 16, 12), utf16z("BASIC"));
        client.funnelInfo(0);
        ASSERT_TRUE(client.expect(fromServer::funnelInfo));
        client.connectFunnel("\\\\127.0.0.1\\TCP\\1037");
        ASSERT_TRUE(client.expect(fromServer::connectedFunnel));
        client.openFile("sample.asf", 3);
        const auto challenge = client.expect(fromServer::securityChallenge);
        ASSERT_TRUE(challenge);
        EXPECT_EQ(u32(challenge->bytes, 40), 3u);
        EXPECT_EQ(u32(challenge->bytes, 44), 1u);
        const QByteArray realm = utf16z(QStringLiteral("realm=\"Test Realm\""));
        EXPECT_EQ(u32(challenge->bytes, 48), quint32(realm.size()));
        EXPECT_EQ(challenge->bytes.mid(52, realm.size()), realm);

        client.securityResponse(c.token.first, c.token.second);
        const auto opened = client.expect(fromServer::openFile);
        ASSERT_TRUE(opened);
        EXPECT_EQ(opened->hr(), c.hr);
        if (c.hr == 0) {
            EXPECT_EQ(u32(opened->bytes, 60), 0x01800000u);
            EXPECT_TRUE(client.readHeader());
        } else {
            EXPECT_EQ(u32(opened->bytes, 92), 0u) << "an error leaves the file fields zero";
        }
    }
    EXPECT_TRUE(server.stop().contains("error reply 0x06 hr 0x80070005"));
}

TEST(KeepAliveSession, PingsAQuietClientAndTakesThePong)
{
    ServerProcess server;
    ASSERT_TRUE(server.start(sampleRootArgs() + QStringList{"--ping-every", "1"}));
    ScriptedClient client;
    ASSERT_TRUE(client.connectTo(server.port()));
    client.connect(0);
    ASSERT_TRUE(client.expect(fromServer::connectedEx));
    client.autoPong = false;
    const auto ping = client.next(); // nothing else is due, so this waits for the ping
    ASSERT_TRUE(ping);
    EXPECT_EQ(ping->id, fromServer::ping);
    EXPECT_EQ(ping->bytes.size(), 48);
    EXPECT_EQ(ping->hr(), 0u);
    client.pong();
    client.funnelInfo(0);
    ASSERT_TRUE(client.expect(fromServer::funnelInfo));
    EXPECT_TRUE(server.stop().contains("session 1: pong"));
}

TEST(PacedSession, RealtimeAndRateNeverRunAheadOfTheMedia)
{
    ServerProcess server;
    ASSERT_TRUE(server.start({"--synthetic", "paced:60000:1000", "--pace", "realtime"}));
    ScriptedClient client;
    ASSERT_TRUE(readyToPlay(client, server.port(), "paced"));
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(play(client, 0xFFFFFFFF));
    const auto packets = client.readData();
    ASSERT_GT(packets.size(), 2u);
    const quint32 span = packetSendTime(packets.back().payload()) - packetSendTime(packets.front().payload());
    EXPECT_GE(clock.elapsed() + 50, qint64(span)) << "the last packet goes out at its send time";

    ServerProcess limited;
    ASSERT_TRUE(limited.start({"--synthetic", "limited:200000:2000", "--rate", "200000"}));
    ScriptedClient slow;
    ASSERT_TRUE(readyToPlay(slow, limited.port(), "limited"));
    clock.restart();
    ASSERT_TRUE(play(slow, 0xFFFFFFFF));
    const auto limitedPackets = slow.readData();
    const qint64 bytes = qint64(limitedPackets.size()) * (2000 + 8);
    EXPECT_GE(clock.elapsed() + 50, (bytes - 2008) * 1000 / 200000);
}
