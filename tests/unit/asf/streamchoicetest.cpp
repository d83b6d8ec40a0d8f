#include "asf/streamchoice.h"

#include "asf/finishing.h"
#include "asf/savefilehandle.h"
#include "asfbuilder.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

using namespace asftest;
using namespace lumo;

namespace {

AsfStream video(quint8 number, quint32 rate, quint32 width = 320, quint32 height = 240)
{
    AsfStream s;
    s.number = number;
    s.kind = StreamKind::Video;
    s.bitRate = rate;
    s.width = width;
    s.height = height;
    return s;
}

AsfStream audio(quint8 number, quint32 rate)
{
    AsfStream s;
    s.number = number;
    s.kind = StreamKind::Audio;
    s.bitRate = rate;
    return s;
}

// A multi-rate programme: three pictures (100, 300, 600 kbit/s) in one group, a sound.
StreamList threeRates(bool grouped)
{
    StreamList list;
    list.streams = {video(1, 100000), video(2, 300000), video(3, 600000), audio(4, 32000)};
    if (grouped)
        list.groups = {{ExclusionKind::BitRate, {1, 2, 3}}};
    return list;
}

// Two languages of sound, two rates of each language's commentary, and a script stream.
StreamList languages()
{
    StreamList list;
    AsfStream script;
    script.number = 7;
    list.streams = {video(1, 500000), audio(2, 64000), audio(3, 64000),
                    audio(4, 20000),  audio(5, 40000), script};
    list.groups = {{ExclusionKind::Language, {2, 3}}, {ExclusionKind::BitRate, {4, 5}}};
    return list;
}

// Alternatives whose rates the header does not give.
StreamList unrated()
{
    StreamList list;
    list.streams = {video(1, 0, 160, 120), video(2, 0, 320, 240), video(3, 0, 320, 240), audio(4, 0)};
    return list;
}

StreamRule rule(StreamRuleKind kind, quint32 max = 0, QList<quint8> streams = {})
{
    StreamRule r;
    r.kind = kind;
    r.maxBitRate = max;
    r.streams = streams;
    return r;
}

struct ChoiceCase
{
    const char *name;
    StreamList list;
    StreamRule rule;
    QList<quint8> chosen;
    StreamRuleKind applied;
};

void PrintTo(const ChoiceCase &c, std::ostream *os)
{
    *os << c.name;
}

class Choice : public ::testing::TestWithParam<ChoiceCase>
{};

} // namespace

TEST_P(Choice, ChoosesWhatTheRuleSays)
{
    const ChoiceCase &c = GetParam();
    const StreamChoice choice = ChooseStreams(c.list, c.rule);
    EXPECT_EQ(choice.numbers(true), c.chosen);
    EXPECT_EQ(choice.rule, c.applied);
    // Every stream of the header is named, chosen or not, in the header's order.
    ASSERT_EQ(choice.picks.size(), c.list.streams.size());
    for (qsizetype i = 0; i < choice.picks.size(); ++i)
        EXPECT_EQ(choice.picks[i].number, c.list.streams[i].number);
}

using K = StreamRuleKind;
INSTANTIATE_TEST_SUITE_P(
    Rules, Choice,
    ::testing::Values(
        ChoiceCase{"AllKeepsEverything", threeRates(true), rule(K::All), {1, 2, 3, 4}, K::All},
        ChoiceCase{"AutoWithoutGroupsIsAll", threeRates(false), rule(K::Auto), {1, 2, 3, 4}, K::All},
        ChoiceCase{"AutoWithGroupsIsBest", threeRates(true), rule(K::Auto), {3, 4}, K::Best},
        ChoiceCase{"BestTakesTheTopPicture", threeRates(true), rule(K::Best), {3, 4}, K::Best},
        // A player shows one picture even when the header names no group.
        ChoiceCase{"BestGroupsUngroupedPictures", threeRates(false), rule(K::Best), {3, 4}, K::Best},
        ChoiceCase{"MaxPicksWhatFits", threeRates(true), rule(K::MaxBitRate, 400000), {2, 4}, K::MaxBitRate},
        ChoiceCase{
            "MaxExactlyAtTheLimit", threeRates(true), rule(K::MaxBitRate, 332000), {2, 4}, K::MaxBitRate},
        ChoiceCase{
            "MaxJustBelowTheLimit", threeRates(true), rule(K::MaxBitRate, 331999), {1, 4}, K::MaxBitRate},
        ChoiceCase{"MaxAboveEverythingIsBest",
                   threeRates(true),
                   rule(K::MaxBitRate, 10000000),
                   {3, 4},
                   K::MaxBitRate},
        ChoiceCase{"MaxBelowEverythingIsTheCheapest",
                   threeRates(true),
                   rule(K::MaxBitRate, 1000),
                   {1, 4},
                   K::MaxBitRate},
        ChoiceCase{"ListTakesOnlyItsStreams", threeRates(true), rule(K::List, 0, {4, 1}), {1, 4}, K::List},
        ChoiceCase{
            "ListIgnoresStreamsTheHeaderLacks", threeRates(true), rule(K::List, 0, {2, 9}), {2}, K::List},
        ChoiceCase{"ListOfNothingThereChoosesNothing", threeRates(true), rule(K::List, 0, {9}), {}, K::List},
        // Languages stay; rates of one sound are alternatives; what is neither stays.
        ChoiceCase{"BestKeepsLanguages", languages(), rule(K::Best), {1, 2, 3, 5, 7}, K::Best},
        ChoiceCase{"MaxCountsTheLanguagesItKeeps",
                   languages(),
                   rule(K::MaxBitRate, 650000),
                   {1, 2, 3, 4, 7},
                   K::MaxBitRate},
        // Without rates the larger picture, then the later stream, is better.
        ChoiceCase{"BestWithoutRatesTakesTheLargerLaterPicture", unrated(), rule(K::Best), {3, 4}, K::Best},
        ChoiceCase{"NoStreamsNoPicks", StreamList{}, rule(K::Best), {}, K::Best}),
    [](const ::testing::TestParamInfo<ChoiceCase> &info) { return std::string(info.param.name); });

TEST(StreamChoice, ManyGroupsStillEndQuickly)
{
    // 16 groups of 4 are 4^16 combinations; the search stops at its budget with a fitting one.
    StreamList list;
    for (int g = 0; g < 16; ++g) {
        ExclusionGroup group{ExclusionKind::BitRate, {}};
        for (int i = 0; i < 4; ++i) {
            const quint8 number = quint8(1 + 4 * g + i);
            list.streams.append(audio(number, 1000 * (i + 1)));
            group.streams.append(number);
        }
        list.groups.append(group);
    }
    const StreamChoice choice = ChooseStreams(list, rule(K::MaxBitRate, 40000));
    EXPECT_EQ(choice.numbers(true).size(), 16);
    EXPECT_LE(choice.chosenBitRate(list), 40000u);
}

namespace {

// A header whose streams state their rates in every way a header can.
QByteArray ratedHeader(quint32 maxBitRate)
{
    FileProps fp;
    fp.maxBitRate = maxBitRate;
    return header({fileProperties(fp), headerExtension({extendedStream(3, 600000, 0)}),
                   videoStream(1, 160, 120), videoStream(2, 160, 120), videoStream(3, 160, 120),
                   audioStreamAt(4, 4000), bitrates({{1, 100000}, {2, 300000}, {3, 600000}, {4, 32000}}),
                   exclusion(bitrateExclusionId, exclusionBitrateId, {1, 2, 3})});
}

QByteArray applied(QByteArray bytes, const QList<HeaderPatch> &patches)
{
    for (const HeaderPatch &p : patches)
        bytes.replace(p.offset, p.bytes.size(), p.bytes);
    return bytes;
}

} // namespace

TEST(StreamChoice, RecordingStatesItsChoiceAndAResumeReadsItBack)
{
    const QByteArray original = ratedHeader(1032000);
    const StreamList list = ReadStreamList(original);
    for (const StreamRule &r : {rule(K::Best), rule(K::MaxBitRate, 400000), rule(K::List, 0, {4})}) {
        const StreamChoice choice = ChooseStreams(list, r);
        ASSERT_TRUE(choice.dropsAny());
        const QByteArray recorded = applied(original, StreamChoicePatches(list, choice));
        EXPECT_EQ(recorded.size(), original.size());
        const StreamList after = ReadStreamList(recorded);
        // Dropped streams state no rate; the file's maximum is what it holds.
        for (const AsfStream &s : after.streams)
            EXPECT_EQ(s.rateCleared, !choice.chosen(s.number)) << int(s.number);
        EXPECT_EQ(after.maxBitrate, choice.chosenBitRate(list));
        const auto stated = ChoiceStatedInHeader(after);
        ASSERT_TRUE(stated);
        EXPECT_EQ(stated->picks, choice.picks);
        EXPECT_TRUE(HeaderCanStateChoice(after));
    }

    // Everything chosen changes nothing, and states nothing.
    const StreamChoice all = ChooseStreams(list, rule(K::All));
    EXPECT_TRUE(StreamChoicePatches(list, all).isEmpty());
    EXPECT_FALSE(ChoiceStatedInHeader(list));
}

TEST(StreamChoice, HeadersNotMadeSoStateNoChoice)
{
    // A zero record whose maximum is not the sum of the rest was written by someone else.
    QByteArray bytes = ratedHeader(1032000);
    const StreamList list = ReadStreamList(bytes);
    QList<HeaderPatch> patches = StreamChoicePatches(list, ChooseStreams(list, rule(K::Best)));
    patches.removeLast(); // the maximum stays the server's
    EXPECT_FALSE(ChoiceStatedInHeader(ReadStreamList(applied(bytes, patches))));

    // Every stream cleared is no recording either.
    QList<HeaderPatch> everything;
    for (const AsfStream &s : list.streams) {
        for (qint64 at : {s.bitrateRecordAt, s.dataBitrateAt, s.alternateBitrateAt}) {
            if (at >= 0)
                everything.append({at, U32ToBytes(0)});
        }
    }
    EXPECT_FALSE(ChoiceStatedInHeader(ReadStreamList(applied(bytes, everything))));

    // Without any rate field a header cannot say, and the choice is made again.
    const StreamList plain = ReadStreamList(header({videoStream(1, 1, 1), videoStream(2, 1, 1)}));
    EXPECT_FALSE(HeaderCanStateChoice(plain));
    EXPECT_TRUE(StreamChoicePatches(plain, ChooseStreams(plain, rule(K::Best))).isEmpty());
}

TEST(StreamChoice, PatchesAreWrittenOnlyInsideTheHeader)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rec.asf");
    const QByteArray original = ratedHeader(1032000) + QByteArray(500, '\x5A');
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(original);
    }
    const StreamList list = ReadStreamList(original);
    const QList<HeaderPatch> patches = StreamChoicePatches(list, ChooseStreams(list, rule(K::Best)));
    const quint32 headerSize = quint32(original.size() - 500);

    SaveFileHandle file;
    ASSERT_TRUE(file.openExisting(path));
    // A patch past the header is refused; the others are written.
    EXPECT_FALSE(WriteHeaderPatches(file, headerSize, patches + QList<HeaderPatch>{{headerSize, "XXXX"}}));
    file.close();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    EXPECT_EQ(written, applied(original, patches));
    EXPECT_TRUE(ChoiceStatedInHeader(ReadStreamList(written)));
}
