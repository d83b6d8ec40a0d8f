// Every reproducer the fuzz targets found, replayed through the same target bodies. Under the
// sanitizer build these also catch the memory faults they once showed.

#include "fuzz/fuzztargets.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

namespace {

struct Target
{
    const char *name;
    std::function<int(const uint8_t *, size_t)> body;
};

QByteArray reproducer(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FuzzRegression : public ::testing::TestWithParam<Target>
{};

} // namespace

TEST_P(FuzzRegression, StoredReproducersRunClean)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    const QDir dir(QStringLiteral(LUMO_TEST_SOURCE_DIR "/fuzz/regressions/") + GetParam().name);
    for (const QString &name : dir.entryList(QDir::Files)) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = reproducer(dir.filePath(name));
        EXPECT_EQ(GetParam().body(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())),
                  0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, FuzzRegression,
    ::testing::Values(Target{"receive", lumoFuzzReceive}, Target{"packettimes", lumoFuzzPacketTimes},
                      Target{"header", lumoFuzzHeader}, Target{"redirectscan", lumoFuzzRedirectScan},
                      Target{"credentials", lumoFuzzCredentials}, Target{"logload", lumoFuzzLogLoad},
                      Target{"framed", lumoFuzzFramed}),
    [](const auto &info) { return std::string(info.param.name); });

// Found by the receive target: a media description announcing 4 GiB packets made every data
// packet pad to that size. No MMS packet carries more than 65527 bytes; the stream is corrupt.
TEST(FuzzRegressionReceive, PacketSizeNoMediaPacketCanCarryEndsAsACorruptStream)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    const QByteArray bytes =
        reproducer(QStringLiteral(LUMO_TEST_SOURCE_DIR "/fuzz/regressions/receive/huge-packet-size"));
    ASSERT_FALSE(bytes.isEmpty());
    ASSERT_EQ(lumoFuzzReceive(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())), 0);
    EXPECT_TRUE(lumoFuzzReceiveLog().contains(QStringLiteral("当前的 MMS 信息包出错 - 现在关闭")))
        << lumoFuzzReceiveLog().join('\n').toStdString();
}

// A command announcing more bytes than the receive buffer ever holds would keep the worker
// waiting while the paused TCP read waits for it: the stream is corrupt instead.
TEST(FuzzRegressionReceive, CommandLongerThanTheBufferEndsAsACorruptStream)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QByteArray bytes = QByteArray::fromHex("01000000CEFA0BB0F0FFFF7F4D4D5320");
    bytes.append(48 - bytes.size(), '\0');
    ASSERT_EQ(lumoFuzzReceive(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())), 0);
    EXPECT_TRUE(lumoFuzzReceiveLog().contains(QStringLiteral("当前的 MMS 信息包出错 - 现在关闭")))
        << lumoFuzzReceiveLog().join('\n').toStdString();
}
