#include "asf/savefilewriter.h"
#include "mms/downloadtask.h"
#include "shell/settings.h"
#include "shell/tasklog.h"
#include "support/scriptedperson.h"

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
        ASSERT_TRUE(task.SaveFile.createNew(path));
    }

    QByteArray fileBytes()
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString path;
    DownloadTask task;
    TaskLog log;
    test::ScriptedPerson person;
    Settings settings;
    SaveFileWriter writer{task, log, person, settings};
};

} // namespace

TEST_F(Writer, HeaderIsWrittenOnceWhenComplete)
{
    task.HeaderSize = 30;
    const QByteArray header = QByteArray("0123456789abcdefghijKLMNOPQRST");
    EXPECT_EQ(writer.WriteHeaderPacket(header.constData(), 10), SaveFileWriter::HeaderState::Incomplete);
    EXPECT_EQ(writer.WriteHeaderPacket(header.constData() + 10, 10), SaveFileWriter::HeaderState::Incomplete);
    EXPECT_TRUE(fileBytes().isEmpty());
    EXPECT_EQ(writer.WriteHeaderPacket(header.constData() + 20, 10), SaveFileWriter::HeaderState::Complete);
    EXPECT_EQ(fileBytes(), header);
    // A further piece overruns the announced size.
    EXPECT_EQ(writer.WriteHeaderPacket("x", 1), SaveFileWriter::HeaderState::Failed);
    EXPECT_EQ(writer.failureMessage(), "接收到的文件头长度已超过预设值");
}

TEST_F(Writer, ResumeModeCollectsButKeepsTheFilesHeader)
{
    task.HeaderSize = 4;
    task.ResumeMode = 1;
    EXPECT_EQ(writer.WriteHeaderPacket("abcd", 4), SaveFileWriter::HeaderState::Complete);
    EXPECT_TRUE(fileBytes().isEmpty());
}

TEST_F(Writer, PacketsArePaddedOrCutToTheirPlace)
{
    task.HeaderSize = 8;
    task.PacketSize = 20;
    task.PadBytes = QByteArray(20, '\0');

    task.PacketIndex = 1;
    QByteArray shortPacket(10, 'b');
    EXPECT_EQ(writer.WriteDataPacket(shortPacket), SaveFileWriter::DataState::Written);
    task.PacketIndex = 0;
    QByteArray longPacket(30, 'a');
    EXPECT_EQ(writer.WriteDataPacket(longPacket), SaveFileWriter::DataState::Written);

    EXPECT_EQ(writer.FlushData(), SaveFileWriter::DataState::Written);
    EXPECT_EQ(fileBytes(),
              QByteArray(8, '\0') + QByteArray(20, 'a') + QByteArray(10, 'b') + QByteArray(10, '\0'));
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines()[0].startsWith("警告   "));
    EXPECT_TRUE(log.lines()[0].endsWith(" 必须要将信息包长度剪切到适当长度"));
}

// Positions are 64-bit: a packet past 4 GiB lands at its place, not at a wrapped offset.
TEST_F(Writer, PacketPastFourGibibytesLandsInPlace)
{
    task.HeaderSize = 5000;
    task.PacketSize = 65000;
    task.PadBytes = QByteArray(65000, '\0');
    task.PacketIndex = 70000; // 5000 + 70000 x 65000 = 4 550 005 000
    QByteArray packet(65000, 'z');
    ASSERT_EQ(writer.WriteDataPacket(packet), SaveFileWriter::DataState::Written);
    const qint64 offset = 5000 + qint64(70000) * 65000;
    EXPECT_EQ(task.SaveFile.size(), offset + 65000);
    QByteArray back(4, '\0');
    EXPECT_EQ(task.SaveFile.readAt(offset - 2, back.data(), 4), 4);
    EXPECT_EQ(back, QByteArray("\0\0zz", 4));
}

TEST_F(Writer, ClosedFileDropsTheWrite)
{
    task.PacketSize = 4;
    task.SaveFile.close();
    QByteArray packet("abcd");
    EXPECT_EQ(writer.WriteDataPacket(packet), SaveFileWriter::DataState::Dropped);
}
