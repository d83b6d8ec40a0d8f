// The server's reading of HTTP requests, Pragma lines and their values.
#include "httprequest.h"

#include <gtest/gtest.h>

using namespace mmsserver;

TEST(HttpRequestReader, ReadsTheHeadAndEveryPragmaLine)
{
    QByteArray buffer =
        "GET http://host:8080/dir/a%20b.asf?x=1 HTTP/1.1\r\n"
        "User-Agent:  NSPlayer/7.10.0.3059 \r\n"
        "Pragma: no-cache,rate=1.000000,stream-time=0\r\n"
        "Pragma: xPlayStrm=1\r\n"
        "pragma: client-id=1234, features=\"seekable,stridable\" ,stream-switch-entry=ffff:1:0\r\n"
        "X-Folded: one\r\n two\r\n"
        "\r\nleft over";
    HttpRequest r;
    QString why;
    ASSERT_EQ(readHttpRequest(buffer, &r, &why), RequestStatus::Complete);
    EXPECT_EQ(buffer, "left over");
    EXPECT_EQ(r.method, "GET");
    EXPECT_EQ(r.path, "/dir/a b.asf");
    EXPECT_TRUE(r.fromPlayer());
    EXPECT_EQ(r.header("x-folded"), "one two");
    EXPECT_EQ(r.pragma("xplaystrm"), "1");
    EXPECT_EQ(r.pragma("client-id"), "1234");
    EXPECT_EQ(r.pragma("features"), "seekable,stridable") << "a comma inside quotes does not split";
    EXPECT_EQ(r.pragma("stream-switch-entry"), "ffff:1:0");
    EXPECT_EQ(r.pragma("no-cache"), "");
    EXPECT_FALSE(r.pragma("stream-offset"));
}

TEST(HttpRequestReader, WaitsForTheBlankLineAndRefusesBadHeads)
{
    QByteArray partial = "GET /a.asf HTTP/1.0\r\nUser-Agent: NSPlayer/4.1\r\n";
    HttpRequest r;
    QString why;
    EXPECT_EQ(readHttpRequest(partial, &r, &why), RequestStatus::NeedMore);
    QByteArray bareNewlines = "GET /a.asf HTTP/1.0\nHost: h\n\n";
    EXPECT_EQ(readHttpRequest(bareNewlines, &r, &why), RequestStatus::Complete);
    for (QByteArray bad : {QByteArray("GET /a.asf\r\n\r\n"), QByteArray("GET  HTTP/1.0\r\n\r\n"),
                           QByteArray("GET /a.asf HTTP/1.0\r\n") + QByteArray(20000, 'x')}) {
        EXPECT_EQ(readHttpRequest(bad, &r, &why), RequestStatus::Malformed) << bad.left(30).constData();
        EXPECT_FALSE(why.isEmpty());
    }
}

TEST(HttpRequestReader, TellsHttpFromBinaryMmsByTheFirstBytes)
{
    EXPECT_EQ(startsHttpRequest(""), std::nullopt);
    EXPECT_EQ(startsHttpRequest("GE"), std::nullopt);
    EXPECT_EQ(startsHttpRequest("GET "), true);
    EXPECT_EQ(startsHttpRequest("POST /x"), true);
    EXPECT_EQ(startsHttpRequest(QByteArray::fromHex("01000000cefa0bb0")), false);
    EXPECT_EQ(startsHttpRequest("get /"), false);
    EXPECT_EQ(startsHttpRequest("GO /"), false);
    EXPECT_EQ(startsHttpRequest("ABCDEFGHIJKL "), false);
}

TEST(HttpRequestReader, StreamSwitchEntriesAreHexadecimal)
{
    const auto entries = parseStreamSwitchEntries("ffff:1:0 ffff:a:2  ffff:1F:1 ");
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 3);
    EXPECT_EQ((*entries)[1].stream, 10);
    EXPECT_EQ((*entries)[1].level, 2);
    EXPECT_EQ((*entries)[2].stream, 31);
    EXPECT_TRUE(parseStreamSwitchEntries("")->isEmpty());
    EXPECT_FALSE(parseStreamSwitchEntries("ffff:1"));
    EXPECT_FALSE(parseStreamSwitchEntries("ffff:x:0"));
}

TEST(HttpRequestReader, StreamOffsetIsSixtyFourBitsOrIgnored)
{
    EXPECT_EQ(parseStreamOffset("0:0"), 0u);
    EXPECT_EQ(parseStreamOffset("1:5"), (quint64(1) << 32) + 5);
    EXPECT_EQ(parseStreamOffset("0:4294967295"), 0xFFFFFFFFu);
    EXPECT_FALSE(parseStreamOffset("4294967295:4294967295"));
    EXPECT_FALSE(parseStreamOffset("12"));
    EXPECT_FALSE(parseStreamOffset("a:b"));
}
