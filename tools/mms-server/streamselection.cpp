#include "streamselection.h"

#include <algorithm>
#include <QStringList>
#include <vector>

namespace mmsserver {

void StreamSelection::choose(quint16 stream, bool wanted)
{
    if (stream < m_dropped.size())
        m_dropped.set(stream, !wanted);
    for (auto &named : m_named) {
        if (named.first == stream) {
            named.second = wanted;
            return;
        }
    }
    m_named.append({stream, wanted});
}

QString StreamSelection::describe(const QList<AsfStream> &streams) const
{
    auto state = [](bool on) { return on ? QStringLiteral("on") : QStringLiteral("off"); };
    QStringList parts;
    for (const AsfStream &stream : streams)
        parts.append(QStringLiteral("%1 %2").arg(stream.number).arg(state(wanted(quint8(stream.number)))));
    for (const auto &named : m_named) {
        const auto number = named.first; // clang 14 lambdas cannot capture structured bindings
        const bool on = named.second;
        const bool listed = std::any_of(streams.begin(), streams.end(),
                                        [number](const AsfStream &s) { return s.number == number; });
        if (!listed)
            parts.append(QStringLiteral("%1 %2 (not in the header)").arg(number).arg(state(on)));
    }
    return parts.isEmpty() ? QStringLiteral("no streams") : parts.join(QStringLiteral(", "));
}

namespace {

// The smallest Padding Length field that holds what is left over; 0 if none does.
int paddingWidthFor(qsizetype spare, int preferred)
{
    for (int width : {preferred, 1, 2, 4}) {
        if (width == 0 || spare - width < 0)
            continue;
        if (width == 4 || quint64(spare - width) < (quint64(1) << (8 * width)))
            return width;
    }
    return 0;
}

int lengthTypeOf(int width)
{
    return width == 4 ? 3 : width;
}

} // namespace

PayloadFilter keepWantedPayloads(char *packet, qsizetype size, const StreamSelection &selection)
{
    if (!selection.dropsAny())
        return PayloadFilter::Unchanged;
    PacketLayout layout;
    if (!parsePacketLayout(ByteView(packet, size), &layout))
        return PayloadFilter::Unreadable;
    std::array<const PacketLayout::Payload *, 63> kept{};
    int keptCount = 0;
    qsizetype keptBytes = 0;
    for (int i = 0; i < layout.payloadCount; ++i) {
        const PacketLayout::Payload &payload = layout.payloads[i];
        if (selection.wanted(payload.stream)) {
            kept[keptCount++] = &payload;
            keptBytes += payload.end - payload.at;
        }
    }
    if (keptCount == layout.payloadCount)
        return PayloadFilter::Unchanged;

    // What is left is always written as a multiple-payload packet (a single payload that stays leaves the
    // packet unchanged above), so that a count of 0 can say the packet is empty.
    const qsizetype head = layout.paddingAt; // error correction data, flags, packet length, sequence
    const qsizetype times = 6;
    const qsizetype spare = size - head - times - 1 - keptBytes;
    const int paddingWidth = paddingWidthFor(spare, layout.paddingWidth);
    if (paddingWidth == 0)
        return PayloadFilter::Unreadable;
    const quint32 padding = quint32(spare - paddingWidth);

    std::vector<char> out(size_t(size), '\0');
    std::memcpy(out.data(), packet, size_t(head));
    putU8(out.data() + layout.lengthFlagsAt,
          quint8((layout.lengthFlags & ~0x19) | 0x01 | (lengthTypeOf(paddingWidth) << 3)));
    qsizetype at = head;
    if (paddingWidth == 1)
        putU8(out.data() + at, quint8(padding));
    else if (paddingWidth == 2)
        putU16(out.data() + at, quint16(padding));
    else
        putU32(out.data() + at, padding);
    at += paddingWidth;
    std::memcpy(out.data() + at, packet + layout.sendTimeAt, times);
    at += times;
    // A packet that had one payload gets word lengths; none are written while it is empty.
    const quint8 lengthType = layout.multiple ? (layout.payloadFlags & 0xC0) : 0x80;
    putU8(out.data() + at++, quint8(lengthType | keptCount));
    for (int i = 0; i < keptCount; ++i) {
        const qsizetype bytes = kept[i]->end - kept[i]->at;
        std::memcpy(out.data() + at, packet + kept[i]->at, size_t(bytes));
        at += bytes;
    }
    std::memcpy(packet, out.data(), size_t(size));
    return keptCount ? PayloadFilter::Trimmed : PayloadFilter::Emptied;
}

} // namespace mmsserver
