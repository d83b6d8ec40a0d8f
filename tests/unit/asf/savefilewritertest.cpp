#include "asf/savefilewriter.h"
#include "shell/tasklog.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

using namespace lumo;

namespace {

class Writer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("out.asf");
        ASSERT_TRUE(file.createNew(path));
    }

    QByteArray fileBytes()
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    SaveFileWriter::HeaderState addHeader(QByteArrayView piece, bool resume = false)
    {
        return writer.WriteHeaderPacket(file, headerBuffer, 30, resume, piece);
    }

    SaveFileWriter::DataState write(const PacketGeometry &geometry, std::initializer_list<DataPacket> packets)
    {
        SaveFileHandle::Access access = file.lock();
        return writer.WriteDataPackets(access, geometry, std::span(packets.begin(), packets.size()));
    }

    QTemporaryDir dir;
    QString path;
    SaveFileHandle file;
    QByteArray headerBuffer;
    TaskLog log;
    SaveFileWriter writer{log};
};

} // namespace

TEST_F(Writer, HeaderIsWrittenOnceWhenComplete)
{
    const QByteArray header = QByteArray("0123456789abcdefghijKLMNOPQRST");
    EXPECT_EQ(addHeader(header.first(10)), SaveFileWriter::HeaderState::Incomplete);
    EXPECT_EQ(addHeader(header.sliced(10, 10)), SaveFileWriter::HeaderState::Incomplete);
    EXPECT_TRUE(fileBytes().isEmpty());
    EXPECT_EQ(addHeader(header.sliced(20)), SaveFileWriter::HeaderState::Complete);
    EXPECT_EQ(fileBytes(), header);
    // A further piece overruns the announced size.
    EXPECT_EQ(addHeader("x"), SaveFileWriter::HeaderState::Failed);
    EXPECT_EQ(writer.failureMessage(), "接收到的文件头长度已超过预设值");
}

TEST_F(Writer, ResumeCollectsButKeepsTheFilesHeader)
{
    EXPECT_EQ(addHeader(QByteArray(30, 'h'), true), SaveFileWriter::HeaderState::Complete);
    EXPECT_EQ(headerBuffer, QByteArray(30, 'h'));
    EXPECT_TRUE(fileBytes().isEmpty());
}

// Short packets are padded with zeros, long ones cut with a warning; each lands where its index
// puts it, in or out of order.
TEST_F(Writer, PacketsArePaddedOrCutToTheirPlace)
{
    const PacketGeometry geometry{8, 20};
    const QByteArray shortPacket(10, 'b'), longPacket(30, 'a'), fullPacket(20, 'c');
    EXPECT_EQ(write(geometry, {{1, shortPacket.constData(), shortPacket.size()},
                               {0, longPacket.constData(), longPacket.size()},
                               {2, fullPacket.constData(), fullPacket.size()},
                               {3, nullptr, 0}}),
              SaveFileWriter::DataState::Written);
    EXPECT_EQ(fileBytes(), QByteArray(8, '\0') + QByteArray(20, 'a') + QByteArray(10, 'b') +
                               QByteArray(10, '\0') + QByteArray(20, 'c') + QByteArray(20, '\0'));
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines()[0].startsWith("警告   "));
    EXPECT_TRUE(log.lines()[0].endsWith(" 必须要将信息包长度剪切到适当长度"));
}

// More packets than one system call takes still all land in place.
TEST_F(Writer, LongBatchesAreSplitAcrossWrites)
{
    const PacketGeometry geometry{0, 4};
    std::vector<DataPacket> packets;
    const char payload[] = "p";
    for (quint32 i = 0; i < quint32(SaveFileHandle::Access::MaxPieces); ++i)
        packets.push_back({i, payload, 1});
    SaveFileHandle::Access access = file.lock();
    ASSERT_EQ(writer.WriteDataPackets(access, geometry, packets), SaveFileWriter::DataState::Written);
    EXPECT_EQ(access.size(), 4 * SaveFileHandle::Access::MaxPieces);
    char back[4];
    EXPECT_EQ(access.readAt(4 * 1000, back, 4), 4);
    EXPECT_EQ(QByteArray(back, 4), QByteArray("p\0\0\0", 4));
}

// Positions are 64-bit: a packet past 4 GiB lands at its place, not at a wrapped offset.
TEST_F(Writer, PacketPastFourGibibytesLandsInPlace)
{
    const PacketGeometry geometry{5000, 65000};
    const QByteArray packet(65000, 'z');
    ASSERT_EQ(write(geometry, {{70000, packet.constData(), packet.size()}}),
              SaveFileWriter::DataState::Written);
    const qint64 offset = 5000 + qint64(70000) * 65000; // 4 550 005 000
    SaveFileHandle::Access access = file.lock();
    EXPECT_EQ(access.size(), offset + 65000);
    QByteArray back(4, '\0');
    EXPECT_EQ(access.readAt(offset - 2, back.data(), 4), 4);
    EXPECT_EQ(back, QByteArray("\0\0zz", 4));
    EXPECT_EQ(SaveFileWriter::packetsOnDisk(access, geometry), 70001u);
}

TEST_F(Writer, ClosedFileDropsTheWrite)
{
    file.close();
    EXPECT_EQ(write({0, 4}, {{0, "abcd", 4}}), SaveFileWriter::DataState::Dropped);
}

TEST(WriterFailure, FailedWriteNamesTheFirstLostPacket)
{
    SaveFileHandle full;
    if (!full.openExisting(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "/dev/full is not there";
    TaskLog log;
    SaveFileWriter writer(log);
    const PacketGeometry geometry{100, 10};
    SaveFileHandle::Access access = full.lock();
    EXPECT_EQ(writer.WriteDataPackets(access, geometry, std::vector<DataPacket>{{7, "abc", 3}}),
              SaveFileWriter::DataState::Failed);
    EXPECT_FALSE(writer.failureMessage().isEmpty());
    EXPECT_EQ(SaveFileWriter::firstUnwrittenPacket(access, geometry), 7u);
}
