#include "mms/message.h"

#include "shell/bytereader.h"

#include <QUuid>

namespace lumo {

QByteArray WidenText(QByteArrayView text)
{
    QByteArray out(text.size() * 2, '\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        out[2 * i] = text[i];
    return out;
}

QByteArray Utf16Text(QStringView text)
{
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        qToLittleEndian<quint16>(text[i].unicode(), out.data() + 2 * i);
    return out;
}

QByteArray encodeCommand(quint32 seq, quint8 commandId, QByteArrayView prefix, mms::Placement placement,
                         quint32 streamCount, QByteArrayView streamList, QByteArrayView text)
{
    return encodeWideCommand(seq, commandId, prefix, placement, streamCount, streamList, WidenText(text));
}

QByteArray encodeWideCommand(quint32 seq, quint8 commandId, QByteArrayView prefix, mms::Placement placement,
                             quint32 streamCount, QByteArrayView streamList, QByteArrayView wideText)
{
    // The part from offset 32 on: bodyChunks placeholder, command id, 00, direction 3.
    QByteArray part;
    part.reserve(64 + prefix.size() + 6 * streamCount + wideText.size());
    part.append(4, '\0');
    part.append(char(commandId));
    part.append('\0');
    part.append('\3');
    part.append('\0');

    if (!prefix.isEmpty() && placement == mms::Placement::Before)
        part.append(prefix);
    if (streamCount != 0) {
        part.append(U32ToBytes(streamCount));
        for (quint32 i = 0; i < streamCount; ++i) {
            const qsizetype at = 2 * qsizetype(i);
            const char number = at < streamList.size() ? streamList[at] : '\0';
            const char action = at + 1 < streamList.size() ? streamList[at + 1] : '\0';
            const char entry[6] = {char(0xFF), char(0xFF), number, '\0', action, '\0'};
            part.append(entry, 6);
        }
    }
    part.append(wideText);
    if (!prefix.isEmpty() && placement == mms::Placement::After)
        part.append(prefix);
    if (part.size() % 8)
        part.append(8 - part.size() % 8, '\0');
    qToLittleEndian<quint32>(quint32(part.size() / 8), part.data());

    // Offsets 16..31: chunks, seq, reserved, time.
    QByteArray middle(16, '\0');
    const quint32 fromSixteen = quint32(part.size() + 16);
    qToLittleEndian<quint32>(fromSixteen / 8, middle.data());
    middle[4] = char(seq & 0xFF);
    middle[5] = char((seq >> 8) & 0xFF);

    QByteArray message;
    message.reserve(16 + fromSixteen);
    message.append("\x01\x00\x00\x00", 4);
    message.append(mms::Signature, 4);
    message.append(U32ToBytes(fromSixteen));
    message.append("MMS ", 4);
    message.append(middle);
    message.append(part);
    return message;
}

namespace mms {

namespace {

QByteArray bytes(std::initializer_list<unsigned char> list)
{
    QByteArray out;
    out.reserve(qsizetype(list.size()));
    for (unsigned char c : list)
        out.append(char(c));
    return out;
}

QByteArray command(quint32 seq, quint8 id, const QByteArray &prefix, const QByteArray &text = {})
{
    return encodeCommand(seq, id, prefix, Placement::Before, 0, {}, text);
}

// A command whose text is already in 16-bit units.
QByteArray wideCommand(quint32 seq, quint8 id, const QByteArray &prefix, const QByteArray &wideText)
{
    return encodeWideCommand(seq, id, prefix, Placement::Before, 0, {}, wideText);
}

} // namespace

QByteArray hostLabelBytes()
{
    return bytes({0x3B, 0x20, 0xD6, 0xF7, 0xBB, 0xFA, 0x3A, 0x20});
}

QByteArray newClientGuid()
{
    return QUuid::createUuid().toByteArray(QUuid::WithBraces).toUpper();
}

QByteArray buildConnect(quint32 seq, const QByteArray &guid, bool sendHost, const QString &hostName)
{
    QByteArray text = bytes({0x0B, 0x04, 0x1C, 0x03});
    text += "NSPlayer/7.0.0.1956";
    text += "; ";
    text += guid;
    QByteArray wide = WidenText(text);
    if (sendHost) {
        // The label keeps its fixed bytes; the host itself goes out as the text it is.
        wide += WidenText(hostLabelBytes());
        wide += Utf16Text(hostName.trimmed());
    }
    wide.append(4, '\0');
    return wideCommand(seq, CmdConnect, bytes({0xF0, 0xF0, 0xF0, 0xF0}), wide);
}

QByteArray buildTiming(quint32 seq)
{
    return command(seq, CmdTiming, bytes({0xF1, 0xF0, 0xF0, 0xF0, 0x0B, 0x00, 0x04, 0x00}));
}

QByteArray buildTransport(quint32 seq, const QByteArray &localAddress, bool udp, const QByteArray &port)
{
    const QByteArray prefix = bytes({0xF1, 0xF0, 0xF0, 0xF0, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00,
                                     0x00, 0x00, 0x00, 0x00, 0xA0, 0x00, 0x02, 0x00, 0x00, 0x00});
    QByteArray text = "\\\\";
    text += localAddress.trimmed();
    text += udp ? "\\UDP\\" : "\\TCP\\";
    text += port.trimmed();
    text.append('\0');
    return command(seq, CmdTransport, prefix, text);
}

QByteArray buildOpenFile(quint32 seq, quint32 incarnation, const QString &mediaPath)
{
    QByteArray prefix = U32ToBytes(incarnation);
    prefix += bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0});
    QByteArray wide = Utf16Text(mediaPath.trimmed());
    wide.append(2, '\0');
    return wideCommand(seq, CmdOpenFile, prefix, wide);
}

QByteArray buildHeaderRequest(quint32 seq, quint32 incarnation)
{
    QByteArray prefix = U32ToBytes(incarnation);
    prefix += bytes({0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x80, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF});
    prefix.append(12, '\0');
    prefix += bytes({0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xAC, 0x40, 0x02});
    return command(seq, CmdHeaderRequest, prefix);
}

QByteArray buildCancelHeaderRequest(quint32 seq, quint32 incarnation)
{
    return command(seq, CmdCancelHeaderRequest, U32ToBytes(incarnation));
}

QByteArray buildStreamSelect(quint32 seq, const quint8 *streamNumbers, quint32 streamCount)
{
    QList<StreamPick> picks;
    for (quint32 i = 0; i < streamCount; ++i)
        picks.append({streamNumbers[i], true});
    return buildStreamSelect(seq, picks);
}

QByteArray buildStreamSelect(quint32 seq, const QList<StreamPick> &picks)
{
    QByteArray list;
    for (const StreamPick &pick : picks) {
        list.append(char(pick.number));
        list.append(char(pick.chosen ? StreamWanted : StreamNotWanted));
    }
    return encodeCommand(seq, CmdStreamSelect, bytes({0x00, 0x00, 0x00, 0x20, 0xAC, 0x40, 0x02}),
                         Placement::After, quint32(picks.size()), list, {});
}

QByteArray buildStartPlaying(quint32 seq, quint32 incarnation, quint32 startPacket)
{
    QByteArray prefix = U32ToBytes(incarnation);
    prefix += bytes({0xFF, 0xFF, 0x01, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
    prefix += U32ToBytes(startPacket);
    prefix += bytes({0x00, 0x00, 0x00, 0x00, 0x04});
    return command(seq, CmdStartPlaying, prefix);
}

QByteArray buildLogin(quint32 seq, quint32 incarnation, const QByteArray &authData)
{
    QByteArray prefix = U32ToBytes(incarnation);
    prefix += bytes({0x01, 0x00, 0x00, 0x00});
    prefix += U32ToBytes(quint32(authData.size() + 5));
    prefix += authData;
    prefix += bytes({0x00, 0x00, 0x00, 0x00});
    return command(seq, CmdLogin, prefix);
}

QByteArray buildPong(quint32 seq, quint32 incarnation)
{
    QByteArray prefix = U32ToBytes(incarnation);
    prefix += bytes({0xFF, 0xFF, 0x01, 0x00});
    return command(seq, CmdPong, prefix);
}

MediaPrefix readMediaPrefix(const char *p)
{
    MediaPrefix m;
    m.location = unchecked::le32(p);
    m.kind = quint8(p[4]);
    m.flags = quint8(p[5]);
    m.length = unchecked::le16(p + 6);
    return m;
}

} // namespace mms
} // namespace lumo
