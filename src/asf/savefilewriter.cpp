#include "asf/savefilewriter.h"

#include "asf/logging.h"
#include "shell/tasklog.h"

#include <QCoreApplication>

namespace lumo {

namespace {
// What short packets are padded with.
const char zeros[SaveFileWriter::LargestPacketSize] = {};
} // namespace

SaveFileWriter::HeaderState SaveFileWriter::WriteHeaderPacket(SaveFileHandle &file, QByteArray &headerBuffer,
                                                              quint32 headerSize, bool resume,
                                                              QByteArrayView payload)
{
    headerBuffer.append(payload);
    if (headerBuffer.size() < qsizetype(headerSize))
        return HeaderState::Incomplete;
    if (headerBuffer.size() > qsizetype(headerSize)) {
        m_failure = QCoreApplication::translate("SaveFileWriter", "接收到的文件头长度已超过预设值");
        return HeaderState::Failed;
    }
    if (resume)
        return HeaderState::Complete;
    if (file.lock().writeAt(0, headerBuffer.constData(), headerBuffer.size()) != SaveFileHandle::Write::Ok) {
        m_failure = QCoreApplication::translate("SaveFileWriter", "无法访问本地文件来写入文件头");
        return HeaderState::Failed;
    }
    return HeaderState::Complete;
}

SaveFileWriter::DataState SaveFileWriter::WriteDataPackets(SaveFileHandle::Access &file,
                                                           const PacketGeometry &geometry,
                                                           std::span<const DataPacket> packets)
{
    const qsizetype packetSize = qMin<qsizetype>(geometry.packetSize, LargestPacketSize);
    m_pieces.clear();
    qint64 runStart = 0;
    qint64 runEnd = 0;
    for (const DataPacket &packet : packets) {
        const qint64 offset = geometry.offsetOf(packet.index);
        // A packet out of step, or a full list of pieces, sends what is gathered first.
        if (!m_pieces.empty() &&
            (offset != runEnd || m_pieces.size() + 2 > size_t(SaveFileHandle::Access::MaxPieces))) {
            if (const DataState state = writeRun(file, runStart); state != DataState::Written)
                return state;
        }
        if (m_pieces.empty())
            runStart = runEnd = offset;
        qsizetype payload = packet.size;
        if (payload > packetSize) {
            // The byte after the blanks is a stray code-page byte the message has always carried.
            m_log.append(
                QCoreApplication::translate("SaveFileWriter", "警告   ì 必须要将信息包长度剪切到适当长度"));
            payload = packetSize;
        }
        if (payload > 0)
            m_pieces.push_back({const_cast<char *>(packet.payload), size_t(payload)});
        if (payload < packetSize)
            m_pieces.push_back({const_cast<char *>(zeros), size_t(packetSize - payload)});
        runEnd += packetSize;
    }
    return m_pieces.empty() ? DataState::Written : writeRun(file, runStart);
}

SaveFileWriter::DataState SaveFileWriter::writeRun(SaveFileHandle::Access &file, qint64 offset)
{
    const SaveFileHandle::Write written = file.writePieces(offset, m_pieces.data(), int(m_pieces.size()));
    m_pieces.clear();
    switch (written) {
    case SaveFileHandle::Write::Ok:
        return DataState::Written;
    case SaveFileHandle::Write::Closed:
        return DataState::Dropped;
    case SaveFileHandle::Write::Failed:
        break;
    }
    m_failure = file.lastError();
    qCWarning(lcAsf) << "data write at" << offset << "failed:" << m_failure;
    return DataState::Failed;
}

std::optional<quint32> SaveFileWriter::firstUnwrittenPacket(SaveFileHandle::Access &file,
                                                            const PacketGeometry &geometry)
{
    const qint64 at = file.unwrittenFrom();
    if (at < 0 || geometry.packetSize == 0)
        return std::nullopt;
    return quint32(qMax<qint64>(0, at - qint64(geometry.headerSize)) / geometry.packetSize);
}

std::optional<quint32> SaveFileWriter::packetsOnDisk(SaveFileHandle::Access &file,
                                                     const PacketGeometry &geometry)
{
    const qint64 size = file.size();
    if (size < 0 || geometry.packetSize == 0)
        return std::nullopt;
    return quint32(
        qMin<qint64>(0xFFFFFFFF, qMax<qint64>(0, size - qint64(geometry.headerSize)) / geometry.packetSize));
}

} // namespace lumo
