#include "asf/headeranalysis.h"

#include "asf/asfids.h"
#include "asf/duration.h"
#include "shell/bytereader.h"
#include "shell/textcodec.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace lumo {

namespace {

// Header texts are UTF-16LE and carry their terminating zero unit; the text ends there.
void fail(HeaderAnalysis &result, const QString &message)
{
    result.ok = false;
    result.errorMessage = message;
}

void readBitRates(const ByteReader &in, FileProperties &props)
{
    const qint64 at = in.find(asfid::streamBitrateProperties);
    if (at < 0) {
        props.BitRateInfo << QCoreApplication::translate("HeaderAnalysis", "单一速率");
        return;
    }
    const int count = in.u8(at + 24).value_or(0);
    props.BitRateInfo << QCoreApplication::translate("HeaderAnalysis", "可用总数 = %1").arg(count);

    struct Record
    {
        quint8 stream;
        quint32 rate;
    };
    std::array<Record, maxBitRateRecords> records{};
    int stored = 0;
    for (int i = 0; i < count && stored < maxBitRateRecords; ++i) {
        const qint64 pos = at + 26 + 6 * qint64(i);
        const auto stream = in.u8(pos);
        const auto rate = in.u32(pos + 2);
        if (!stream || !rate)
            break;
        records[stored++] = {*stream, *rate};
    }
    for (int i = 0; i < stored; ++i) {
        const Record &r = records[i];
        props.BitRateInfo << QCoreApplication::translate("HeaderAnalysis", "流媒体 ID  :%1%2")
                                 .arg(r.stream)
                                 .arg(r.stream < 2 ? QCoreApplication::translate("HeaderAnalysis", "  音频")
                                                   : QCoreApplication::translate("HeaderAnalysis", "  视频"));
        props.BitRateInfo << QCoreApplication::translate("HeaderAnalysis", "流媒体速率:%1").arg(r.rate);
    }
}

// Returns whether a video stream was found (the video size text is then set).
bool readStreams(const ByteReader &in, HeaderAnalysis &result, QString &videoSize)
{
    bool video = false;
    result.StreamNumbers.fill(0);
    for (qint64 at = in.find(asfid::streamProperties); at >= 0 && result.StreamCount < maxStreams;
         at = in.find(asfid::streamProperties, at + 1)) {
        // A Stream Properties Object cut off before its flags is not a stream.
        const auto flags = in.u8(at + 72);
        if (!flags)
            break;
        ++result.StreamCount;
        if (in.matches(at + 24, asfid::videoMedia)) {
            const auto width = in.u32(at + 78);
            const auto height = in.u32(at + 82);
            if (width && height) {
                videoSize = QStringLiteral("%1 x %2").arg(*width).arg(*height);
                video = true;
            }
            result.StreamKinds |= 0x2;
        }
        if (in.matches(at + 24, asfid::audioMedia)) {
            if (in.matches(at + 40, asfid::audioSpread))
                result.StreamKinds |= 0x4;
            result.StreamKinds |= 0x1;
        }
        result.StreamNumbers[result.StreamCount - 1] = *flags;
    }
    return video;
}

void readFileProperties(const ByteReader &in, qint64 at, HeaderAnalysis &result)
{
    namespace fp = asflayout::fileProperties;
    result.AsfFileSize = in.u32(at + fp::fileSize).value_or(0);
    result.CreationTime = in.u64(at + fp::creationDate).value_or(0);
    result.ResumePacket = in.u32(at + fp::dataPacketsCount).value_or(0);
    const quint64 sendDuration = in.u64(at + fp::sendDuration).value_or(0) / 10000;
    result.SendDuration = quint32(std::min<quint64>(sendDuration, 0xFFFFFFFFu));
    result.MaxBitRate = in.u32(at + fp::maxBitrate).value_or(0);
}

void readContentDescription(const ByteReader &in, FileProperties &props)
{
    const qint64 at = in.find(asfid::contentDescription);
    if (at < 0) {
        props.Description = QCoreApplication::translate("HeaderAnalysis", "没有可用信息");
        return;
    }
    // Title, author, copyright, description, rating, one after the other.
    QString *targets[] = {&props.Clip, &props.Author, &props.Copyright, &props.Description, &props.Rating};
    qint64 pos = at + 34;
    for (int i = 0; i < 5; ++i) {
        const auto length = in.u16(at + 24 + 2 * i);
        if (!length)
            return;
        const auto text = in.bytes(pos, *length);
        if (!text)
            return;
        *targets[i] = decodeUtf16Le(*text);
        pos += *length;
    }
}

void readExtendedContentDescription(const ByteReader &in, FileProperties &props)
{
    const qint64 at = in.find(asfid::extendedContentDescription);
    if (at < 0) {
        props.Version << QCoreApplication::translate("HeaderAnalysis", "无可用信息");
        return;
    }
    QString names[2];
    QString values[2];
    qint64 pos = at + 26;
    for (int i = 0; i < 2; ++i) {
        const auto nameLength = in.u8(pos);
        if (!nameLength)
            break;
        pos += 2;
        const auto name = in.bytes(pos, *nameLength);
        if (!name)
            break;
        names[i] = decodeUtf16Le(*name);
        pos += *nameLength;
        // Moving by the type's value plus 2 passes the type field of a text (type 0) value;
        // other types are misread, as the window always did.
        const auto type = in.u8(pos);
        if (!type)
            break;
        pos += *type + 2;
        const auto valueLength = in.u8(pos);
        if (!valueLength)
            break;
        pos += 2;
        const auto value = in.bytes(pos, *valueLength);
        if (!value)
            break;
        values[i] = decodeUtf16Le(*value);
        pos += *valueLength;
    }
    props.Version << QCoreApplication::translate("HeaderAnalysis", "编码器: ") + names[0]
                  << QCoreApplication::translate("HeaderAnalysis", "版本: ") + values[0]
                  << QCoreApplication::translate("HeaderAnalysis", "注释: ") + names[1]
                  << QCoreApplication::translate("HeaderAnalysis", "其它  : ") + values[1];
}

// Reads a length-prefixed (in characters) UTF-16 text at pos and moves pos past it.
std::optional<QString> readCountedText(const ByteReader &in, qint64 &pos)
{
    const auto length = in.u8(pos);
    if (!length)
        return std::nullopt;
    pos += 2;
    const auto text = in.bytes(pos, 2 * qint64(*length));
    if (!text)
        return std::nullopt;
    pos += text->size();
    return decodeUtf16Le(*text);
}

void readCodecList(const ByteReader &in, FileProperties &props)
{
    const qint64 at = in.find(asfid::codecListReserved);
    if (at < 0) {
        props.Codecs << QCoreApplication::translate("HeaderAnalysis", "无可用信息");
        return;
    }
    const quint32 count = in.u32(at + 16).value_or(0);
    QString audioName, audioDescription, videoName, fourCC;
    qint64 pos = at + 20;
    // Every entry moves pos on by at least 2 bytes, so a hostile count ends at the last byte.
    for (quint32 i = 0; i < count; ++i) {
        const auto type = in.u8(pos);
        if (!type)
            break;
        pos += 2;
        if (*type == 2) {
            const auto name = readCountedText(in, pos);
            if (!name)
                break;
            audioName = *name;
            const auto description = readCountedText(in, pos);
            if (!description)
                break;
            audioDescription = *description;
            const auto infoLength = in.u8(pos);
            if (!infoLength)
                break;
            pos += 2 + *infoLength;
        } else if (*type == 1) {
            const auto name = readCountedText(in, pos);
            if (!name)
                break;
            videoName = *name;
            const auto descriptionLength = in.u8(pos);
            if (!descriptionLength)
                break;
            pos += 2 * qint64(*descriptionLength) + 2;
            const auto infoLength = in.u8(pos);
            if (!infoLength)
                break;
            pos += 2;
            const auto info = in.bytes(pos, *infoLength);
            if (!info)
                break;
            // The FourCC is shown as the bytes stand; a zero byte ends the text.
            const qsizetype end = info->indexOf('\0');
            fourCC = QString::fromLatin1(end < 0 ? *info : info->first(end));
            pos += *infoLength;
        } else if (*type > 2) {
            props.Codecs << QCoreApplication::translate("HeaderAnalysis", "太多的解码器被显示");
        }
    }
    if (count >= 1) {
        props.Codecs << QCoreApplication::translate("HeaderAnalysis", "---------- 音频 ----------")
                     << QCoreApplication::translate("HeaderAnalysis", "音频 : ") + audioName
                     << QCoreApplication::translate("HeaderAnalysis", "速率  : ") + audioDescription;
    }
    if (count >= 2) {
        props.Codecs << QCoreApplication::translate("HeaderAnalysis", "---------- 视频 ----------")
                     << QCoreApplication::translate("HeaderAnalysis", "视频 : ") + videoName
                     << QStringLiteral("FourCC: ") + fourCC;
    }
}

// Everything that the header bytes give; the file and ASF dates come afterwards.
void analyseBytes(QByteArrayView header, StreamType streamType, const QString &location,
                  HeaderAnalysis &result)
{
    const ByteReader in(header);
    FileProperties &props = result.properties;

    if (in.find(asfid::headerObject) < 0)
        return fail(result,
                    QCoreApplication::translate("HeaderAnalysis", "ASF 错误 - 没有找到任何目标数据块"));
    if (in.find(asfid::dataObject) < 0)
        return fail(result, QCoreApplication::translate("HeaderAnalysis", "ASF 错误 - 没有找到任何目标数据"));

    readBitRates(in, props);

    QString videoSize;
    const bool video = readStreams(in, result, videoSize);
    if (result.StreamCount == 0)
        return fail(result, QCoreApplication::translate("HeaderAnalysis",
                                                        "ASF 错误 - 流媒体 ID 显示没有可用的流信息"));

    const qint64 fileProperties = in.find(asfid::fileProperties);
    if (fileProperties < 0)
        return fail(result, QCoreApplication::translate("HeaderAnalysis", "ASF 错误 - 找不到文件目标"));
    readFileProperties(in, fileProperties, result);
    result.streams = ReadStreamList(header);

    readContentDescription(in, props);
    readExtendedContentDescription(in, props);
    readCodecList(in, props);

    props.Location = location;
    if (result.StreamKinds & 0x2)
        props.Type += QCoreApplication::translate("HeaderAnalysis", "[视频] ");
    if (result.StreamKinds & 0x1)
        props.Type += QCoreApplication::translate("HeaderAnalysis", "[音频] ");
    if (result.StreamKinds & 0x4)
        props.Type += QCoreApplication::translate("HeaderAnalysis", "音频隐藏开启");
    const bool live = streamType == StreamType::Live;
    props.Length =
        live ? QCoreApplication::translate("HeaderAnalysis", "实况") : FormatDuration(result.SendDuration);
    props.VidSize = video ? videoSize : QCoreApplication::translate("HeaderAnalysis", "不可用");
    props.FileSize = live ? QCoreApplication::translate("HeaderAnalysis", "实况")
                          : QCoreApplication::translate("HeaderAnalysis", "%1 KB,  (当下载完成后的总大小)")
                                .arg(result.AsfFileSize / 1000);
    result.ok = true;
}

void setAsfDate(HeaderAnalysis &result)
{
    if (result.CreationTime == 0)
        return;
    const auto time = fileTimeToDateTime(result.CreationTime);
    result.properties.Created_Asf =
        time ? formatPropertiesDateTime(*time) +
                   QCoreApplication::translate("HeaderAnalysis", "  (ASF 文件时间)")
             : QCoreApplication::translate("HeaderAnalysis", "FILETIME 值错误");
}

} // namespace

std::optional<QDateTime> fileTimeToDateTime(quint64 fileTime)
{
    if (fileTime >= 0x8000000000000000ull)
        return std::nullopt;
    // Milliseconds between 1601-01-01 and 1970-01-01.
    constexpr qint64 epochOffsetMs = 11644473600000ll;
    return QDateTime::fromMSecsSinceEpoch(qint64(fileTime / 10000) - epochOffsetMs, Qt::UTC);
}

QString formatPropertiesDateTime(const QDateTime &utc, const QLocale &locale)
{
    const QDateTime t = utc.toUTC();
    const QString date = locale.toString(t.date(), u"ddd, dd MMMM yyyy").trimmed();
    const QString time = locale.toString(t.time(), u"hh:mm:ss AP").trimmed();
    return date + QStringLiteral("  ") + time;
}

HeaderAnalysis AnalyseAsfHeaderBytes(QByteArrayView header, StreamType streamType, const QString &location)
{
    HeaderAnalysis result;
    analyseBytes(header, streamType, location, result);
    if (result.ok)
        setAsfDate(result);
    return result;
}

HeaderAnalysis AnalyseAsfHeader(const QString &path, quint32 headerSize, StreamType streamType,
                                const QString &location)
{
    HeaderAnalysis result;
    QByteArray header;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            fail(result, QCoreApplication::translate("HeaderAnalysis", "无法打开文件来展开"));
            return result;
        }
        if (file.size() == 0) {
            fail(result, QCoreApplication::translate("HeaderAnalysis", "ASF 文件头没有包含数据"));
            return result;
        }
        // A file shorter than the header gives fewer bytes; only those are searched.
        header = file.read(std::min<qint64>(headerSize, file.size()));
    }

    analyseBytes(header, streamType, location, result);
    if (!result.ok)
        return result;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(result, QCoreApplication::translate("HeaderAnalysis", "无法打开文件获取时间/日期信息"));
        return result;
    }
    const QDateTime written = file.fileTime(QFileDevice::FileModificationTime);
    file.close();
    result.properties.Created_File =
        written.isValid() ? formatPropertiesDateTime(written) +
                                QCoreApplication::translate("HeaderAnalysis", "  (文件最后写入时间)")
                          : QCoreApplication::translate("HeaderAnalysis", "无法访问到文件时间");

    setAsfDate(result);
    return result;
}

quint32 LocalHeaderSize(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FallbackHeaderBytes;
    const QByteArray start = file.read(asflayout::objectSize + 8);
    const std::optional<quint64> objectSize = ByteReader(start).u64(asflayout::objectSize);
    if (!objectSize)
        return FallbackHeaderBytes;
    // The Header Object, and the Data Object's fields up to its first packet.
    const quint64 size = *objectSize + asflayout::dataObject::end;
    return size < MaxLocalHeaderBytes ? quint32(size) : FallbackHeaderBytes;
}

} // namespace lumo
