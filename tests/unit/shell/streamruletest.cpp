#include "shell/streamrule.h"
#include "shell/settings.h"
#include "tempconfig.h"

namespace lumo {
namespace {

StreamRule rule(StreamRuleKind kind, quint32 max = 0, QList<quint8> streams = {})
{
    StreamRule r;
    r.kind = kind;
    r.maxBitRate = max;
    r.streams = streams;
    return r;
}

TEST(StreamRule, StoredTextsReadBackAndNothingElseIsTaken)
{
    using K = StreamRuleKind;
    const std::pair<const char16_t *, StreamRule> good[] = {
        {u"auto", rule(K::Auto)},
        {u"all", rule(K::All)},
        {u"best", rule(K::Best)},
        {u"max:400000", rule(K::MaxBitRate, 400000)},
        {u"max:4294967295", rule(K::MaxBitRate, 4294967295u)},
        {u"list:4", rule(K::List, 0, {4})},
        {u"list:3,1,127", rule(K::List, 0, {3, 1, 127})},
    };
    for (const auto &[text, expected] : good) {
        const auto read = streamRuleFromText(QStringView(text));
        ASSERT_TRUE(read) << QString::fromUtf16(text).toStdString();
        EXPECT_EQ(*read, expected) << QString::fromUtf16(text).toStdString();
        EXPECT_EQ(streamRuleText(*read), QString::fromUtf16(text));
    }
    // Repeats fold, and a trailing comma (left from typing) is no stream.
    EXPECT_EQ(streamRuleFromText(u"list:2,2,3,"), rule(K::List, 0, {2, 3}));

    for (const char16_t *text :
         {u"", u"ALL", u"Best", u"max:", u"max:0", u"max:-5", u"max:4294967296", u"max:1e6", u"list:",
          u"list:0", u"list:128", u"list:a", u"list:1;2", u"1,2", u"everything"})
        EXPECT_FALSE(streamRuleFromText(QStringView(text))) << QString::fromUtf16(text).toStdString();
}

TEST(StreamRule, CommandLineTakesWordsOrNumbers)
{
    using K = StreamRuleKind;
    EXPECT_EQ(streamRuleFromOption(u"best"), rule(K::Best));
    EXPECT_EQ(streamRuleFromOption(u"all"), rule(K::All));
    EXPECT_EQ(streamRuleFromOption(u"auto"), rule(K::Auto));
    EXPECT_EQ(streamRuleFromOption(u"3,4"), rule(K::List, 0, {3, 4}));
    EXPECT_EQ(streamRuleFromOption(u"3, 4"), rule(K::List, 0, {3, 4}));
    for (const char16_t *text : {u"", u"max:5", u"list:3", u"0", u"200", u"3,x"})
        EXPECT_FALSE(streamRuleFromOption(QStringView(text))) << QString::fromUtf16(text).toStdString();
}

using StreamRuleSettingTest = test::TempConfigTest;

// Settings files from before the choice existed, and values this version cannot read, record
// as they always did: every stream unless the programme offers alternatives.
TEST_F(StreamRuleSettingTest, MissingOrUnreadableReadsAsAutoAndChoicesAreStored)
{
    Settings settings;
    settings.load();
    EXPECT_EQ(settings.streamRule(), StreamRule{});

    RegWriteString(settingsKey, u"StreamChoice", QStringLiteral("fastest"));
    settings.load();
    EXPECT_EQ(settings.streamRule().kind, StreamRuleKind::Auto);

    settings.setStreamRule(rule(StreamRuleKind::MaxBitRate, 750000));
    settings.store();
    EXPECT_EQ(RegReadString(settingsKey, u"StreamChoice"), QStringLiteral("max:750000"));
    Settings again;
    again.load();
    EXPECT_EQ(again.streamRule(), rule(StreamRuleKind::MaxBitRate, 750000));
}

} // namespace
} // namespace lumo
