#include "asf/finishing.h"

#include "asf/asfids.h"
#include "asf/logging.h"
#include "asf/savefilehandle.h"
#include "asf/savefilewriter.h"
#include "asf/streamchoice.h"
#include "shell/bytereader.h"

#include <QByteArray>
#include <QCoreApplication>

#include <algorithm>
#include <optional>

namespace lumo {

namespace fp = asflayout::fileProperties;
using Access = SaveFileHandle::Access;

namespace {

// The first headerSize bytes of the file, or fewer when it is shorter; nullopt on a read error.
std::optional<QByteArray> readHeader(Access &file, quint32 headerSize)
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

bool writeBytes(Access &file, qint64 offset, const QByteArray &bytes)
{
    return file.writeAt(offset, bytes.constData(), bytes.size()) == SaveFileHandle::Write::Ok;
}

bool writeResumeRecord(Access &file, quint32 headerSize, quint32 packetCount)
{
    if (!file.isOpen())
        return false;
    const auto header = readHeader(file, headerSize);
    if (!header)
        return false;
    const qint64 fileProperties = findObject(*header, asfid::fileProperties, fp::dataPacketsCount + 4);
    if (fileProperties < 0)
        return false;
    return writeBytes(file, fileProperties + fp::dataPacketsCount, U32ToBytes(packetCount));
}

RepairResult repairLiveHeader(Access &file, quint32 headerSize, quint32 packetCount, quint32 packetTime)
{
    RepairResult result;
    result.errorMessage = QCoreApplication::translate("Finishing", "ASF 文件头修复错误 - 没有文件目标");
    if (!file.isOpen())
        return result;
    const auto header = readHeader(file, headerSize);
    if (!header)
        return result;
    const qint64 fileProperties = findObject(*header, asfid::fileProperties, fp::flags + 4);
    if (fileProperties < 0)
        return result;
    result.errorMessage.clear();

    const quint32 preroll = ByteReader(*header).u32(fileProperties + fp::preroll).value_or(0);
    const qint64 fileSize = file.size();
    if (fileSize < 0)
        return result;

    // The sum is taken in 32 bits, the products in 64.
    const quint64 playDuration = quint64(quint32(packetTime + preroll)) * 10000;
    const quint64 sendDuration = quint64(packetTime) * 10000;
    const bool written =
        writeBytes(file, fileProperties + fp::fileSize, U64ToBytes(quint64(fileSize))) &&
        writeBytes(file, fileProperties + fp::dataPacketsCount, U64ToBytes(packetCount, 0)) &&
        writeBytes(file, fileProperties + fp::playDuration, U64ToBytes(playDuration)) &&
        writeBytes(file, fileProperties + fp::sendDuration, U64ToBytes(sendDuration)) &&
        // Broadcast bit off, seekable bit on; the other flag bytes stay.
        writeBytes(file, fileProperties + fp::flags, QByteArray(1, '\x02'));
    if (!written)
        return result;

    namespace data = asflayout::dataObject;
    const qint64 dataObject = findObject(*header, asfid::dataObject, data::totalDataPackets + 8);
    if (dataObject < 0) {
        result.errorMessage = QCoreApplication::translate("Finishing", "ASF 文件头修复错误 - 没有数据目标");
        return result;
    }
    result.ok =
        writeBytes(file, dataObject + asflayout::objectSize, U64ToBytes(quint64(fileSize - dataObject))) &&
        writeBytes(file, dataObject + data::totalDataPackets, U64ToBytes(packetCount, 0));
    return result;
}

// The first packet a failed write may have left off the disk caps `count`.
quint32 capByLostPackets(Access &file, const PacketGeometry &geometry, quint32 count)
{
    if (const auto lost = SaveFileWriter::firstUnwrittenPacket(file, geometry))
        return std::min(count, *lost);
    return count;
}

} // namespace

bool WriteResumeRecord(SaveFileHandle &file, quint32 headerSize, quint32 packetCount)
{
    Access access = file.lock();
    return writeResumeRecord(access, headerSize, packetCount);
}

RepairResult RepairLiveHeader(SaveFileHandle &file, quint32 headerSize, quint32 packetCount,
                              quint32 packetTime)
{
    Access access = file.lock();
    return repairLiveHeader(access, headerSize, packetCount, packetTime);
}

bool WriteResumePoint(SaveFileHandle &file, const PacketGeometry &geometry, quint32 restartPacket)
{
    Access access = file.lock();
    const quint32 restart = capByLostPackets(access, geometry, restartPacket);
    qCDebug(lcAsf) << "resume record: restart at packet" << restart << "of" << restartPacket;
    return writeResumeRecord(access, geometry.headerSize, restart);
}

RepairResult RepairLiveRecording(SaveFileHandle &file, const PacketGeometry &geometry, quint32 packetsHeld,
                                 quint32 packetTime)
{
    Access access = file.lock();
    const quint32 count = capByLostPackets(access, geometry, packetsHeld);
    qCDebug(lcAsf) << "live repair:" << count << "packets," << packetTime << "ms";
    return repairLiveHeader(access, geometry.headerSize, count, packetTime);
}

bool WriteHeaderPatches(SaveFileHandle &file, quint32 headerSize, const QList<HeaderPatch> &patches)
{
    Access access = file.lock();
    if (!access.isOpen())
        return false;
    const qint64 fileSize = access.size();
    const qint64 end = std::min<qint64>(headerSize, fileSize);
    bool ok = true;
    for (const HeaderPatch &patch : patches) {
        if (patch.offset < 0 || patch.offset + patch.bytes.size() > end) {
            ok = false;
            continue;
        }
        ok = writeBytes(access, patch.offset, patch.bytes) && ok;
    }
    return ok;
}

} // namespace lumo
