#include "mms/httpframing.h"
#include "asf/headergeometry.h"
#include "asf/packettimes.h"
#include "control/address.h"

#include <gtest/gtest.h>

using namespace lumo;

// The requests as a server reads them: HTTP/1.0, the player's agent, the Pragma lines in the
// order players send them, hexadecimal stream numbers, and nothing else.
TEST(HttpFraming, DescribeAndPlayRequestsAreExact)
{
    mmsh::Request describe;
    describe.path = "media/clip one.asf";
    describe.host = "127.0.0.1:8080";
    describe.clientGuid = "{01234567-89AB-CDEF-0123-456789ABCDEF}";
    EXPECT_EQ(mmsh::buildRequest(describe),
              QByteArray("GET /media/clip%20one.asf HTTP/1.0\r\n"
                         "Accept: */*\r\n"
                         "User-Agent: NSPlayer/7.10.0.3059\r\n"
                         "Host: 127.0.0.1:8080\r\n"
                         "Pragma: no-cache,rate=1.000000,stream-time=0,stream-offset=0:0,request-context=1,"
                         "max-duration=0\r\n"
                         "Pragma: xClientGUID={01234567-89AB-CDEF-0123-456789ABCDEF}\r\n"
                         "Connection: Close\r\n\r\n"));

    mmsh::Request play = describe;
    play.path = "a.asf";
    play.context = 2;
    play.play = true;
    play.streamOffset = (quint64(1) << 32) + 5000; // past 4 GiB: both halves used
    play.streams = {{1, 0}, {12, 0}, {255, 2}};
    play.authorization = mmsh::basicAuthorization("user", "pa:ss");
    EXPECT_EQ(
        mmsh::buildRequest(play),
        QByteArray("GET /a.asf HTTP/1.0\r\n"
                   "Accept: */*\r\n"
                   "User-Agent: NSPlayer/7.10.0.3059\r\n"
                   "Host: 127.0.0.1:8080\r\n"
                   "Pragma: no-cache,rate=1.000000,stream-time=0,stream-offset=1:5000,request-context=2,"
                   "max-duration=0\r\n"
                   "Pragma: xClientGUID={01234567-89AB-CDEF-0123-456789ABCDEF}\r\n"
                   "Pragma: xPlayStrm=1\r\n"
                   "Pragma: stream-switch-count=3\r\n"
                   "Pragma: stream-switch-entry=ffff:1:0 ffff:c:0 ffff:ff:2\r\n"
                   "Authorization: Basic dXNlcjpwYTpzcw==\r\n"
                   "Connection: Close\r\n\r\n"));

    // A broadcast is played from where it is: no time, no offset.
    play.live = true;
    play.authorization.clear();
    EXPECT_TRUE(mmsh::buildRequest(play).contains("Pragma: no-cache,rate=1.000000,request-context=2\r\n"));
    EXPECT_FALSE(mmsh::buildRequest(play).contains("stream-offset"));
}

TEST(HttpFraming, ChosenStreamsBecomeSwitchEntries)
{
    mmsh::Request play;
    play.play = true;
    play.streams = mmsh::streamChoices({{1, false}, {2, false}, {3, true}, {10, true}, {11, false}});
    const QByteArray request = mmsh::buildRequest(play);
    EXPECT_TRUE(request.contains("Pragma: stream-switch-count=5\r\n"));
    EXPECT_TRUE(
        request.contains("Pragma: stream-switch-entry=ffff:1:2 ffff:2:2 ffff:3:0 ffff:a:0 ffff:b:2\r\n"));
}

TEST(HttpFraming, AnswerHeadsAreReadTolerantly)
{
    const QByteArray head = "HTTP/1.1 200 OK\r\n"
                            "Content-Type: application/x-mms-framed; charset=binary\r\n"
                            "Server: Cougar/9.01.01.3814\r\n"
                            "Pragma: no-cache, client-id=1234, features=\"broadcast,playlist\"\r\n"
                            "Pragma: timeout=60000\r\n"
                            "Content-Length: 99\r\n\r\n$H";
    const qsizetype end = mmsh::headEnd(head);
    ASSERT_EQ(end, head.size() - 2);
    const auto parsed = mmsh::parseResponseHead(QByteArrayView(head).first(end));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->status, 200);
    EXPECT_EQ(parsed->reason, "OK");
    EXPECT_TRUE(parsed->isStream());
    EXPECT_TRUE(parsed->broadcast);
    EXPECT_EQ(parsed->pragmas, QByteArrayList({"no-cache", "client-id=1234",
                                               "features=\"broadcast,playlist\"", "timeout=60000"}));
    EXPECT_EQ(parsed->contentLength, 99);

    // Bare line feeds, a stored stream, a page.
    const auto stored =
        mmsh::parseResponseHead("HTTP/1.0 200 OK\nContent-Type: application/vnd.ms.wms-hdr.asfv1\nPragma: "
                                "features=\"seekable,stridable\"\n\n");
    ASSERT_TRUE(stored);
    EXPECT_TRUE(stored->isStream());
    EXPECT_FALSE(stored->broadcast);
    const auto page = mmsh::parseResponseHead("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n");
    ASSERT_TRUE(page);
    EXPECT_FALSE(page->isStream());

    EXPECT_EQ(mmsh::headEnd("HTTP/1.0 200 OK\r\nContent-Type: x\r\n"), -1);
    EXPECT_FALSE(mmsh::parseResponseHead("\x01\x00\x00\x00\xCE\xFA\x0B\xB0\r\n\r\n"));
    EXPECT_FALSE(mmsh::parseResponseHead("HTTP/1.0 abc OK\r\n\r\n"));
}

TEST(HttpFraming, LoginChallengesAndRedirects)
{
    EXPECT_EQ(mmsh::basicRealm("Basic realm=\"Lumo test\""), QByteArray("Lumo test"));
    EXPECT_EQ(mmsh::basicRealm("basic realm=plain, charset=\"UTF-8\""), QByteArray("plain"));
    EXPECT_EQ(mmsh::basicRealm("Basic"), QByteArray());
    EXPECT_FALSE(mmsh::basicRealm("Digest realm=\"x\", nonce=\"y\""));
    const auto moved = mmsh::parseResponseHead("HTTP/1.0 302 Found\r\nLocation: /elsewhere.asf\r\n\r\n");
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->status, 302);
    EXPECT_EQ(moved->location, "/elsewhere.asf");
}

TEST(HttpFraming, ChunkHeads)
{
    const auto data = mmsh::readChunkHead("$D\x10\x27");
    ASSERT_TRUE(data);
    EXPECT_EQ(data->type, mmsh::ChunkData);
    EXPECT_EQ(data->length, 10000);
    EXPECT_TRUE(data->carriesPacket());
    const auto more = mmsh::readChunkHead("\xA4H\x00\x01");
    ASSERT_TRUE(more);
    EXPECT_EQ(more->type, mmsh::ChunkHeader);
    EXPECT_EQ(more->length, 256);
    const auto end = mmsh::readChunkHead("$E\x04\x00");
    ASSERT_TRUE(end);
    EXPECT_FALSE(end->carriesPacket());
    EXPECT_FALSE(mmsh::readChunkHead("HTTP"));
}

TEST(HttpFraming, SchemesOfAddresses)
{
    EXPECT_EQ(SchemeOf(QStringLiteral("MMSH://host/a.asf")), QStringLiteral("mmsh"));
    EXPECT_EQ(SchemeOf(QStringLiteral("  mms://host/a")), QStringLiteral("mms"));
    EXPECT_EQ(SchemeOf(QStringLiteral("/home/a.asf")), QString());
    EXPECT_TRUE(ClassifyAddress(QStringLiteral("mmsh://host/a.asf")) & MmsAddress);
    EXPECT_TRUE(ClassifyAddress(QStringLiteral("http://host/a.asf")) & HttpAddress);
}

// A packet whose padding the server left out states 0 bytes of padding; padded again, it
// states what was added, as the server's own file does. Packets that have no such field, or
// already state one, are left alone.
TEST(HttpFraming, RestoredPaddingIsStatedInThePacket)
{
    // 0x82 0 0, length type 0x08 (padding length: one byte), property flags, padding 0, send time...
    QByteArray packet = QByteArray::fromHex("820000085d00e8030000640001");
    ASSERT_TRUE(RestorePaddingLength(packet.data(), packet.size(), 100));
    EXPECT_EQ(quint8(packet[5]), 100 - packet.size());

    QByteArray stated = QByteArray::fromHex("820000085d07e8030000640001");
    EXPECT_FALSE(RestorePaddingLength(stated.data(), stated.size(), 100));
    EXPECT_EQ(quint8(stated[5]), 7);

    QByteArray noField = QByteArray::fromHex("820000005de8030000640001");
    const QByteArray before = noField;
    EXPECT_FALSE(RestorePaddingLength(noField.data(), noField.size(), 100));
    EXPECT_EQ(noField, before);

    // More padding than a one-byte field holds: left alone rather than wrapped.
    QByteArray small = QByteArray::fromHex("820000085d00e8030000640001");
    EXPECT_FALSE(RestorePaddingLength(small.data(), small.size(), 1000));
}

TEST(HttpFraming, HeaderGeometryFromTheHeaderAlone)
{
    EXPECT_FALSE(AnnouncedHeaderSize(QByteArray(40, '\0')));
    EXPECT_FALSE(AnnouncedHeaderSize(QByteArray::fromHex("3026B2758E66CF11A6D900AA0062CE6C")));
    // A Header Object claiming 1000 bytes: the header is those and the Data Object's 50.
    QByteArray start = QByteArray::fromHex("3026B2758E66CF11A6D900AA0062CE6C");
    start += QByteArray::fromHex("E803000000000000") + QByteArray(6, '\0');
    EXPECT_EQ(AnnouncedHeaderSize(start), 1050u);
    // One that claims more than any header is refused.
    QByteArray huge = QByteArray::fromHex("3026B2758E66CF11A6D900AA0062CE6C");
    huge += QByteArray::fromHex("0000000001000000") + QByteArray(6, '\0');
    EXPECT_FALSE(AnnouncedHeaderSize(huge));
}
