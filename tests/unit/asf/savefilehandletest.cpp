// The save file: positional writes of pieces, a closed file that drops what comes late, and a
// failed write that names the first byte that may be missing.

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

TEST_F(Handle, PiecesGoOutOneAfterAnother)
{
    char payload[] = "xyz";
    char pad[] = "\0\0";
    const iovec pieces[] = {{payload, 3}, {pad, 2}, {payload, 3}};
    ASSERT_EQ(file.lock().writePieces(4, pieces, 3), SaveFileHandle::Write::Ok);
    EXPECT_EQ(onDisk(), QByteArray("\0\0\0\0xyz\0\0xyz", 12));
    SaveFileHandle::Access access = file.lock();
    EXPECT_EQ(access.size(), 12);
    char back[3] = {};
    EXPECT_EQ(access.readAt(4, back, 3), 3);
    EXPECT_EQ(QByteArray(back, 3), "xyz");
    EXPECT_EQ(access.unwrittenFrom(), -1);
}

TEST_F(Handle, ClosedFileDropsLateWrites)
{
    ASSERT_EQ(file.lock().writeAt(0, "ab", 2), SaveFileHandle::Write::Ok);
    file.close();
    file.close(); // a second close does nothing
    EXPECT_FALSE(file.isOpen());
    SaveFileHandle::Access access = file.lock();
    EXPECT_EQ(access.writeAt(2, "c", 1), SaveFileHandle::Write::Closed);
    char piece[] = "d";
    const iovec pieces[] = {{piece, 1}};
    EXPECT_EQ(access.writePieces(3, pieces, 1), SaveFileHandle::Write::Closed);
    EXPECT_EQ(access.size(), -1);
    EXPECT_EQ(onDisk(), "ab");
}

TEST_F(Handle, CreateNewNeverReplacesAFile)
{
    SaveFileHandle second;
    EXPECT_FALSE(second.createNew(path));
    EXPECT_FALSE(second.lastError().isEmpty());
    EXPECT_TRUE(second.openExisting(path));
    EXPECT_FALSE(SaveFileHandle().openExisting(dir.filePath("missing.asf")));
}

TEST(HandleFailure, FailedWriteNamesItsFirstByte)
{
    SaveFileHandle full;
    if (!full.openExisting(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "/dev/full is not there";
    char p[] = "pq";
    const iovec pieces[] = {{p, 2}};
    SaveFileHandle::Access access = full.lock();
    EXPECT_EQ(access.writePieces(3200, pieces, 1), SaveFileHandle::Write::Failed);
    EXPECT_EQ(access.unwrittenFrom(), 3200);
    EXPECT_FALSE(access.lastError().isEmpty());
    // A later loss further on keeps the point; an earlier one moves it back.
    EXPECT_EQ(access.writePieces(5000, pieces, 1), SaveFileHandle::Write::Failed);
    EXPECT_EQ(access.unwrittenFrom(), 3200);
    EXPECT_EQ(access.writePieces(100, pieces, 1), SaveFileHandle::Write::Failed);
    EXPECT_EQ(access.unwrittenFrom(), 100);
}

// A write of pieces cut short by the file size limit keeps what fit, piece boundaries and all,
// and names the first missing byte.
TEST_F(Handle, PiecesCutShortNameWhereTheyStopped)
{
    const FileSizeLimit limit(10000);
    ASSERT_TRUE(limit.set);
    QByteArray a(3000, 'a'), b(3000, 'b'), c(3000, 'c'), d(3000, 'd');
    const iovec pieces[] = {{a.data(), 3000}, {b.data(), 3000}, {c.data(), 3000}, {d.data(), 3000}};
    SaveFileHandle::Access access = file.lock();
    EXPECT_EQ(access.writePieces(100, pieces, 4), SaveFileHandle::Write::Failed);
    EXPECT_EQ(access.unwrittenFrom(), 10000);
    EXPECT_EQ(onDisk(), QByteArray(100, '\0') + a + b + c + d.left(900));
}
