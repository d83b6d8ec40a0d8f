#include "asf/headeranalysis.h"

#include "asf/propertiesreport.h"
#include "asfbuilder.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

#include <vector>

using namespace asftest;
using namespace Qt::StringLiterals;
using lumo::AnalyseAsfHeader;
using lumo::AnalyseAsfHeaderBytes;
using lumo::HeaderAnalysis;
using lumo::StreamType;

namespace {

// 2024-01-01 21:05:00 UTC as a FILETIME.
constexpr quint64 newYearEvening = (1704143100ull + 11644473600ull) * 10000000ull;

QByteArray fullHeader()
{
    FileProps fp;
    fp.fileSize = 1234567;
    fp.creation = newYearEvening;
    fp.packets = 77;
    fp.sendDuration = 655360000;
    fp.maxBitRate = 282000;
    return header(
        {fileProperties(fp), bitrates({{1, 32000}, {2, 250000}}), audioStream(1, true),
         videoStream(2, 320, 240),
         contentDescription({u"标题"_s, "Author", "(c) Nobody", "A clip\r\nin two lines", "PG"}),
         extendedDescription({{"WMFSDKVersion", "9.00.00.2980"}, {"WMFSDKNeeded", "0.0.0.0000"}}),
         codecList(2, codecEntry(2, "Windows Media Audio 9", "32 kbps, 22 kHz, stereo", "\x61\x01") +
                          codecEntry(1, "Windows Media Video 9", "", "ABCD"))});
}

// The bytes in an allocation of exactly their size, so that the sanitizer sees any overread.
HeaderAnalysis analyseExact(const QByteArray &bytes, StreamType streamType = StreamType::Stored)
{
    const std::vector<char> exact(bytes.begin(), bytes.end());
    return AnalyseAsfHeaderBytes(QByteArrayView(exact.data(), qsizetype(exact.size())), streamType, "loc");
}

} // namespace

TEST(HeaderAnalysis, FullHeaderFillsTaskValuesAndPages)
{
    const HeaderAnalysis r = analyseExact(fullHeader());
    ASSERT_TRUE(r.ok) << r.errorMessage.toStdString();
    EXPECT_EQ(r.StreamCount, 2u);
    EXPECT_EQ(r.StreamNumbers, (std::array<quint8, 10>{1, 2}));
    EXPECT_EQ(r.StreamKinds, 0x7u);
    EXPECT_EQ(r.AsfFileSize, 1234567u);
    EXPECT_EQ(r.ResumePacket, 77u);
    EXPECT_EQ(r.SendDuration, 65536u);
    EXPECT_EQ(r.MaxBitRate, 282000u);

    const lumo::FileProperties &p = r.properties;
    EXPECT_EQ(p.Clip, u"标题"_s);
    EXPECT_EQ(p.Author, "Author");
    EXPECT_EQ(p.Copyright, "(c) Nobody");
    EXPECT_EQ(p.Description, "A clip\r\nin two lines");
    EXPECT_EQ(p.Rating, "PG");
    EXPECT_EQ(p.Location, "loc");
    EXPECT_EQ(p.Type, u"[视频] [音频] 音频隐藏开启"_s);
    EXPECT_EQ(p.VidSize, "320 x 240");
    EXPECT_EQ(p.FileSize, u"1234 KB,  (当下载完成后的总大小)"_s);
    EXPECT_EQ(p.Length, "00 : 01 : 05");
    EXPECT_EQ(p.BitRateInfo, (QStringList{u"可用总数 = 2"_s, u"流媒体 ID  :1  音频"_s, u"流媒体速率:32000"_s,
                                          u"流媒体 ID  :2  视频"_s, u"流媒体速率:250000"_s}));
    EXPECT_EQ(p.Version, (QStringList{u"编码器: WMFSDKVersion"_s, u"版本: 9.00.00.2980"_s,
                                      u"注释: WMFSDKNeeded"_s, u"其它  : 0.0.0.0000"_s}));
    EXPECT_EQ(p.Codecs, (QStringList{u"---------- 音频 ----------"_s, u"音频 : Windows Media Audio 9"_s,
                                     u"速率  : 32 kbps, 22 kHz, stereo"_s, u"---------- 视频 ----------"_s,
                                     u"视频 : Windows Media Video 9"_s, u"FourCC: ABCD"_s}));
    const QDateTime created(QDate(2024, 1, 1), QTime(21, 5), Qt::UTC);
    EXPECT_EQ(p.Created_Asf, lumo::formatPropertiesDateTime(created) + u"  (ASF 文件时间)"_s);
    EXPECT_TRUE(p.Created_File.isEmpty());

    const HeaderAnalysis live = analyseExact(fullHeader(), StreamType::Live);
    EXPECT_EQ(live.properties.FileSize, u"实况"_s);
    EXPECT_EQ(live.properties.Length, u"实况"_s);

    const QStringList report = lumo::describeFileProperties(r);
    EXPECT_TRUE(report.contains(u"  剪辑: 标题"_s));
    EXPECT_TRUE(report.contains(u"  说明: A clip"_s));
    EXPECT_TRUE(report.contains(u"    in two lines"_s));
    EXPECT_TRUE(report.contains(u"    FourCC: ABCD"_s));
}

TEST(HeaderAnalysis, AbsentOptionalObjectsGiveTheirPlaceholders)
{
    const HeaderAnalysis r = analyseExact(header({fileProperties({}), audioStream(5, false)}));
    ASSERT_TRUE(r.ok);
    const lumo::FileProperties &p = r.properties;
    EXPECT_EQ(p.BitRateInfo, QStringList{u"单一速率"_s});
    EXPECT_EQ(p.Description, u"没有可用信息"_s);
    EXPECT_EQ(p.Version, QStringList{u"无可用信息"_s});
    EXPECT_EQ(p.Codecs, QStringList{u"无可用信息"_s});
    EXPECT_EQ(p.VidSize, u"不可用"_s);
    EXPECT_EQ(p.Type, u"[音频] "_s);
    EXPECT_TRUE(p.Created_Asf.isEmpty()); // creation date 0
}

TEST(HeaderAnalysis, MissingRequiredObjectsFailWithTheirMessage)
{
    const QByteArray fp = fileProperties({});
    const QByteArray rates = bitrates({{1, 1000}});
    const struct
    {
        QByteArray bytes;
        QString message;
    } cases[] = {
        {QByteArray(), u"ASF 错误 - 没有找到任何目标数据块"_s},
        {header({fp, audioStream(1, false)}, false), u"ASF 错误 - 没有找到任何目标数据"_s},
        {header({fp, rates}), u"ASF 错误 - 流媒体 ID 显示没有可用的流信息"_s},
        {header({audioStream(1, false)}), u"ASF 错误 - 找不到文件目标"_s},
    };
    for (const auto &c : cases) {
        const HeaderAnalysis r = analyseExact(c.bytes);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.errorMessage, c.message);
    }
    // Lines added before the failing step stay.
    EXPECT_EQ(analyseExact(header({fp, rates})).properties.BitRateInfo.size(), 3);
}

TEST(HeaderAnalysis, TablesHoldAtMostTenEntries)
{
    QList<QByteArray> children{fileProperties({})};
    QList<QPair<quint8, quint32>> records;
    for (quint8 n = 1; n <= 11; ++n) {
        children << audioStream(n, false);
        records << qMakePair(n, quint32(n * 1000));
    }
    children << bitrates(records);
    const HeaderAnalysis r = analyseExact(header(children));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.StreamCount, 10u);
    EXPECT_EQ(r.StreamNumbers[9], 10);
    EXPECT_EQ(r.properties.BitRateInfo.first(), u"可用总数 = 11"_s);
    EXPECT_EQ(r.properties.BitRateInfo.size(), 1 + 2 * 10);
}

TEST(HeaderAnalysis, CodecListEdgeCases)
{
    const QByteArray audio = codecEntry(2, "A", "d", "");
    const struct
    {
        quint32 count;
        QByteArray entries;
        QStringList codecs;
    } cases[] = {
        {0, audio, {}},
        {1, audio, {u"---------- 音频 ----------"_s, u"音频 : A"_s, u"速率  : d"_s}},
        // An unknown type is reported and only its type field is passed.
        {2,
         u16(7) + audio,
         {u"太多的解码器被显示"_s, u"---------- 音频 ----------"_s, u"音频 : A"_s, u"速率  : d"_s,
          u"---------- 视频 ----------"_s, u"视频 : "_s, u"FourCC: "_s}},
    };
    for (const auto &c : cases) {
        const HeaderAnalysis r =
            analyseExact(header({fileProperties({}), audioStream(1, false), codecList(c.count, c.entries)}));
        EXPECT_EQ(r.properties.Codecs, c.codecs) << c.count;
    }
}

TEST(HeaderAnalysis, FileTimes)
{
    EXPECT_EQ(lumo::fileTimeToDateTime(0), QDateTime(QDate(1601, 1, 1), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(lumo::fileTimeToDateTime(newYearEvening), QDateTime(QDate(2024, 1, 1), QTime(21, 5), Qt::UTC));
    EXPECT_FALSE(lumo::fileTimeToDateTime(0x8000000000000000ull));
    EXPECT_EQ(
        lumo::formatPropertiesDateTime(QDateTime(QDate(2024, 1, 1), QTime(21, 5), Qt::UTC), QLocale::c()),
        "Mon, 01 January 2024  09:05:00 PM");

    FileProps fp;
    fp.creation = 0x8000000000000000ull;
    EXPECT_EQ(analyseExact(header({fileProperties(fp), audioStream(1, false)})).properties.Created_Asf,
              u"FILETIME 值错误"_s);
}

// Every prefix of a real header, and lengths that point far past the end: no read outside the
// bytes (run under the sanitizer build), and the analysis ends with a result.
TEST(HeaderAnalysis, TruncatedAndHostileHeadersStayInsideTheBytes)
{
    const QByteArray full = fullHeader();
    for (qsizetype n = 0; n <= full.size(); ++n)
        analyseExact(full.first(n));

    QByteArray hostileTexts = object(contentId, QByteArray(10, '\xFF'));
    QByteArray hostileExt = object(extContentId, u16(2) + u16(0xFF) + "\x41");
    QByteArray hostileCodecs =
        object(codecListId, guid(codecReservedId) + U32ToBytes(0xFFFFFFFF) + u16(1) + u16(0xFF) + "\x41\x00");
    for (const QByteArray &tail : {hostileTexts, hostileExt, hostileCodecs, bitrates({}) + "\xFF"}) {
        // The hostile object comes last, so its lengths run off the end of the bytes.
        const QByteArray bytes = header({fileProperties({}), audioStream(1, false)}) + tail;
        const HeaderAnalysis r = analyseExact(bytes);
        EXPECT_TRUE(r.ok);
    }
    // A Stream Properties identifier in the last bytes is no stream.
    EXPECT_EQ(analyseExact(header({fileProperties({})}) + guid(streamId)).errorMessage,
              u"ASF 错误 - 流媒体 ID 显示没有可用的流信息"_s);
}

TEST(HeaderAnalysis, ReadsTheFileAndItsWriteTime)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("clip.asf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray bytes = fullHeader();
    file.write(bytes);
    file.close();

    // A header size beyond the file reads what is there.
    const HeaderAnalysis r = AnalyseAsfHeader(path, 0xFFFFFFFF, StreamType::Stored, path);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.StreamCount, 2u);
    const QDateTime written = QFileInfo(path).lastModified().toUTC();
    EXPECT_EQ(r.properties.Created_File, lumo::formatPropertiesDateTime(written) + u"  (文件最后写入时间)"_s);
    EXPECT_FALSE(r.properties.Created_Asf.isEmpty());

    // Only the first headerSize bytes count: cut before the Data Object.
    EXPECT_EQ(AnalyseAsfHeader(path, quint32(bytes.size() - 50), StreamType::Stored, path).errorMessage,
              u"ASF 错误 - 没有找到任何目标数据"_s);

    EXPECT_EQ(AnalyseAsfHeader(dir.filePath("missing.asf"), 32768, StreamType::Stored, "").errorMessage,
              u"无法打开文件来展开"_s);
    QFile empty(dir.filePath("empty.asf"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_EQ(AnalyseAsfHeader(empty.fileName(), 32768, StreamType::Stored, "").errorMessage,
              u"ASF 文件头没有包含数据"_s);
}
