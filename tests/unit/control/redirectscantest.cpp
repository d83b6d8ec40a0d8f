#include "control/mediaopener.h"

#include <gtest/gtest.h>

using namespace lumo;

TEST(RedirectScan, EntriesEndAtQuotesBlanksAndLineFeeds)
{
    EXPECT_EQ(ScanRedirectText(R"(<ref href="mms://server/a.asf"/>)").entries,
              QStringList{"mms://server/a.asf"});
    EXPECT_EQ(ScanRedirectText("<ref>mms://server/a.asf</ref>").entries,
              QStringList{"mms://server/a.asf</ref>"});
    EXPECT_EQ(ScanRedirectText("x mms://a/b.asf\r\nmmsu://c/d\tmore").entries,
              (QStringList{"mms://a/b.asf", "mmsu://c/d\tmore"}));
    EXPECT_EQ(ScanRedirectText("see mmst://server/live").entries, QStringList{"mmst://server/live"});
    EXPECT_EQ(ScanRedirectText("MMS://A/x MMST://B/y MMSU://C/z").entries,
              (QStringList{"MMS://A/x", "MMST://B/y", "MMSU://C/z"}));
}

TEST(RedirectScan, OnlyExactPrefixesAndEveryOccurrence)
{
    EXPECT_TRUE(ScanRedirectText("Mms://a/b mMs://c/d http://e/f.asf").entries.isEmpty());
    EXPECT_EQ(ScanRedirectText("mms://a/b mms://a/b").entries, (QStringList{"mms://a/b", "mms://a/b"}));
    EXPECT_TRUE(ScanRedirectText("").entries.isEmpty());
    EXPECT_TRUE(ScanRedirectText("m").entries.isEmpty());
}

TEST(RedirectScan, TwentyIsTheMost)
{
    QByteArray text;
    for (int i = 0; i < 21; ++i)
        text += "mms://h/" + QByteArray::number(i) + " ";
    const RedirectScan many = ScanRedirectText(text);
    EXPECT_EQ(many.entries.size(), 20);
    EXPECT_TRUE(many.tooMany);
    EXPECT_EQ(many.entries.last(), "mms://h/19");

    QByteArray twenty;
    for (int i = 0; i < 20; ++i)
        twenty += "mms://h/" + QByteArray::number(i) + "\n";
    EXPECT_TRUE(ScanRedirectText(twenty).tooMany);
    EXPECT_FALSE(ScanRedirectText("mms://h/1").tooMany);
}
