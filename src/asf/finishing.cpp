#include "asf/finishing.h"

#include "asf/asfids.h"
#include "asf/savefilehandle.h"
#include "mms/bytes.h"

#include <QByteArray>

#include <algorithm>
#include <optional>

namespace lumo {

namespace {

// The first headerSize bytes of the file, or fewer when it is shorter; nullopt on a read error.
std::optional<QByteArray> readHeader(SaveFileHandle &file, quint32 headerSize)
{
    // Never more than the file holds: the announced size comes from the server.
    const qint64 fileSize = file.size();
    if (fileSize < 0)
        return std::nullopt;
    QByteArray header(qsizetype(std::min<qint64>(headerSize, fileSize)), Qt::Uninitialized);
    const qint64 got = file.readAt(0, header.data(), header.size());
    if (got < 0)
        return std::nullopt;
    header.truncate(got);
    return header;
}

// Position of the object whose fields up to `fieldsEnd` lie inside the header bytes, or -1.
// A match too close to the end would send the writes into the data packets behind the header.
qint64 findObject(const QByteArray &header, QByteArrayView id, qint64 fieldsEnd)
{
    const qint64 at = header.indexOf(id);
    if (at < 0 || at + fieldsEnd > header.size())
        return -1;
    return at;
}

bool writeBytes(SaveFileHandle &file, qint64 offset, const QByteArray &bytes)
{
    return file.writeAt(offset, bytes.constData(), bytes.size()) == SaveFileHandle::Write::Ok;
}

} // namespace

int WriteResumeRecord(SaveFileHandle &file, quint32 headerSize, quint32 packetCount)
{
    int result = 0;
    file.locked([&] {
        const auto header = readHeader(file, headerSize);
        if (!header)
            return;
        const qint64 fileProperties = findObject(*header, asfid::fileProperties, 60);
        if (fileProperties < 0)
            return;
        result = writeBytes(file, fileProperties + 56, U32ToBytes(packetCount)) ? 1 : 0;
    });
    return result;
}

RepairResult RepairLiveHeader(SaveFileHandle &file, quint32 headerSize, quint32 packetCount,
                              quint32 packetTime)
{
    RepairResult result;
    result.errorMessage = QStringLiteral("ASF 文件头修复错误 - 没有文件目标");
    file.locked([&] {
        const auto header = readHeader(file, headerSize);
        if (!header)
            return;
        const qint64 fileProperties = findObject(*header, asfid::fileProperties, 92);
        if (fileProperties < 0)
            return;
        result.errorMessage.clear();

        const quint32 preroll = le32(header->constData() + fileProperties + 80);
        const qint64 fileSize = file.size();
        if (fileSize < 0)
            return;

        // The sum is taken in 32 bits, the products in 64.
        const quint64 playDuration = quint64(quint32(packetTime + preroll)) * 10000;
        const quint64 sendDuration = quint64(packetTime) * 10000;
        const bool written = writeBytes(file, fileProperties + 40, U64ToBytes(quint64(fileSize))) &&
                             writeBytes(file, fileProperties + 56, U64ToBytes(packetCount, 0)) &&
                             writeBytes(file, fileProperties + 64, U64ToBytes(playDuration)) &&
                             writeBytes(file, fileProperties + 72, U64ToBytes(sendDuration)) &&
                             // Broadcast bit off, seekable bit on; the other flag bytes stay.
                             writeBytes(file, fileProperties + 88, QByteArray(1, '\x02'));
        if (!written)
            return;

        const qint64 data = findObject(*header, asfid::dataObject, 48);
        if (data < 0) {
            result.errorMessage = QStringLiteral("ASF 文件头修复错误 - 没有数据目标");
            return;
        }
        if (writeBytes(file, data + 16, U64ToBytes(quint64(fileSize - data))) &&
            writeBytes(file, data + 40, U64ToBytes(packetCount, 0)))
            result.ok = 1;
    });
    return result;
}

} // namespace lumo
