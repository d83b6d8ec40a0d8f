#include "asf/streamlist.h"

#include "asf/asfids.h"
#include "shell/bytereader.h"
#include "shell/textcodec.h"

#include <QCoreApplication>
#include <QHash>

namespace lumo {

namespace {

constexpr qint64 objectHeadSize = 24;
constexpr qint64 headerObjectFields = 30;
constexpr qint64 extensionDataAt = 46;
constexpr int maxGroups = 64;

// One object: where it starts in the header, and its bytes (cut at the end of what it lies in).
struct Object
{
    qint64 at = 0;
    QByteArrayView bytes;
};

// Calls visit for each object between begin and end. A size that runs past the end cuts the
// object there and ends the walk; a size below the object's own head ends it at once.
template <typename Visit> void eachObject(QByteArrayView header, qint64 begin, qint64 end, Visit &&visit)
{
    const ByteReader in(header);
    end = qMin<qint64>(end, header.size());
    for (qint64 at = begin; at + objectHeadSize <= end;) {
        const quint64 size = in.u64(at + asflayout::objectSize).value_or(0);
        if (size < quint64(objectHeadSize))
            return;
        const qint64 length = size > quint64(end - at) ? end - at : qint64(size);
        visit(Object{at, header.sliced(at, length)});
        at += length;
    }
}

// What the objects say, before it is put together per stream.
struct Reading
{
    StreamList list;
    QHash<quint8, quint32> waveRates; // audio: WAVEFORMATEX average bytes per second x 8
    struct Record
    {
        qint64 at;
        quint32 rate;
    };
    QHash<quint8, Record> records;
    struct Extended
    {
        qint64 dataAt;
        quint32 dataRate;
        quint32 alternateRate;
        quint16 languageIndex;
    };
    QHash<quint8, Extended> extended;
    QStringList languages;

    void streamProperties(const Object &o);
    void extendedStreamProperties(const Object &o);
    void bitrateRecords(const Object &o);
    void languageList(const Object &o);
    void exclusion(const Object &o);
    void visit(QByteArrayView header, const Object &o, bool inExtension);
    void finish();
};

void Reading::streamProperties(const Object &o)
{
    const ByteReader in(o.bytes);
    const auto flags = in.u16(72);
    if (!flags || (*flags & 0x7F) == 0 || list.find(quint8(*flags & 0x7F)))
        return;
    AsfStream s;
    s.number = quint8(*flags & 0x7F);
    if (in.matches(24, asfid::videoMedia)) {
        s.kind = StreamKind::Video;
        s.width = in.u32(78).value_or(0);
        s.height = in.u32(82).value_or(0);
    } else if (in.matches(24, asfid::audioMedia)) {
        s.kind = StreamKind::Audio;
        // WAVEFORMATEX: format tag, channels, samples per second, then average bytes per second.
        if (const auto bytesPerSecond = in.u32(78 + 8))
            waveRates.insert(s.number, quint32(qMin<quint64>(quint64(*bytesPerSecond) * 8, 0xFFFFFFFFu)));
    }
    list.streams.append(s);
}

void Reading::extendedStreamProperties(const Object &o)
{
    const ByteReader in(o.bytes);
    const auto number = in.u16(72);
    const auto language = in.u16(74);
    const auto dataRate = in.u32(40);
    const auto alternateRate = in.u32(52);
    if (!number || !language || !dataRate || !alternateRate || (*number & 0x7F) == 0)
        return;
    extended.insert(quint8(*number & 0x7F), {o.at + 40, *dataRate, *alternateRate, *language});

    // Stream names and payload extension systems, then an optional Stream Properties Object.
    const auto nameCount = in.u16(84);
    const auto systemCount = in.u16(86);
    if (!nameCount || !systemCount)
        return;
    qint64 pos = 88;
    for (int i = 0; i < *nameCount; ++i) {
        const auto length = in.u16(pos + 2);
        if (!length)
            return;
        pos += 4 + *length;
    }
    for (int i = 0; i < *systemCount; ++i) {
        const auto infoLength = in.u32(pos + 18);
        if (!infoLength)
            return;
        pos += 22 + qint64(*infoLength);
    }
    if (in.fits(pos, objectHeadSize) && in.matches(pos, asfid::streamProperties))
        eachObject(o.bytes, pos, o.bytes.size(), [&](const Object &inner) {
            streamProperties(Object{o.at + inner.at, inner.bytes});
        });
}

void Reading::bitrateRecords(const Object &o)
{
    const ByteReader in(o.bytes);
    const int count = in.u16(24).value_or(0);
    for (int i = 0; i < count; ++i) {
        const qint64 pos = 26 + 6 * qint64(i);
        const auto flags = in.u16(pos);
        const auto rate = in.u32(pos + 2);
        if (!flags || !rate)
            return;
        records.insert(quint8(*flags & 0x7F), {o.at + pos + 2, *rate});
    }
}

void Reading::languageList(const Object &o)
{
    const ByteReader in(o.bytes);
    const int count = in.u16(24).value_or(0);
    qint64 pos = 26;
    for (int i = 0; i < count; ++i) {
        const auto length = in.u8(pos);
        const auto text = length ? in.bytes(pos + 1, *length) : std::nullopt;
        if (!text)
            return;
        languages.append(decodeUtf16Le(*text));
        pos += 1 + *length;
    }
}

void Reading::exclusion(const Object &o)
{
    if (list.groups.size() >= maxGroups)
        return;
    const ByteReader in(o.bytes);
    ExclusionGroup group;
    if (in.matches(24, asfid::exclusionBitrate))
        group.kind = ExclusionKind::BitRate;
    else if (in.matches(24, asfid::exclusionLanguage))
        group.kind = ExclusionKind::Language;
    const int count = in.u16(40).value_or(0);
    for (int i = 0; i < count; ++i) {
        const auto number = in.u16(42 + 2 * qint64(i));
        if (!number)
            break;
        const quint8 n = quint8(*number & 0x7F);
        if (n != 0 && !group.streams.contains(n))
            group.streams.append(n);
    }
    if (group.streams.size() > 1)
        list.groups.append(group);
}

void Reading::visit(QByteArrayView header, const Object &o, bool inExtension)
{
    const ByteReader id(o.bytes);
    if (id.matches(0, asfid::streamProperties)) {
        streamProperties(o);
    } else if (id.matches(0, asfid::streamBitrateProperties)) {
        bitrateRecords(o);
    } else if (id.matches(0, asfid::bitrateMutualExclusion) ||
               id.matches(0, asfid::advancedMutualExclusion)) {
        exclusion(o);
    } else if (id.matches(0, asfid::extendedStreamProperties)) {
        extendedStreamProperties(o);
    } else if (id.matches(0, asfid::languageList)) {
        languageList(o);
    } else if (id.matches(0, asfid::fileProperties)) {
        if (const auto rate = id.u32(asflayout::fileProperties::maxBitrate)) {
            list.maxBitrateAt = o.at + asflayout::fileProperties::maxBitrate;
            list.maxBitrate = *rate;
        }
    } else if (id.matches(0, asfid::headerExtension) && !inExtension) {
        // One level only: an extension inside an extension is not a header a muxer writes.
        const qint64 dataSize = id.u32(42).value_or(0);
        eachObject(header, o.at + extensionDataAt,
                   o.at + qMin<qint64>(extensionDataAt + dataSize, o.bytes.size()),
                   [&](const Object &inner) { visit(header, inner, true); });
    }
}

void Reading::finish()
{
    for (AsfStream &s : list.streams) {
        const auto record = records.constFind(s.number);
        const auto ext = extended.constFind(s.number);
        const bool hasRecord = record != records.cend();
        const bool hasExtended = ext != extended.cend();
        if (hasRecord)
            s.bitrateRecordAt = record->at;
        if (hasExtended) {
            s.dataBitrateAt = ext->dataAt;
            s.alternateBitrateAt = ext->dataAt + 12;
            if (ext->languageIndex < languages.size())
                s.language = languages[ext->languageIndex];
        }
        const quint32 recordRate = hasRecord ? record->rate : 0;
        const quint32 extendedRate = hasExtended ? ext->dataRate : 0;
        s.rateCleared = (hasRecord || hasExtended) && recordRate == 0 && extendedRate == 0 &&
                        (!hasExtended || ext->alternateRate == 0);
        s.bitRate = recordRate ? recordRate : extendedRate ? extendedRate : waveRates.value(s.number);
    }
}

} // namespace

const AsfStream *StreamList::find(quint8 number) const
{
    for (const AsfStream &s : streams) {
        if (s.number == number)
            return &s;
    }
    return nullptr;
}

QList<int> StreamList::groupsOf(quint8 number) const
{
    QList<int> out;
    for (int i = 0; i < groups.size(); ++i) {
        if (groups[i].streams.contains(number))
            out.append(i);
    }
    return out;
}

StreamList ReadStreamList(QByteArrayView header)
{
    Reading reading;
    const ByteReader in(header);
    if (!in.matches(0, asfid::headerObject))
        return {};
    const quint64 size = in.u64(asflayout::objectSize).value_or(0);
    const qint64 end = size > quint64(header.size()) ? header.size() : qint64(size);
    eachObject(header, headerObjectFields, end, [&](const Object &o) { reading.visit(header, o, false); });
    reading.finish();
    return reading.list;
}

QString streamKindText(StreamKind kind)
{
    switch (kind) {
    case StreamKind::Audio:
        return QCoreApplication::translate("StreamList", "音频");
    case StreamKind::Video:
        return QCoreApplication::translate("StreamList", "视频");
    case StreamKind::Other:
        break;
    }
    return QCoreApplication::translate("StreamList", "其它");
}

QString bitRateText(quint32 bitsPerSecond)
{
    if (bitsPerSecond == 0)
        return QStringLiteral("-");
    return QCoreApplication::translate("StreamList", "%1 kbit/s").arg((quint64(bitsPerSecond) + 500) / 1000);
}

QString exclusionKindText(ExclusionKind kind)
{
    switch (kind) {
    case ExclusionKind::BitRate:
        return QCoreApplication::translate("StreamList", "速率");
    case ExclusionKind::Language:
        return QCoreApplication::translate("StreamList", "语言");
    case ExclusionKind::Other:
        break;
    }
    return QCoreApplication::translate("StreamList", "其它");
}

} // namespace lumo
