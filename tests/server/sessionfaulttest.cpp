// Sessions that meet errors, garbage and injected faults.
#include "sessionsteps.h"

#include <gtest/gtest.h>

using namespace servertest;

TEST(ErrorSession, MissingAndEscapingPathsGetFileErrors)
{
    ServerProcess server;
    ASSERT_TRUE(server.start(sampleRootArgs()));
    const std::pair<QString, quint32> cases[] = {
        {"nothing-here.asf", 0xC00D001A},
        {"../sample.asf", 0xC00D001C},
        {"\\..\\..\\etc\\passwd", 0xC00D001C},
        {"", 0xC00D001C},
    };
    for (const auto &[path, hr] : cases) {
        SCOPED_TRACE(path.toStdString());
        ScriptedClient client;
        ASSERT_TRUE(client.connectTo(server.port()));
        const auto opened = client.open(path);
        ASSERT_TRUE(opened);
        EXPECT_EQ(opened->hr(), hr);
        EXPECT_EQ(u32(opened->bytes, 48), 0u);
        EXPECT_EQ(u32(opened->bytes, 60), 0u);
    }
    EXPECT_TRUE(server.stop().contains("error reply 0x06 hr 0xC00D001A"));
}

TEST(ErrorSession, InjectedErrorIsCarriedByTheReplyToThatCommand)
{
    struct Case
    {
        quint16 command;
        quint16 reply;
    };
    const Case cases[] = {
        {toServer::connect, fromServer::connectedEx},
        {toServer::funnelInfo, fromServer::funnelInfo},
        {toServer::connectFunnel, fromServer::disconnectedFunnel},
        {toServer::openFile, fromServer::openFile},
        {toServer::readBlock, fromServer::readBlock},
        {toServer::streamSwitch, fromServer::streamSwitch},
        {toServer::startPlaying, fromServer::startedPlaying},
    };
    const quint32 hr = 0xC00D0013;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command);
        ServerProcess server;
        ASSERT_TRUE(server.start(
            sampleRootArgs() +
            QStringList{"--error-on",
                        QStringLiteral("0x%1:0xC00D0013").arg(c.command, 2, 16, QLatin1Char('0'))}));
        ScriptedClient client;
        ASSERT_TRUE(client.connectTo(server.port()));
        const std::vector<std::pair<quint16, std::function<void()>>> steps = {
            {toServer::connect, [&] { client.connect(0xF0F0F0EF); }},
            {toServer::funnelInfo, [&] { client.funnelInfo(0); }},
            {toServer::connectFunnel, [&] { client.connectFunnel("\\\\127.0.0.1\\TCP\\1037"); }},
            {toServer::openFile, [&] { client.openFile("sample.asf"); }},
            {toServer::readBlock, [&] { client.readBlock(2); }},
            {toServer::streamSwitch, [&] { client.streamSwitch(); }},
            {toServer::startPlaying, [&] { client.startPlaying(0xFFFFFFFF); }},
        };
        for (const auto &[command, step] : steps) {
            step();
            if (command == c.command) {
                const auto reply = client.next();
                ASSERT_TRUE(reply);
                EXPECT_EQ(reply->id, c.reply);
                EXPECT_EQ(reply->hr(), hr);
                break;
            }
            const auto reply = client.next();
            ASSERT_TRUE(reply && reply->command);
            EXPECT_EQ(reply->hr(), 0u);
            if (command == toServer::readBlock) // skip the header pieces
                while (auto piece = client.next())
                    if (piece->flags() == lastHeaderPieceFlag)
                        break;
        }
        EXPECT_TRUE(server.stop().contains(
            QStringLiteral("error reply 0x%1 hr 0xC00D0013").arg(c.reply, 2, 16, QLatin1Char('0'))));
    }
}

TEST(RobustSession, GarbageClosesThatSessionOnlyAndOthersKeepStreaming)
{
    const AsfFile file = AsfFile::load(Media::sample());
    ServerProcess server;
    ASSERT_TRUE(server.start(sampleRootArgs()));
    ScriptedClient good;
    ASSERT_TRUE(good.connectTo(server.port()));
    ASSERT_TRUE(good.open("sample.asf"));

    const quint32 mmsSeal = 0x20534D4D;
    const quint16 clientDirection = 3, serverDirection = 4;
    auto header = [](quint32 length, quint32 seal, quint16 id, quint16 direction) {
        QByteArray m = QByteArray::fromHex("01000000cefa0bb0");
        m += QByteArray(reinterpret_cast<const char *>(&length), 4);
        m += QByteArray(reinterpret_cast<const char *>(&seal), 4);
        m += QByteArray(20, '\0');
        m += QByteArray(reinterpret_cast<const char *>(&id), 2);
        m += QByteArray(reinterpret_cast<const char *>(&direction), 2);
        return m;
    };
    const std::pair<const char *, QByteArray> garbage[] = {
        {"random bytes", QByteArray::fromHex("deadbeefdeadbeefdeadbeefdeadbeef")},
        {"huge length", header(0x7FFFFFF0, mmsSeal, toServer::connect, clientDirection)},
        {"length below the header", header(8, mmsSeal, toServer::connect, clientDirection)},
        {"wrong seal", header(24, 0x12345678, toServer::connect, clientDirection)},
        {"server direction", header(24, mmsSeal, toServer::connect, serverDirection)},
        {"StartPlaying without its fields", header(24, mmsSeal, toServer::startPlaying, clientDirection)},
        {"ReadBlock without its pi", header(24, mmsSeal, toServer::readBlock, clientDirection)},
    };
    for (const auto &[name, bytes] : garbage) {
        SCOPED_TRACE(name);
        ScriptedClient bad;
        ASSERT_TRUE(bad.connectTo(server.port()));
        bad.sendRaw(bytes);
        EXPECT_TRUE(bad.waitClosed());
    }
    // An unknown command is ignored, not fatal.
    ScriptedClient odd;
    ASSERT_TRUE(odd.connectTo(server.port()));
    const quint16 unknownCommand = 0x77;
    odd.send(unknownCommand, QByteArray(8, '\0'));
    odd.connect(0);
    EXPECT_TRUE(odd.expect(fromServer::connectedEx));

    ASSERT_TRUE(good.readHeader());
    good.startPlaying(0xFFFFFFFF);
    ASSERT_TRUE(good.expect(fromServer::startedPlaying));
    std::optional<Unit> end;
    expectPackets(good.readData(&end), file, 0);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->id, fromServer::endOfStream);
    const QString log = server.stop();
    EXPECT_GE(log.count("malformed message"), 7) << log.toStdString();
    EXPECT_TRUE(log.contains("ignored command 0x77"));
}

namespace {

// A fault asked for on the command line, and what a client playing through it must see.
struct PlaybackFault
{
    const char *name;
    QStringList args;
    // Play this many packets before the end; 0 = from the first.
    quint64 fromEnd = 0;
    // Data packets that arrive; if unset, all from the start point.
    std::optional<quint64> packets = std::nullopt;
    // Index of an extra packet of an unknown kind.
    std::optional<std::size_t> corruptAt = std::nullopt;
    // EndOfStream follows the data.
    bool ends = true;
    // The server closes the connection after the data.
    bool closes = false;
    int timeoutMs = 20000;
};

void PrintTo(const PlaybackFault &fault, std::ostream *out)
{
    *out << fault.name;
}

class FaultSession : public ::testing::TestWithParam<PlaybackFault>
{};

} // namespace

TEST_P(FaultSession, ClientSeesExactlyThatFault)
{
    const PlaybackFault &fault = GetParam();
    const AsfFile file = AsfFile::load(Media::sample());
    ServerProcess server;
    ASSERT_TRUE(server.start(sampleRootArgs() + fault.args));
    ScriptedClient client(fault.timeoutMs);
    QByteArray header;
    ASSERT_TRUE(readyToPlay(client, server.port(), "sample.asf", &header));
    EXPECT_EQ(header, file.header());
    const quint64 first = fault.fromEnd ? file.packetCount - fault.fromEnd : 0;
    ASSERT_TRUE(play(client, fault.fromEnd ? quint32(first) : 0xFFFFFFFF));
    std::optional<Unit> end;
    std::vector<Unit> packets = client.readData(&end);
    if (fault.corruptAt) {
        const std::size_t at = *fault.corruptAt;
        ASSERT_GT(packets.size(), at + 1);
        EXPECT_NE(packets[at].kind(), 4) << "not a data packet";
        EXPECT_NE(packets[at].kind(), 2) << "not a header packet";
        packets.erase(packets.begin() + qsizetype(at));
    }
    // Apart from the fault, the data are the file's packets.
    expectPackets(packets, file, first, fault.packets);
    ASSERT_EQ(end.has_value(), fault.ends) << "a dropped connection ends without EndOfStream";
    if (end) {
        EXPECT_EQ(end->id, fromServer::endOfStream);
        EXPECT_EQ(end->hr(), 0u);
    }
    if (fault.closes) {
        EXPECT_TRUE(client.waitClosed());
    }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, FaultSession,
    ::testing::Values(
        PlaybackFault{.name = "DropAfter",
                      .args = {"--drop-after", "10"},
                      .packets = 10,
                      .ends = false,
                      .closes = true},
        PlaybackFault{.name = "CloseAfterEnd", .args = {"--close-after-end"}, .fromEnd = 2, .closes = true},
        PlaybackFault{.name = "CorruptAfter", .args = {"--corrupt-after", "5"}, .corruptAt = 5},
        // One byte per write is slow, hence only the last packets and a longer wait.
        PlaybackFault{.name = "Drip", .args = {"--drip"}, .fromEnd = 8, .timeoutMs = 60000}),
    [](const ::testing::TestParamInfo<PlaybackFault> &info) { return std::string(info.param.name); });
