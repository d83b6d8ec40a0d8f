// MMS over HTTP against the server, byte for byte, with a scripted client.
#include "httpclient.h"
#include "sessionsteps.h"

#include <gtest/gtest.h>

using namespace servertest;

namespace {

constexpr quint32 liveLocationBase = 1000000;

// Checks $D chunks against the file from packet `first` on: numbering, framing and the payload padded
// back to the packet size.
void expectDataChunks(const std::vector<Chunk> &data, const AsfFile &file, quint64 first, quint8 incarnation)
{
    for (std::size_t i = 0; i < data.size(); ++i) {
        const Chunk &d = data[i];
        ASSERT_EQ(d.start, 0x24);
        ASSERT_EQ(d.location(), first + i);
        ASSERT_EQ(d.incarnation(), incarnation);
        ASSERT_EQ(d.flags(), quint8(i)) << "AFFlags counts the packets of this play";
        ASSERT_EQ(d.packetSize(), d.length) << "PacketSize repeats the framing length";
        ASSERT_LE(d.payload().size(), qsizetype(file.packetSize));
        QByteArray padded = d.payload();
        padded.append(file.packetSize - padded.size(), '\0');
        ASSERT_EQ(padded, file.packet(first + i)) << "packet " << first + i;
    }
}

// The header joined from consecutive $H chunks, checking their numbering and flags.
QByteArray joinHeader(const std::vector<Chunk> &headerChunks, quint8 incarnation)
{
    QByteArray header;
    for (std::size_t i = 0; i < headerChunks.size(); ++i) {
        const Chunk &h = headerChunks[i];
        const bool last = i + 1 == headerChunks.size();
        EXPECT_EQ(h.location(), i);
        EXPECT_EQ(h.incarnation(), incarnation);
        EXPECT_EQ(h.flags(), last ? 0x0C : 0x04);
        EXPECT_EQ(h.packetSize(), h.length);
        header += h.payload();
    }
    return header;
}

QByteArray streamOffset(quint64 offset)
{
    return QByteArray::number(offset >> 32) + ':' + QByteArray::number(offset & 0xFFFFFFFF);
}

} // namespace

TEST(MmshStored, DescribeThenPlayRebuildTheFileByteForByte)
{
    const AsfFile file = AsfFile::load(Media::sample());
    ServerProcess server;
    ASSERT_TRUE(server.start(sampleRootArgs()));

    const HttpAnswer described = httpExchange(server.port(), playerRequest("/sample.asf"));
    ASSERT_TRUE(described.closed);
    EXPECT_EQ(described.statusLine, "HTTP/1.0 200 OK");
    EXPECT_EQ(described.header("Content-Type"), "application/vnd.ms.wms-hdr.asfv1");
    EXPECT_EQ(described.header("Server"), "Cougar/9.01.01.3814");
    EXPECT_EQ(described.header("Content-Length").toLongLong(), described.body.size());
    const QList<QByteArray> pragmas = described.headerValues("Pragma");
    EXPECT_TRUE(pragmas.contains("features=\"seekable,stridable\"")) << pragmas.join('|').toStdString();
    EXPECT_TRUE(std::any_of(pragmas.begin(), pragmas.end(), [](const QByteArray &p) {
        return p.startsWith("client-id=") && p.mid(10).toUInt() > 0;
    }));
    // Only the header: one $H chunk, laid out byte by byte.
    ASSERT_EQ(described.body.size(), 12 + file.headerSize);
    EXPECT_EQ(described.body.left(4), QByteArray("$H") + QByteArray(1, char((file.headerSize + 8) & 0xFF)) +
                                          QByteArray(1, char((file.headerSize + 8) >> 8)));
    EXPECT_EQ(u32(described.body, 4), 0u) << "LocationId";
    EXPECT_EQ(quint8(described.body.at(8)), 0) << "Incarnation of a Describe";
    EXPECT_EQ(quint8(described.body.at(9)), 0x0C) << "AFFlags of the last header piece";
    EXPECT_EQ(u16(described.body, 10), file.headerSize + 8) << "PacketSize";
    EXPECT_EQ(described.body.mid(12), file.header());

    const QString guid = QStringLiteral("{c77e7400-738a-11d2-9add-0020af0a3278}");
    const HttpAnswer played = httpExchange(server.port(), playRequest("/sample.asf", {}, guid));
    ASSERT_TRUE(played.closed);
    EXPECT_EQ(played.status, 200);
    EXPECT_EQ(played.header("Content-Type"), "application/x-mms-framed");
    EXPECT_TRUE(played.header("Content-Length").isEmpty()) << "read to the close";
    QByteArray rest;
    const std::vector<Chunk> chunks = splitChunks(played.body, &rest);
    EXPECT_TRUE(rest.isEmpty());
    ASSERT_EQ(chunks.size(), 1 + file.packetCount + 1);
    EXPECT_EQ(chunks.front().type, 'H');
    EXPECT_EQ(joinHeader({chunks.front()}, 1), file.header());
    const std::vector<Chunk> data = chunksOfType(chunks, 'D');
    ASSERT_EQ(data.size(), file.packetCount);
    expectDataChunks(data, file, 0, 1);
    EXPECT_EQ(chunks.back().type, 'E');
    EXPECT_EQ(chunks.back().length, 4);
    EXPECT_EQ(chunks.back().reason(), 0u);

    // The served file, put together as a recorder does, is the source file.
    QByteArray rebuilt = chunks.front().payload();
    for (const Chunk &d : data)
        rebuilt += d.payload();
    EXPECT_TRUE(rebuilt == file.bytes.left(rebuilt.size()));
    EXPECT_EQ(rebuilt.size(), file.headerSize + qsizetype(file.packetCount * file.packetSize));

    // The same client playing again gets the next Incarnation.
    const HttpAnswer again = httpExchange(server.port(), playRequest("/sample.asf", {}, guid));
    const auto againData = chunksOfType(splitChunks(again.body), 'D');
    ASSERT_FALSE(againData.empty());
    EXPECT_EQ(againData.front().incarnation(), 2);
    const QString log = server.stop();
    EXPECT_TRUE(log.contains("stream selection (count 2): 1 on, 2 on")) << log.toStdString();
}

TEST(MmshStored, ResumesFromStreamOffsetOrStreamTime)
{
    const AsfFile file = AsfFile::load(Media::sample());
    ServerProcess server;
    ASSERT_TRUE(server.start(sampleRootArgs()));
    const quint64 p = file.packetCount / 2;
    // The packet that stream-time 1000 ms names: the last one sent at or before that time.
    quint64 atOneSecond = 0;
    for (quint64 i = 0; i < file.packetCount; ++i)
        if (packetSendTime(file.packet(i)) <= 1000)
            atOneSecond = i;
    ASSERT_GT(atOneSecond, 0u);
    const quint64 header = quint64(file.headerSize);
    struct Case
    {
        const char *name;
        QByteArray pragma;
        quint64 first;
    };
    const Case cases[] = {
        {"offset after the header",
         "stream-time=0,stream-offset=" + streamOffset(header + p * file.packetSize), p},
        {"offset without the header", "stream-time=0,stream-offset=" + streamOffset(p * file.packetSize), p},
        {"offset inside a packet", "stream-offset=" + streamOffset(header + p * file.packetSize + 7), p},
        {"time with the offset ignored", "stream-time=1000,stream-offset=4294967295:4294967295", atOneSecond},
        {"time alone", "stream-time=1000", atOneSecond},
        {"offset past the end",
         "stream-offset=" + streamOffset(header + (file.packetCount + 3) * file.packetSize),
         file.packetCount},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const HttpAnswer played = httpExchange(
            server.port(), playRequest("/sample.asf", {"Pragma: " + QString::fromLatin1(c.pragma)}));
        const std::vector<Chunk> chunks = splitChunks(played.body);
        const std::vector<Chunk> data = chunksOfType(chunks, 'D');
        ASSERT_EQ(data.size(), file.packetCount - c.first);
        expectDataChunks(data, file, c.first, 1);
        ASSERT_FALSE(chunks.empty());
        EXPECT_EQ(chunks.back().type, 'E');
    }
}

TEST(MmshLive, JoinsTheBroadcastWhereItIsOnTheAir)
{
    const AsfFile file = AsfFile::load(Media::sample());
    ServerProcess server;
    ASSERT_TRUE(server.start(sampleRootArgs() + QStringList{"--live", "--live-seconds", "1"}));
    const HttpAnswer described = httpExchange(server.port(), playerRequest("/sample.asf"));
    EXPECT_TRUE(described.headerValues("Pragma").contains("features=\"broadcast\""));
    const QByteArray header = joinHeader(splitChunks(described.body), 0);
    ASSERT_EQ(header.size(), file.headerSize);
    EXPECT_EQ(u32(header, file.filePropertiesAt + 88) & 0x3, 0x1u) << "broadcast set, seekable clear";

    // Each play takes about a second of real time, so the second joins about a second later.
    std::vector<Chunk> plays[2];
    for (auto &data : plays) {
        const HttpAnswer played = httpExchange(server.port(), playRequest("/sample.asf"));
        const std::vector<Chunk> chunks = splitChunks(played.body);
        ASSERT_FALSE(chunks.empty());
        EXPECT_EQ(chunks.back().type, 'E') << "--live-seconds ends the broadcast for this client";
        data = chunksOfType(chunks, 'D');
        ASSERT_GT(data.size(), 5u);
        quint32 previousTime = 0;
        for (std::size_t i = 0; i < data.size(); ++i) {
            const quint32 location = data[i].location();
            ASSERT_EQ(location, data.front().location() + i);
            const QByteArray payload = data[i].payload();
            const quint32 time = packetSendTime(payload);
            ASSERT_GE(time, previousTime);
            previousTime = time;
            // Apart from times, a looped packet is the file's packet at that place of the loop.
            EXPECT_EQ(payload.left(5), file.packet((location - liveLocationBase) % file.packetCount).left(5));
        }
        EXPECT_GE(packetSendTime(data.front().payload()), 36000u * 1000) << "shifted by the live offset";
    }
    const quint32 first = plays[0].front().location(), second = plays[1].front().location();
    EXPECT_GE(first, liveLocationBase);
    EXPECT_GE(second, first + plays[0].size() / 2) << "the broadcast went on between the two plays";
}

TEST(MmshLogin, ChallengeThenTheRightLoginGetsTheStream)
{
    ServerProcess server;
    ASSERT_TRUE(
        server.start(sampleRootArgs() + QStringList{"--auth", "alice:s3cret:x", "--realm", "Test Realm"}));
    const HttpAnswer challenged = httpExchange(server.port(), playerRequest("/sample.asf"));
    EXPECT_EQ(challenged.statusLine, "HTTP/1.0 401 Unauthorized");
    EXPECT_EQ(challenged.header("WWW-Authenticate"), "Basic realm=\"Test Realm\"");
    EXPECT_TRUE(splitChunks(challenged.body).empty());
    auto withLogin = [](const QByteArray &credentials) {
        return QStringList{"Authorization: Basic " + QString::fromLatin1(credentials.toBase64())};
    };
    EXPECT_EQ(httpExchange(server.port(), playerRequest("/sample.asf", withLogin("alice:wrong"))).status,
              401);
    EXPECT_EQ(httpExchange(server.port(), playerRequest("/sample.asf", withLogin("bob:s3cret:x"))).status,
              401);
    const HttpAnswer accepted =
        httpExchange(server.port(), playerRequest("/sample.asf", withLogin("alice:s3cret:x")));
    EXPECT_EQ(accepted.status, 200);
    EXPECT_EQ(chunksOfType(splitChunks(accepted.body), 'H').size(), 1u);
    const QString log = server.stop();
    EXPECT_TRUE(log.contains("login refused for user 'bob'")) << log.toStdString();
    EXPECT_TRUE(log.contains("login accepted for user 'alice'"));
}

TEST(MmshAnswers, RedirectsPagesAndErrorsWithoutAStream)
{
    ServerProcess server;
    ASSERT_TRUE(server.start(sampleRootArgs() + QStringList{"--http-redirect",
                                                            "old.asf=mmsh://elsewhere:8080/new.asf",
                                                            "--http-redirect", "/a/b.asf=/sample.asf"}));
    const HttpAnswer moved = httpExchange(server.port(), playerRequest("/old.asf"));
    EXPECT_EQ(moved.statusLine, "HTTP/1.0 302 Found");
    EXPECT_EQ(moved.header("Location"), "mmsh://elsewhere:8080/new.asf");
    EXPECT_EQ(httpExchange(server.port(), playerRequest("/a/b.asf")).header("Location"), "/sample.asf");

    const HttpAnswer missing = httpExchange(server.port(), playerRequest("/nothing-here.asf"));
    EXPECT_EQ(missing.statusLine, "HTTP/1.0 404 Not Found");
    EXPECT_EQ(httpExchange(server.port(), playerRequest("/../sample.asf")).status, 404);

    // A browser gets a page, not the stream.
    const HttpAnswer page = httpExchange(server.port(), "GET /sample.asf HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.header("Content-Type"), "text/html");
    EXPECT_TRUE(page.body.startsWith("<html>"));
    EXPECT_TRUE(page.closed);

    const HttpAnswer head =
        httpExchange(server.port(), "HEAD /sample.asf HTTP/1.0\r\nUser-Agent: NSPlayer/7.10.0.3059\r\n\r\n");
    EXPECT_EQ(head.status, 200);
    EXPECT_TRUE(head.body.isEmpty());
    EXPECT_EQ(httpExchange(server.port(), "GET /sample.asf\r\n\r\n").status, 400);
    EXPECT_EQ(httpExchange(server.port(), playerRequest("/sample.asf").replace("GET", "PUT")).status, 501);

    ServerProcess failing;
    ASSERT_TRUE(failing.start(sampleRootArgs() + QStringList{"--http-status", "503"}));
    for (const QByteArray &request : {playerRequest("/sample.asf"), playRequest("/sample.asf")}) {
        const HttpAnswer refused = httpExchange(failing.port(), request);
        EXPECT_EQ(refused.statusLine, "HTTP/1.0 503 Service Unavailable");
        EXPECT_TRUE(splitChunks(refused.body).empty());
    }
}

TEST(MmshTransport, BinaryAndHttpShareThePortAndNoMmstClosesBinaryAtOnce)
{
    for (const bool noMmst : {false, true}) {
        SCOPED_TRACE(noMmst ? "--no-mmst" : "both");
        ServerProcess server;
        ASSERT_TRUE(server.start(sampleRootArgs() + (noMmst ? QStringList{"--no-mmst"} : QStringList{})));
        ScriptedClient binary;
        ASSERT_TRUE(binary.connectTo(server.port()));
        binary.connect(0xF0F0F0EF);
        if (noMmst) {
            EXPECT_TRUE(binary.waitClosed());
            EXPECT_TRUE(binary.takeBuffered().isEmpty());
            EXPECT_EQ(binary.socket().bytesAvailable(), 0);
        } else {
            EXPECT_TRUE(binary.expect(fromServer::connectedEx));
        }
        EXPECT_EQ(httpExchange(server.port(), playerRequest("/sample.asf")).status, 200);
        const QString log = server.stop();
        EXPECT_EQ(log.contains("refused: closed at once"), noMmst) << log.toStdString();
    }
}

TEST(MmshStreamChange, EndsTheEntryAndStartsTheNextFromLocationZero)
{
    const AsfFile file = AsfFile::load(Media::sample());
    // Another packet size and only one stream: a recorder must end at its header.
    const QString otherPath = Media::dir() + "/other.asf";
    ASSERT_EQ(run("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=220", "-t", "1",
                             "-c:a", "wmav2", "-packet_size", "1600", "-f", "asf", otherPath})
                  .exitCode,
              0);
    const AsfFile other = AsfFile::load(otherPath);
    ASSERT_EQ(other.packetSize, 1600u);
    const struct
    {
        const char *name;
        QStringList args;
        const AsfFile &next;
    } cases[] = {
        {"same entry again", {"--stream-change-after", "5"}, file},
        {"another file", {"--stream-change-after", "5", "--stream-change-header", otherPath}, other},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ServerProcess server;
        ASSERT_TRUE(server.start(sampleRootArgs() + c.args));
        const std::vector<Chunk> chunks =
            splitChunks(httpExchange(server.port(), playRequest("/sample.asf")).body);
        ASSERT_EQ(chunks.size(), 1 + 5 + 3 + c.next.packetCount + 1);
        EXPECT_EQ(chunks[0].type, 'H');
        expectDataChunks({chunks.begin() + 1, chunks.begin() + 6}, file, 0, 1);
        EXPECT_EQ(chunks[6].type, 'E');
        EXPECT_EQ(chunks[6].reason(), 1u);
        EXPECT_EQ(chunks[7].type, 'C');
        EXPECT_EQ(chunks[7].length, 4);
        EXPECT_EQ(chunks[8].type, 'H');
        EXPECT_EQ(joinHeader({chunks[8]}, 1), c.next.header());
        const std::vector<Chunk> after(chunks.begin() + 9, chunks.end() - 1);
        ASSERT_EQ(after.size(), c.next.packetCount);
        for (std::size_t i = 0; i < after.size(); ++i) {
            ASSERT_EQ(after[i].type, 'D');
            ASSERT_EQ(after[i].location(), i) << "numbered from 0 again";
            QByteArray padded = after[i].payload();
            padded.append(c.next.packetSize - padded.size(), '\0');
            ASSERT_EQ(padded, c.next.packet(i));
        }
        EXPECT_EQ(chunks.back().type, 'E');
        EXPECT_EQ(chunks.back().reason(), 0u);
    }
}

TEST(MmshFaults, StrippedSplitDrippedAndMetadataStreamsStillRebuildTheFile)
{
    const AsfFile file = AsfFile::load(Media::sample());
    const struct
    {
        const char *name;
        QStringList args;
        quint64 fromEnd = 0; // play only the last packets
        std::size_t headerChunks = 1;
        std::size_t metadataChunks = 0;
    } cases[] = {
        {"strip padding", {"--strip-padding"}},
        {"header in pieces", {"--header-chunk", "300"}, 0, std::size_t((file.headerSize + 299) / 300)},
        {"metadata", {"--metadata-every", "10"}, 0, 1, std::size_t((file.packetCount - 1) / 10)},
        // One byte per write is slow, hence only the last packets.
        {"drip", {"--drip", "--header-chunk", "500"}, 8, std::size_t((file.headerSize + 499) / 500)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ServerProcess server;
        ASSERT_TRUE(server.start(sampleRootArgs() + c.args));
        const quint64 first = c.fromEnd ? file.packetCount - c.fromEnd : 0;
        const QString offset = QStringLiteral("Pragma: stream-offset=") +
                               QString::fromLatin1(streamOffset(file.headerSize + first * file.packetSize));
        const HttpAnswer played = httpExchange(server.port(), playRequest("/sample.asf", {offset}), 60000);
        ASSERT_TRUE(played.closed);
        const std::vector<Chunk> chunks = splitChunks(played.body);
        const std::vector<Chunk> headerChunks = chunksOfType(chunks, 'H');
        ASSERT_EQ(headerChunks.size(), c.headerChunks);
        EXPECT_EQ(joinHeader(headerChunks, 1), file.header());
        const std::vector<Chunk> metadata = chunksOfType(chunks, 'M');
        EXPECT_EQ(metadata.size(), c.metadataChunks);
        for (const Chunk &m : metadata)
            EXPECT_EQ(m.packetSize(), m.length);
        const std::vector<Chunk> data = chunksOfType(chunks, 'D');
        ASSERT_EQ(data.size(), file.packetCount - first);
        expectDataChunks(data, file, first, 1);
        EXPECT_EQ(chunks.back().type, 'E');
        if (c.args.contains("--strip-padding")) {
            const auto stripped = [&](const Chunk &d) {
                return d.payload().size() < qsizetype(file.packetSize);
            };
            EXPECT_TRUE(std::any_of(data.begin(), data.end(), stripped));
        }
    }
}

TEST(MmshFaults, DropAndBrokenFramingEndTheStreamEarly)
{
    const AsfFile file = AsfFile::load(Media::sample());
    ServerProcess dropping;
    ASSERT_TRUE(dropping.start(sampleRootArgs() + QStringList{"--drop-after", "10"}));
    const HttpAnswer dropped = httpExchange(dropping.port(), playRequest("/sample.asf"));
    ASSERT_TRUE(dropped.closed);
    QByteArray rest;
    std::vector<Chunk> chunks = splitChunks(dropped.body, &rest);
    EXPECT_TRUE(rest.isEmpty());
    EXPECT_EQ(chunksOfType(chunks, 'D').size(), 10u);
    EXPECT_TRUE(chunksOfType(chunks, 'E').empty()) << "a dropped connection ends without $E";

    ServerProcess corrupting;
    ASSERT_TRUE(corrupting.start(sampleRootArgs() + QStringList{"--corrupt-after", "5"}));
    chunks = splitChunks(httpExchange(corrupting.port(), playRequest("/sample.asf")).body, &rest);
    EXPECT_EQ(chunksOfType(chunks, 'D').size(), 5u);
    ASSERT_GE(rest.size(), 4);
    EXPECT_NE(quint8(rest.at(0)), 0x24);
    EXPECT_NE(quint8(rest.at(0)), 0xA4);
}
