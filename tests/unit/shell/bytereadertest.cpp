#include "shell/bytereader.h"

#include <gtest/gtest.h>

using namespace lumo;

namespace {
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}
} // namespace

// Every field either lies wholly inside the bytes or reads as nothing: no offset, however
// large or negative, reads past either end.
TEST(ByteReader, ReadsOnlyFieldsThatFit)
{
    const QByteArray bytes = hex("01020304 05060708 09");
    const ByteReader in(bytes);
    EXPECT_EQ(in.u8(8), 0x09);
    EXPECT_EQ(in.u16(7), 0x0908);
    EXPECT_EQ(in.u32(0), 0x04030201u);
    EXPECT_EQ(in.u32(5), 0x09080706u);
    EXPECT_EQ(in.u64(1), 0x0908070605040302ull);
    EXPECT_TRUE(in.matches(2, hex("0304")));

    struct
    {
        qint64 offset;
        qint64 length;
    } outside[] = {{-1, 1}, {9, 1}, {6, 4}, {2, 8}, {0, 10}, {std::numeric_limits<qint64>::max(), 4},
                   {0, -1}};
    for (const auto &c : outside) {
        EXPECT_FALSE(in.fits(c.offset, c.length)) << c.offset << "+" << c.length;
        EXPECT_FALSE(in.bytes(c.offset, c.length)) << c.offset << "+" << c.length;
    }
    EXPECT_FALSE(in.u8(9));
    EXPECT_FALSE(in.u16(8));
    EXPECT_FALSE(in.u32(6));
    EXPECT_FALSE(in.u64(2));
    EXPECT_FALSE(in.matches(8, hex("0900")));
    EXPECT_FALSE(ByteReader(QByteArrayView()).u8(0));
}

TEST(ByteReader, WritesAreLittleEndian)
{
    EXPECT_EQ(U32ToBytes(0x11223344), hex("44332211"));
    EXPECT_EQ(U64ToBytes(1, 2), hex("01000000 02000000"));
    EXPECT_EQ(U64ToBytes(quint64(0x0102030405060708)), hex("0807060504030201"));
}
