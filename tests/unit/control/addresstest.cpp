#include "control/address.h"

#include <gtest/gtest.h>

using namespace lumo;

struct ClassCase
{
    const char *address;
    quint32 expected;
};

class Classification : public ::testing::TestWithParam<ClassCase>
{};

TEST_P(Classification, GivesTheFlags)
{
    EXPECT_EQ(ClassifyAddress(QString::fromUtf8(GetParam().address)), GetParam().expected)
        << GetParam().address;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Classification,
    ::testing::Values(
        ClassCase{"", 0x0000}, ClassCase{"   ", 0x0020}, ClassCase{"MMS://Server/Clip.ASF", 0x004A},
        ClassCase{"mms://server/live", 0x002A}, ClassCase{"mmst://server/a.wma", 0x004A},
        ClassCase{"mmsu://server/a.wmv", 0x004A}, ClassCase{"http://server/list.asx", 0x0086},
        ClassCase{"http://server/play.asp?id=7", 0x1006}, ClassCase{"C:\\Media\\clip.wmv", 0x0041},
        ClassCase{"c:\\logs\\task.log", 0x0201}, ClassCase{"http://server/redirect?to=mms://x/a.asf", 0x0046},
        ClassCase{"pnm://server/a.rm", 0x0412}, ClassCase{"http://server/skin.wmz", 0x0806},
        ClassCase{"mms://server/file.wmd", 0x010A}, ClassCase{"mms://h/show.asx.asf", 0x008A},
        ClassCase{"mms://h/play.php?file=x.asf", 0x100A},
        // Local POSIX paths and https pages
        ClassCase{"/home/me/clip.asf", 0x0041}, ClassCase{"/var/log/task.log", 0x0201},
        ClassCase{"https://server/page.html", 0x0086}, ClassCase{"shttp://server/x.asx", 0x0086}));

TEST(AddressParts, HostAndPath)
{
    EXPECT_EQ(HostOf("mms://server/live"), "server");
    EXPECT_EQ(HostOf("mms://server:8080/a"), "server:8080");
    EXPECT_EQ(HostOf("mms://server"), "");
    EXPECT_EQ(HostOf("mms://server/"), "");
    EXPECT_EQ(HostOf("  mms://h/x  "), "h");
    EXPECT_EQ(HostOf("mms://h"), "");
    EXPECT_EQ(HostOf(""), "");

    EXPECT_EQ(PathOf("mms://h/dir/clip.asf?x=1"), "dir/clip.asf?x=1");
    EXPECT_EQ(PathOf("mms://server/ab"), "ab");
    EXPECT_EQ(PathOf("mms://h/a"), "");
    EXPECT_EQ(PathOf("\tmms://h/dir/x.asf \n"), "dir/x.asf");
    EXPECT_EQ(PathOf(""), "");
}

TEST(AddressParts, FileNameQueryAndExtension)
{
    EXPECT_EQ(FileNameOf("ab"), "ab");
    EXPECT_EQ(FileNameOf("mms://h/dir/"), "dir/");
    EXPECT_EQ(FileNameOf("mms://host/dir/clip.asf?id=7"), "clip.asf?id=7");
    EXPECT_EQ(FileNameOf("C:\\media\\clip.asf"), "clip.asf");
    EXPECT_EQ(FileNameOf(""), "");
    EXPECT_EQ(StripQuery("a?b?c"), "a?b");
    EXPECT_EQ(StripQuery("?abc"), "?abc");
    EXPECT_EQ(StripQuery("abc?"), "abc?");
    EXPECT_EQ(StripExtension("clip.asf"), "clip");
    EXPECT_EQ(StripExtension("a.b.c"), "a.b");
    EXPECT_EQ(StripExtension(""), "");
}

// A port after the host is split off only when it is one; anything else written there is a
// bad port, which Start refuses instead of handing the whole text to the name look-up.
TEST(AddressParts, HostPortSplitsOnlyARealPort)
{
    const struct
    {
        const char *text;
        const char *host;
        std::optional<quint16> port;
        bool badPort;
    } cases[] = {
        {"server", "server", std::nullopt, false},
        {"server:8080", "server", 8080, false},
        {"[::1]:1755", "::1", 1755, false},
        {"::1", "::1", std::nullopt, false},
        {"fe80::1:2", "fe80::1:2", std::nullopt, false},
        {"server:99999", "server", std::nullopt, true},
        {"server:x", "server", std::nullopt, true},
        {"server:", "server", std::nullopt, true},
        {"host:445mms:", "host:445mms:", std::nullopt, true},
    };
    for (const auto &c : cases) {
        const HostPort split = SplitHostPort(QString::fromUtf8(c.text));
        EXPECT_EQ(split.host, QString::fromUtf8(c.host)) << c.text;
        EXPECT_EQ(split.port, c.port) << c.text;
        EXPECT_EQ(split.badPort, c.badPort) << c.text;
    }
}

TEST(DroppedAddress, TakesTheFirstLineOfTheTextElseTheFirstLink)
{
    struct Case
    {
        const char *name;
        QString text;
        QList<QUrl> urls;
        QString expected;
    };
    const QUrl link(QStringLiteral("mms://server/from-link.asf"));
    const Case cases[] = {
        {"plain address", QStringLiteral("mms://server/a.asf"), {}, QStringLiteral("mms://server/a.asf")},
        {"blanks and line ends",
         QStringLiteral("  mms://server/a.asf \r\n"),
         {},
         QStringLiteral("mms://server/a.asf")},
        {"several lines",
         QStringLiteral("\n\nmms://h/1.asf\nmms://h/2.asf"),
         {},
         QStringLiteral("mms://h/1.asf")},
        {"text wins over the link",
         QStringLiteral("mms://server/text.asf"),
         {link},
         QStringLiteral("mms://server/text.asf")},
        {"link only", QString(), {link, QUrl(QStringLiteral("mms://other/b.asf"))}, link.toString()},
        {"blank text, link", QStringLiteral(" \n"), {link}, link.toString()},
        {"nothing", QString(), {}, QString()},
        {"only blanks", QStringLiteral(" \r\n\t"), {}, QString()},
        {"Chinese name",
         QStringLiteral("mms://服务器/节目.asf"),
         {},
         QStringLiteral("mms://服务器/节目.asf")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DroppedAddress(c.text, c.urls), c.expected) << c.name;
}
