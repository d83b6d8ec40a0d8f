#include "asf/streamlist.h"

#include "asf/headeranalysis.h"
#include "asfbuilder.h"
#include "support/testmedia.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace asftest;
using namespace lumo;

namespace {

QList<quint8> numbersOf(const StreamList &list)
{
    QList<quint8> out;
    for (const AsfStream &s : list.streams)
        out.append(s.number);
    return out;
}

// A header of every kind of object the list reads: rates from records, from the extended
// properties and from the sound format; languages; a stream only the extension describes; and
// both kinds of exclusion object.
QByteArray richHeader()
{
    FileProps fp;
    fp.maxBitRate = 999999;
    return header(
        {fileProperties(fp),
         headerExtension({languageList({"en-us", "zh-cn"}), extendedStream(1, 64000, 0),
                          extendedStream(2, 48000, 1), extendedStream(5, 700000, 0, videoStream(5, 640, 480)),
                          exclusion(advancedExclusionId, exclusionLanguageId, {1, 2})}),
         audioStreamAt(1, 9000), audioStreamAt(2, 6000), videoStream(3, 320, 240), videoStream(4, 160, 120),
         audioStreamAt(6, 2000), bitrates({{2, 50000}, {3, 300000}, {4, 0}}),
         exclusion(bitrateExclusionId, exclusionBitrateId, {3, 4, 5})});
}

} // namespace

// A multi-rate programme as ffmpeg makes it: three pictures and a sound, with the
// rates and exclusion group the encoders of such programmes add.
TEST(StreamList, ThreeRateProgrammeFromFfmpeg)
{
    if (!test::haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is needed to make the test media";
    QTemporaryDir dir;
    const QString path = test::makeThreeRateAsf(dir.path(), "three.asf");
    ASSERT_FALSE(path.isEmpty());

    const HeaderAnalysis analysis = AnalyseAsfHeader(path, LocalHeaderSize(path), StreamType::Stored, path);
    ASSERT_TRUE(analysis.ok) << analysis.errorMessage.toStdString();
    const StreamList &list = analysis.streams;
    ASSERT_EQ(numbersOf(list), (QList<quint8>{1, 2, 3, 4}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list.streams[i].kind, StreamKind::Video);
        EXPECT_EQ(list.streams[i].width, 160u);
        EXPECT_EQ(list.streams[i].height, 120u);
        EXPECT_EQ(list.streams[i].bitRate, test::threeRateRates[i]);
    }
    EXPECT_EQ(list.streams[3].kind, StreamKind::Audio);
    EXPECT_EQ(list.streams[3].bitRate, 32000u);
    EXPECT_TRUE(list.streams[3].language.isEmpty());
    ASSERT_EQ(list.groups.size(), 1);
    EXPECT_EQ(list.groups[0].kind, ExclusionKind::BitRate);
    EXPECT_EQ(list.groups[0].streams, (QList<quint8>{1, 2, 3}));
    // ffmpeg's own figure: the sum of what it was asked to make.
    EXPECT_EQ(list.maxBitrate, 1032000u);
    for (const AsfStream &s : list.streams)
        EXPECT_FALSE(s.rateCleared);
    // The older analysis finds the same four streams.
    EXPECT_EQ(analysis.StreamCount, 4u);
}

TEST(StreamList, EveryObjectAddsWhatItStates)
{
    const QByteArray bytes = richHeader();
    const StreamList list = ReadStreamList(bytes);
    // Header order; the stream the extension embeds comes where its object lies.
    ASSERT_EQ(numbersOf(list), (QList<quint8>{5, 1, 2, 3, 4, 6}));

    const AsfStream *english = list.find(1);
    EXPECT_EQ(english->kind, StreamKind::Audio);
    EXPECT_EQ(english->bitRate, 64000u) << "the extended properties win over the sound format";
    EXPECT_EQ(english->language, "en-us");
    const AsfStream *chinese = list.find(2);
    EXPECT_EQ(chinese->bitRate, 50000u) << "a bit-rate record wins over the extended properties";
    EXPECT_EQ(chinese->language, "zh-cn");
    EXPECT_EQ(list.find(3)->bitRate, 300000u);
    EXPECT_EQ(list.find(3)->width, 320u);
    EXPECT_EQ(list.find(5)->kind, StreamKind::Video);
    EXPECT_EQ(list.find(5)->width, 640u);
    EXPECT_EQ(list.find(5)->bitRate, 700000u);
    EXPECT_EQ(list.find(6)->bitRate, 16000u) << "2000 bytes a second";
    EXPECT_EQ(list.find(7), nullptr);

    // The only stream whose every rate field reads 0.
    EXPECT_TRUE(list.find(4)->rateCleared);
    EXPECT_EQ(list.find(4)->bitRate, 0u);
    for (quint8 n : {1, 2, 3, 5, 6})
        EXPECT_FALSE(list.find(n)->rateCleared) << int(n);

    ASSERT_EQ(list.groups.size(), 2);
    EXPECT_EQ(list.groups[0].kind, ExclusionKind::Language);
    EXPECT_EQ(list.groups[0].streams, (QList<quint8>{1, 2}));
    EXPECT_EQ(list.groups[1].kind, ExclusionKind::BitRate);
    EXPECT_EQ(list.groups[1].streams, (QList<quint8>{3, 4, 5}));
    EXPECT_EQ(list.groupsOf(3), (QList<int>{1}));
    EXPECT_EQ(list.maxBitrate, 999999u);

    // The offsets point at the fields they name.
    const ByteReader in(bytes);
    EXPECT_EQ(in.u32(list.maxBitrateAt), 999999u);
    EXPECT_EQ(in.u32(chinese->bitrateRecordAt), 50000u);
    EXPECT_EQ(in.u32(chinese->dataBitrateAt), 48000u);
    EXPECT_EQ(in.u32(chinese->alternateBitrateAt), 48000u);
    EXPECT_EQ(list.find(6)->bitrateRecordAt, -1);
    EXPECT_EQ(list.find(6)->dataBitrateAt, -1);
}

TEST(StreamList, TruncatedAndHostileHeadersStayInsideTheBytes)
{
    // Every cut of a good header reads a part of its streams, never something else.
    const QByteArray full = richHeader();
    const QList<quint8> all = numbersOf(ReadStreamList(full));
    for (qsizetype size = 0; size <= full.size(); ++size) {
        const StreamList part = ReadStreamList(QByteArrayView(full).first(size));
        for (quint8 n : numbersOf(part))
            ASSERT_TRUE(all.contains(n)) << "cut at " << size;
    }

    // Counts and sizes far beyond the bytes.
    QByteArray hostile =
        header({exclusion(bitrateExclusionId, exclusionBitrateId, {1, 2}), languageList({"en"}),
                bitrates({{1, 5}}), videoStream(1, 1, 1), videoStream(2, 2, 2)});
    const qsizetype exclusionAt = hostile.indexOf(QByteArray(bitrateExclusionId, 5));
    hostile[exclusionAt + 40] = char(0xFF); // stream count 0xFF..
    hostile[exclusionAt + 41] = char(0xFF);
    const qsizetype languageAt = hostile.indexOf(QByteArray(languageListId, 5));
    hostile[languageAt + 24] = char(0xFF);
    hostile[languageAt + 26] = char(0xFF); // a text longer than its object
    const qsizetype recordsAt = hostile.indexOf(QByteArray(bitrateId, 5));
    hostile[recordsAt + 25] = char(0x7F);
    StreamList list = ReadStreamList(hostile);
    EXPECT_EQ(numbersOf(list), (QList<quint8>{1, 2}));
    EXPECT_TRUE(list.find(1)->language.isEmpty());

    // An object of size 0 ends the walk; one larger than the header is cut at its end.
    QByteArray zero = header({videoStream(1, 1, 1), videoStream(2, 2, 2)});
    const qsizetype second = zero.indexOf(QByteArray(streamId, 5), 40);
    zero.replace(second + 16, 8, U64ToBytes(quint64(0)));
    EXPECT_EQ(numbersOf(ReadStreamList(zero)), (QList<quint8>{1}));
    QByteArray huge = header({videoStream(1, 1, 1)});
    huge.replace(30 + 16, 8, U64ToBytes(quint64(1) << 62));
    EXPECT_EQ(numbersOf(ReadStreamList(huge)), (QList<quint8>{1}));

    // An extension whose data size runs far past it; one inside another is not read.
    QByteArray nested =
        header({headerExtension({headerExtension({videoStream(9, 1, 1)})}), videoStream(1, 1, 1)});
    EXPECT_EQ(numbersOf(ReadStreamList(nested)), (QList<quint8>{1}));
    QByteArray runaway = header({headerExtension({extendedStream(1, 5, 0)}), videoStream(1, 1, 1)});
    runaway.replace(30 + 42, 4, U32ToBytes(0xFFFFFFF0u));
    EXPECT_EQ(numbersOf(ReadStreamList(runaway)), (QList<quint8>{1}));

    EXPECT_TRUE(ReadStreamList(QByteArray()).streams.isEmpty());
    EXPECT_TRUE(ReadStreamList(QByteArray(100, '\0')).streams.isEmpty());
}
