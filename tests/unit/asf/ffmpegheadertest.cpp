#include "asf/headeranalysis.h"

#include "shell/bytereader.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

QByteArray run(const QString &program, const QStringList &args, const QString &dir)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

} // namespace

// A header written by an independent muxer, checked against what its own prober reports.
TEST(HeaderAnalysis, AgreesWithFfprobeOnAnFfmpegFile)
{
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    const QString ffprobe = QStandardPaths::findExecutable("ffprobe");
    if (ffmpeg.isEmpty() || ffprobe.isEmpty())
        GTEST_SKIP() << "ffmpeg not installed";

    QTemporaryDir dir;
    const QStringList make = QStringLiteral("-v error -f lavfi -i testsrc=size=320x240:rate=25 -f lavfi "
                                            "-i sine=frequency=440 -t 2 -c:v wmv2 -b:v 300k -c:a wmav2 "
                                            "-b:a 64k -metadata title=Test -f asf sample.asf")
                                 .split(' ');
    run(ffmpeg, make, dir.path());
    const QString path = dir.filePath("sample.asf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray head = file.read(24);
    ASSERT_EQ(head.size(), 24);
    // The header the server would announce: the Header Object and the Data Object's 50 bytes.
    const quint32 headerSize = quint32(lumo::ByteReader(head).u64(16).value_or(0) + 50);

    const QJsonObject probe =
        QJsonDocument::fromJson(
            run(ffprobe, {"-v", "error", "-show_streams", "-show_format", "-of", "json", path}, dir.path()))
            .object();
    const QJsonArray streams = probe["streams"].toArray();
    ASSERT_FALSE(streams.isEmpty());

    const lumo::HeaderAnalysis r = lumo::AnalyseAsfHeader(path, headerSize, lumo::StreamType::Stored, path);
    ASSERT_TRUE(r.ok) << r.errorMessage.toStdString();
    ASSERT_EQ(r.StreamCount, quint32(streams.size()));

    const lumo::FileProperties &p = r.properties;
    double longest = 0;
    for (qsizetype i = 0; i < streams.size(); ++i) {
        const QJsonObject s = streams[i].toObject();
        // The muxer numbers its streams from 1 in the order it writes them.
        EXPECT_EQ(r.StreamNumbers[i], i + 1);
        longest = std::max(longest, s["duration"].toString().toDouble());
        if (s["codec_type"] == "video") {
            EXPECT_TRUE(r.StreamKinds & 0x2);
            EXPECT_EQ(p.VidSize, u"%1 x %2"_s.arg(s["width"].toInt()).arg(s["height"].toInt()));
            EXPECT_TRUE(p.Codecs.contains(u"视频 : "_s + s["codec_name"].toString(), Qt::CaseInsensitive));
            EXPECT_TRUE(p.Codecs.contains(u"FourCC: "_s + s["codec_tag_string"].toString()));
        } else if (s["codec_type"] == "audio") {
            EXPECT_TRUE(r.StreamKinds & 0x1);
            // "Windows Media Audio" without the version, which the two name differently.
            const QString family = s["codec_long_name"].toString().section(' ', 0, 2);
            EXPECT_TRUE(p.Codecs.filter(u"音频 : "_s + family).size() == 1)
                << p.Codecs.join('|').toStdString();
        }
    }
    EXPECT_NEAR(r.SendDuration, longest * 1000, 50);
    EXPECT_EQ(p.Length, "00 : 00 : 02");
    EXPECT_EQ(p.Clip, probe["format"].toObject()["tags"].toObject()["title"].toString());
    EXPECT_FALSE(p.Created_File.isEmpty());
}
