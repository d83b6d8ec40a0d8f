#include "asf/finishing.h"

#include "asf/savefilehandle.h"
#include "asfbuilder.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

using namespace asftest;
using namespace Qt::StringLiterals;

namespace {

constexpr qint64 fpAt = 30;    // File Properties Object, first child of the Header Object
constexpr qint64 dataAt = 134; // Data Object, right behind the 104-byte File Properties

class Finishing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FileProps fp;
        fp.packets = 0x0000000500000063ull; // the high half must survive the resume record
        fp.preroll = 5000;
        fp.flags = 0xAABBCC01;
        original = header({fileProperties(fp)}) + QByteArray(6000, '\x5A');
        ASSERT_EQ(original.mid(dataAt, 5), QByteArray(dataId, 5));
        path = dir.filePath("save.asf");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(original);
        f.close();
        ASSERT_TRUE(file.openExisting(path));
    }

    QByteArray contents()
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static QByteArray patched(QByteArray bytes, const QList<QPair<qint64, QByteArray>> &fields)
    {
        for (const auto &[at, value] : fields)
            bytes.replace(at, value.size(), value);
        return bytes;
    }

    QTemporaryDir dir;
    QString path;
    QByteArray original;
    lumo::SaveFileHandle file;
};

} // namespace

TEST_F(Finishing, ResumeRecordWritesOnlyTheLowHalfOfTheCount)
{
    // A header size announced far beyond the file reads what is there.
    EXPECT_EQ(lumo::WriteResumeRecord(file, 0xFFFFFFFF, 1234), 1);
    EXPECT_EQ(contents(), patched(original, {{fpAt + 56, QByteArray("\xD2\x04\x00\x00", 4)}}));
}

TEST_F(Finishing, ResumeRecordNeedsTheFilePropertiesInsideTheHeader)
{
    // The header ends inside the count field: writing it would hit what lies behind the header.
    EXPECT_EQ(lumo::WriteResumeRecord(file, fpAt + 58, 1234), 0);
    EXPECT_EQ(lumo::WriteResumeRecord(file, fpAt + 4, 1234), 0);
    file.close();
    EXPECT_EQ(lumo::WriteResumeRecord(file, 32768, 1234), 0);
    EXPECT_EQ(contents(), original);
}

TEST_F(Finishing, LiveRepairRewritesSizesCountsDurationsAndFlags)
{
    const qint64 size = original.size();
    const struct
    {
        quint32 packetTime;
        quint64 playDuration;
    } cases[] = {
        {60000, 650000000}, {0xFFFFFFFFu - 999, 40000000}, // the sum with the preroll wraps in 32 bits
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(file.lock().writeAt(0, original.constData(), original.size()) ==
                    lumo::SaveFileHandle::Write::Ok);
        const lumo::RepairResult r = lumo::RepairLiveHeader(file, 32768, 599, c.packetTime);
        EXPECT_TRUE(r.ok);
        EXPECT_TRUE(r.errorMessage.isEmpty());
        EXPECT_EQ(contents(), patched(original, {{fpAt + 40, U64ToBytes(quint64(size))},
                                                 {fpAt + 56, U64ToBytes(599)},
                                                 {fpAt + 64, U64ToBytes(c.playDuration)},
                                                 {fpAt + 72, U64ToBytes(quint64(c.packetTime) * 10000)},
                                                 {fpAt + 88, "\x02"},
                                                 {dataAt + 16, U64ToBytes(quint64(size - dataAt))},
                                                 {dataAt + 40, U64ToBytes(599)}}));
    }
}

TEST_F(Finishing, LiveRepairReportsMissingObjects)
{
    // No File Properties inside the header bytes: nothing is written.
    lumo::RepairResult r = lumo::RepairLiveHeader(file, fpAt + 80, 599, 60000);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errorMessage, u"ASF 文件头修复错误 - 没有文件目标"_s);
    EXPECT_EQ(contents(), original);

    // No Data Object inside the header bytes: the File Properties fields stay written.
    r = lumo::RepairLiveHeader(file, dataAt, 599, 60000);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errorMessage, u"ASF 文件头修复错误 - 没有数据目标"_s);
    const QByteArray now = contents();
    EXPECT_EQ(now.mid(fpAt + 56, 8), U64ToBytes(599));
    EXPECT_EQ(now.mid(dataAt), original.mid(dataAt));
}
