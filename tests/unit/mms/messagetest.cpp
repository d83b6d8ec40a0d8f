#include "mms/message.h"
#include "shell/bytereader.h"
#include "support/scriptedperson.h"

#include <gtest/gtest.h>

using namespace lumo;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

quint32 u32At(const QByteArray &m, int offset)
{
    return ByteReader(m).u32(offset).value_or(0xDEADBEEF);
}

} // namespace

// The pong of a task whose SendSeq is 5: the exact 48 bytes a server must see.
TEST(MessageCodec, PongIsTheExact48Bytes)
{
    const QByteArray pong = mms::buildPong(5, 1);
    EXPECT_EQ(pong, hex("01000000 CEFA0BB0 20000000 4D4D5320 04000000 05000000 0000000000000000 "
                        "02000000 1B000300 01000000 FFFF0100"));
}

TEST(MessageCodec, StartPlayingPadsTo72Bytes)
{
    const QByteArray fromStart = mms::buildStartPlaying(7, 1, 0xFFFFFFFF);
    ASSERT_EQ(fromStart.size(), 72);
    EXPECT_EQ(u32At(fromStart, 8), 56u); // length
    EXPECT_EQ(u32At(fromStart, 16), 7u); // chunks
    EXPECT_EQ(u32At(fromStart, 32), 5u); // bodyChunks
    EXPECT_EQ(fromStart.at(36), 0x07);
    EXPECT_EQ(u32At(fromStart, 60), 0xFFFFFFFFu);
    EXPECT_EQ(quint8(fromStart.at(68)), 0x04);
    EXPECT_EQ(fromStart.mid(69), QByteArray(3, '\0'));
    EXPECT_EQ(fromStart.mid(40, 28), hex("01000000 FFFF0100 0000000000000000 FFFFFFFF FFFFFFFF 00000000"));

    const QByteArray resumed = mms::buildStartPlaying(7, 1, 1234);
    EXPECT_EQ(u32At(resumed, 60), 1234u);
}

TEST(MessageCodec, FourByteBodyGives48ByteMessage)
{
    const QByteArray m = encodeCommand(0, 0x42, hex("AABBCCDD"), mms::Placement::Before, 0, {}, {});
    ASSERT_EQ(m.size(), 48);
    EXPECT_EQ(u32At(m, 8), 32u);
    EXPECT_EQ(u32At(m, 16), 4u);
    EXPECT_EQ(u32At(m, 32), 2u);
    EXPECT_EQ(m.mid(40), hex("AABBCCDD 00000000"));
    EXPECT_EQ(encodeCommand(0, 0x42, {}, mms::Placement::Before, 0, {}, {}).size(), 40);
}

TEST(MessageCodec, HighTextBytesWidenWithoutConversion)
{
    EXPECT_EQ(WidenText(QByteArray("\xD6", 1)), hex("D600"));
    const QByteArray m = encodeCommand(0, 0x01, {}, mms::Placement::Before, 0, {}, QByteArray("\xD6", 1));
    EXPECT_EQ(m.mid(40, 2), hex("D600"));
}

TEST(MessageCodec, ConnectCommandCarriesPlayerGuidAndOptionalHost)
{
    const QByteArray guid = "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
    const QByteArray plain = mms::buildConnect(0, guid, false, " example.org ");
    EXPECT_EQ(plain.mid(20, 2), hex("0000")); // sequence 0
    EXPECT_EQ(plain.mid(40, 12), hex("F0F0F0F0 0B000400 1C000300"));
    QByteArray text = "NSPlayer/7.0.0.1956; " + guid;
    text.append(2, '\0');
    EXPECT_EQ(plain.mid(52, text.size() * 2), WidenText(text));
    EXPECT_EQ(plain.size() % 8, 0);
    EXPECT_TRUE(plain.mid(52 + text.size() * 2).count('\0') == plain.size() - 52 - text.size() * 2);

    const QByteArray withHost = mms::buildConnect(0, guid, true, " example.org ");
    QByteArray hostText = "NSPlayer/7.0.0.1956; " + guid + hex("3B20D6F7BBFA3A20") + "example.org";
    hostText.append(2, '\0');
    EXPECT_EQ(withHost.mid(52, hostText.size() * 2), WidenText(hostText));
}

TEST(MessageCodec, GuidIsBracedUpperCase)
{
    const QByteArray a = mms::newClientGuid();
    ASSERT_EQ(a.size(), 38);
    EXPECT_EQ(a.front(), '{');
    EXPECT_EQ(a.back(), '}');
    EXPECT_EQ(a, a.toUpper());
    EXPECT_NE(a, mms::newClientGuid());
}

TEST(MessageCodec, OtherCommandsMatchTheirLayouts)
{
    // Transport over TCP from 192.168.0.5:1037.
    const QByteArray transport = mms::buildTransport(2, "192.168.0.5", false, "1037");
    EXPECT_EQ(transport.mid(40, 20), hex("F1F0F0F0 FFFFFFFF 00000000 0000A000 02000000"));
    QByteArray text = "\\\\192.168.0.5\\TCP\\1037";
    text.append('\0');
    EXPECT_EQ(transport.mid(60, text.size() * 2), WidenText(text));
    EXPECT_TRUE(mms::buildTransport(2, "10.0.0.1", true, "7000").contains(WidenText("\\UDP\\7000")));

    const QByteArray header = mms::buildHeaderRequest(4, 1);
    EXPECT_EQ(u32At(header, 52), 0x8000u);
    EXPECT_EQ(header.mid(72, 9), hex("0000000000 20AC40 02").left(8) + hex("02"));
    EXPECT_EQ(header.mid(72, 8), hex("00000000 0020AC40"));

    const quint8 streams[] = {1, 2};
    const QByteArray select = mms::buildStreamSelect(5, streams, 2);
    EXPECT_EQ(select.mid(40, 4 + 12 + 7), hex("02000000 FFFF01000000 FFFF02000000 00000020AC4002"));

    const QByteArray login = mms::buildLogin(6, 1, "dTpw");
    EXPECT_EQ(login.mid(40, 20), hex("01000000 01000000 09000000") + "dTpw" + hex("00000000"));

    const QByteArray open = mms::buildOpenFile(3, 1, " dir/clip.asf ");
    EXPECT_EQ(open.mid(40, 16), hex("01000000 FFFFFFFF 0000000000000000"));
    QByteArray path = "dir/clip.asf";
    path.append('\0');
    EXPECT_EQ(open.mid(56, path.size() * 2), WidenText(path));

    EXPECT_EQ(mms::buildTiming(1).mid(40, 8), hex("F1F0F0F0 0B000400"));
}

// The choice of streams on the wire: each stream of the header once, 0 for wanted and 2 for
// not wanted, in the header's order, stream numbers above 9 included.
TEST(MessageCodec, StreamSelectionNamesDroppedStreamsWithActionTwo)
{
    const QByteArray select =
        mms::buildStreamSelect(7, QList<StreamPick>{{1, false}, {2, true}, {12, false}, {4, true}});
    EXPECT_EQ(select.mid(36, 4), hex("33000300"));
    EXPECT_EQ(select.mid(40, 4 + 24 + 7),
              hex("04000000 FFFF01000200 FFFF02000000 FFFF0C000200 FFFF04000000 00000020AC4002"));
    // The body is padded to 8 bytes and the lengths say so.
    EXPECT_EQ(select.size() % 8, 0);
    EXPECT_EQ(u32At(select, 8), quint32(select.size() - 16));
    EXPECT_EQ(select.mid(20, 2), hex("0700"));

    // Every stream chosen is what the plain selection sends.
    const quint8 numbers[] = {1, 2, 12, 4};
    EXPECT_EQ(mms::buildStreamSelect(7, QList<StreamPick>{{1, true}, {2, true}, {12, true}, {4, true}}),
              mms::buildStreamSelect(7, numbers, 4));
}

TEST(MessageCodec, MediaPrefixReadsItsFields)
{
    const QByteArray p = hex("2A000000 04 07 3412");
    const mms::MediaPrefix m = mms::readMediaPrefix(p.constData());
    EXPECT_EQ(m.location, 42u);
    EXPECT_EQ(m.kind, 0x04);
    EXPECT_EQ(m.flags, 0x07);
    EXPECT_EQ(m.length, 0x1234);
    EXPECT_FALSE(mms::isCommand(p.constData()));
    EXPECT_TRUE(mms::isCommand(mms::buildTiming(0).constData()));
}
