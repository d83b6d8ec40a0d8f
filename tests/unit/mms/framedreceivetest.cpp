// The receive worker on answers over HTTP, fed the framed chunks of an ffmpeg-made file.
#include "asf/headergeometry.h"
#include "mms/httpframing.h"
#include "shell/bytereader.h"
#include "support/testmedia.h"
#include "support/workerharness.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace lumo;
using namespace lumo::test;

namespace {

QByteArray chunk(char type, quint32 location, const QByteArray &payload)
{
    const quint16 length = quint16(mmsh::DataHeaderSize + payload.size());
    QByteArray c;
    c += '$';
    c += type;
    c += char(length & 0xFF);
    c += char(length >> 8);
    c += U32ToBytes(location);
    c += '\0';
    c += '\x0C';
    c += char(length & 0xFF);
    c += char(length >> 8);
    return c + payload;
}

class FramedReceive : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!haveFfmpeg())
            GTEST_SKIP() << "ffmpeg is needed to make the test media";
        const QString sample = makeSampleAsf(m_dir.path(), QStringLiteral("sample.asf"));
        ASSERT_FALSE(sample.isEmpty());
        m_file = asfStreamedPart(sample);
        const auto geometry = ReadHeaderGeometry(m_file);
        ASSERT_TRUE(geometry);
        m_geometry = *geometry;
        h.task.Transport = Transport::Http;
        h.task.StreamType = StreamType::Stored;
    }

    QByteArray header() const { return m_file.left(m_geometry.headerSize); }
    QByteArray packet(quint32 index) const
    {
        return m_file.mid(qsizetype(m_geometry.headerSize) + qsizetype(index) * m_geometry.packetSize,
                          m_geometry.packetSize);
    }

    // One answer through a worker run, to its end.
    void answer(const QByteArray &body)
    {
        h.hooks.reset();
        h.task.RecvBuffer.reset();
        h.worker.start();
        h.task.RecvBuffer.append(body.constData(), body.size());
        h.task.RecvBuffer.markClosed();
        ASSERT_TRUE(h.hooks.waitFinished(10000));
        ASSERT_TRUE(h.worker.join(10000));
    }

    QTemporaryDir m_dir;
    QByteArray m_file;
    HeaderGeometry m_geometry;
    WorkerHarness h;
};

} // namespace

// The Describe answer: a header in pieces with metadata between them is joined, written and
// analysed, and the geometry the answer never states is read from it.
TEST_F(FramedReceive, DescribeAnswerGivesTheHeaderAndItsGeometry)
{
    const QString out = m_dir.filePath(QStringLiteral("out.asf"));
    ASSERT_TRUE(h.task.SaveFile.createNew(out));
    const QByteArray head = header();
    answer(chunk('H', 0, head.left(100)) + chunk('M', 0, "title") + chunk('H', 1, head.mid(100)) +
           chunk('X', 0, "unknown"));
    EXPECT_TRUE(h.hooks.headerReady);
    EXPECT_EQ(h.task.HeaderSize.load(), m_geometry.headerSize);
    EXPECT_EQ(h.task.PacketSize.load(), m_geometry.packetSize);
    EXPECT_EQ(h.task.PacketCount.load(), m_geometry.packetCount);
    h.task.SaveFile.close();
    EXPECT_EQ(readFile(out), head);

    // The Play answer repeats the header; the packets follow it, then the end.
    ASSERT_TRUE(h.task.SaveFile.openExisting(out));
    QByteArray play = chunk('H', 0, head);
    for (quint32 i = 0; i < m_geometry.packetCount; ++i)
        play += chunk('D', i, packet(i));
    answer(play + "$E\x04\x00" + QByteArray(4, '\0'));
    h.task.SaveFile.close();
    EXPECT_EQ(readFile(out), m_file);
}

// A resumed download whose server starts past the first missing packet stops before writing:
// the packets would land after a hole.
TEST_F(FramedReceive, ResumeThatStartsPastTheGapWritesNothing)
{
    const QString out = m_dir.filePath(QStringLiteral("part.asf"));
    QFile part(out);
    ASSERT_TRUE(part.open(QIODevice::WriteOnly));
    part.write(m_file.left(qsizetype(m_geometry.headerSize) + 3 * m_geometry.packetSize));
    part.close();
    const QByteArray before = readFile(out);
    ASSERT_TRUE(h.task.SaveFile.openExisting(out));
    h.task.ResumeMode = ResumeMode::Resume;
    h.task.HeaderSize = m_geometry.headerSize;
    h.task.PacketSize = m_geometry.packetSize;
    h.task.HeaderBuffer = header();
    h.task.ResumePacket = 3;
    answer(chunk('H', 0, header()) + chunk('D', 5, packet(5)) + chunk('D', 6, packet(6)));
    EXPECT_FALSE(h.task.DataPacketSeen);
    EXPECT_TRUE(
        h.log.lines().contains(QStringLiteral("- 服务器从数据包 5 开始发送, 而文件需要从 3 继续, 无法续传")));
    ASSERT_FALSE(h.person.messages.isEmpty());
    EXPECT_TRUE(h.person.messages.last().startsWith(QStringLiteral("服务器没有从文件缺少的位置开始发送")));
    h.task.SaveFile.close();
    EXPECT_EQ(readFile(out), before);
}

// Data before any header cannot be placed: the stream is corrupt.
TEST_F(FramedReceive, DataBeforeTheHeaderIsACorruptStream)
{
    answer(chunk('D', 0, packet(0)));
    EXPECT_FALSE(h.hooks.headerReady);
    EXPECT_TRUE(h.log.lines().contains(QStringLiteral("当前的 MMS 信息包出错 - 现在关闭")));
}
