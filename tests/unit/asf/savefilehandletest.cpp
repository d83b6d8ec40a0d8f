// Gathered data writes: packets that follow one another go out together, every other access
// sees them on disk first, and a failed write names the first byte that may be missing.

#include "asf/savefilehandle.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

using namespace lumo;

namespace {

class Handle : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("f.asf");
        ASSERT_TRUE(file.createNew(path));
    }
    QByteArray onDisk() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir;
    QString path;
    SaveFileHandle file;
};

// Writes past `bytes` fail (EFBIG) while it lives.
struct FileSizeLimit
{
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited{};
        if (getrlimit(RLIMIT_FSIZE, &old) != 0)
            return;
        limited = old;
        limited.rlim_cur = bytes;
        set = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        if (set)
            setrlimit(RLIMIT_FSIZE, &old);
    }
    rlimit old{};
    bool set = false;
};

} // namespace

TEST_F(Handle, ConsecutiveWritesWaitUntilFlushed)
{
    ASSERT_EQ(file.writeGathered(4, "bb", 2), SaveFileHandle::Write::Ok);
    ASSERT_EQ(file.writeGathered(6, "cc", 2), SaveFileHandle::Write::Ok);
    EXPECT_TRUE(onDisk().isEmpty());
    ASSERT_EQ(file.flush(), SaveFileHandle::Write::Ok);
    EXPECT_EQ(onDisk(), QByteArray("\0\0\0\0bbcc", 8));
    EXPECT_EQ(file.unwrittenFrom(), -1);
}

TEST_F(Handle, AWriteElsewhereSendsTheRunFirst)
{
    ASSERT_EQ(file.writeGathered(2, "aa", 2), SaveFileHandle::Write::Ok);
    // A packet out of step (a resumed or reordered stream) breaks the run.
    ASSERT_EQ(file.writeGathered(0, "zz", 2), SaveFileHandle::Write::Ok);
    EXPECT_EQ(onDisk(), QByteArray("\0\0aa", 4));
    ASSERT_EQ(file.writeAt(6, "h", 1), SaveFileHandle::Write::Ok);
    EXPECT_EQ(onDisk(), QByteArray("zzaa\0\0h", 7));
}

// The finishing steps, the size and the close run after every gathered packet is in place.
TEST_F(Handle, EveryOtherAccessFlushesFirst)
{
    ASSERT_EQ(file.writeGathered(0, "abcd", 4), SaveFileHandle::Write::Ok);
    EXPECT_EQ(file.size(), 4);
    ASSERT_EQ(file.writeGathered(4, "ef", 2), SaveFileHandle::Write::Ok);
    char back[6] = {};
    EXPECT_EQ(file.readAt(0, back, 6), 6);
    EXPECT_EQ(QByteArray(back, 6), "abcdef");
    ASSERT_EQ(file.writeGathered(6, "gh", 2), SaveFileHandle::Write::Ok);
    QByteArray seen;
    EXPECT_TRUE(file.locked([&] { seen = onDisk(); }));
    EXPECT_EQ(seen, "abcdefgh");
    ASSERT_EQ(file.writeGathered(8, "ij", 2), SaveFileHandle::Write::Ok);
    file.close();
    EXPECT_EQ(onDisk(), "abcdefghij");
    EXPECT_EQ(file.writeGathered(10, "k", 1), SaveFileHandle::Write::Closed);
}

TEST_F(Handle, FullRunIsWrittenWithoutAFlush)
{
    const QByteArray block(SaveFileHandle::RunBytes / 4, 'x');
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(file.writeGathered(i * block.size(), block.constData(), block.size()),
                  SaveFileHandle::Write::Ok);
    EXPECT_EQ(onDisk().size(), SaveFileHandle::RunBytes);
}

TEST(HandleFailure, FailedRunNamesItsFirstByte)
{
    SaveFileHandle full;
    if (!full.openExisting(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "/dev/full is not there";
    ASSERT_EQ(full.writeGathered(3200, "p", 1), SaveFileHandle::Write::Ok);
    ASSERT_EQ(full.writeGathered(3201, "q", 1), SaveFileHandle::Write::Ok);
    EXPECT_EQ(full.flush(), SaveFileHandle::Write::Failed);
    EXPECT_EQ(full.unwrittenFrom(), 3200);
    EXPECT_FALSE(full.lastError().isEmpty());
    // The lost run is not written again; an earlier loss moves the point back.
    EXPECT_EQ(full.flush(), SaveFileHandle::Write::Ok);
    ASSERT_EQ(full.writeGathered(100, "r", 1), SaveFileHandle::Write::Ok);
    EXPECT_TRUE(full.locked([] {}));
    EXPECT_EQ(full.unwrittenFrom(), 100);
}

// A run cut short by the file size limit: the bytes before the limit are on disk, and the
// first missing byte is where the limit fell.
TEST_F(Handle, RunCutShortNamesWhereItStopped)
{
    const FileSizeLimit limit(10000);
    ASSERT_TRUE(limit.set);
    const QByteArray block(8000, 'y');
    ASSERT_EQ(file.writeGathered(0, block.constData(), block.size()), SaveFileHandle::Write::Ok);
    ASSERT_EQ(file.writeGathered(8000, block.constData(), block.size()), SaveFileHandle::Write::Ok);
    const SaveFileHandle::Write written = file.flush();
    EXPECT_EQ(written, SaveFileHandle::Write::Failed);
    EXPECT_EQ(file.unwrittenFrom(), 10000);
    EXPECT_EQ(onDisk().size(), 10000);
}

// Pieces go out after the gathered run, one after another from their offset.
TEST_F(Handle, PiecesFollowTheGatheredRun)
{
    ASSERT_EQ(file.writeGathered(0, "ab", 2), SaveFileHandle::Write::Ok);
    char payload[] = "xyz";
    char pad[] = "\0\0";
    const iovec pieces[] = {{payload, 3}, {pad, 2}, {payload, 3}};
    ASSERT_EQ(file.writePieces(4, pieces, 3), SaveFileHandle::Write::Ok);
    EXPECT_EQ(onDisk(), QByteArray("ab\0\0xyz\0\0xyz", 12));
}

// A write of pieces cut short by the file size limit keeps what fit, piece boundaries and all,
// and names the first missing byte.
TEST_F(Handle, PiecesCutShortNameWhereTheyStopped)
{
    const FileSizeLimit limit(10000);
    ASSERT_TRUE(limit.set);
    QByteArray a(3000, 'a'), b(3000, 'b'), c(3000, 'c'), d(3000, 'd');
    const iovec pieces[] = {{a.data(), 3000}, {b.data(), 3000}, {c.data(), 3000}, {d.data(), 3000}};
    const SaveFileHandle::Write written = file.writePieces(100, pieces, 4);
    EXPECT_EQ(written, SaveFileHandle::Write::Failed);
    EXPECT_EQ(file.unwrittenFrom(), 10000);
    EXPECT_EQ(onDisk(), QByteArray(100, '\0') + a + b + c + d.left(900));
}
