#pragma once

#include "asf/savefilehandle.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <span>
#include <vector>

namespace lumo {

class TaskLog;

// Where data packets lie in the save file: after the header, each at its index times the
// packet size (64-bit positions, so files past 2 GiB and 4 GiB stay correct).
struct PacketGeometry
{
    quint32 headerSize = 0;
    quint32 packetSize = 0;

    qint64 offsetOf(quint32 index) const { return qint64(headerSize) + qint64(index) * qint64(packetSize); }
};

// One data packet's payload as the server sent it, and its index in the file.
struct DataPacket
{
    quint32 index = 0;
    const char *payload = nullptr;
    qsizetype size = 0;
};

// Writes the ASF header and the data packets into the save file.
class SaveFileWriter
{
public:
    // A media packet's length field is 16 bits with its 8-byte prefix: no packet is larger.
    static constexpr quint32 LargestPacketSize = 0xFFFF - 8;
    // Headers are kilobytes; a server announcing more than this is not sending an ASF header.
    static constexpr quint32 LargestHeaderSize = 16 * 1024 * 1024;

    explicit SaveFileWriter(TaskLog &log) : m_log(log) {}

    enum class HeaderState
    {
        Incomplete, // more header packets to come
        Complete,   // headerBuffer holds headerSize bytes and is written (unless resuming)
        Failed,     // failureMessage() tells why; the caller shows it and ends the task
    };
    // Adds one header packet's payload to `headerBuffer`; once it holds `headerSize` bytes it is
    // written at the start of the file, except when resuming (the file keeps its header).
    HeaderState WriteHeaderPacket(SaveFileHandle &file, QByteArray &headerBuffer, quint32 headerSize,
                                  bool resume, QByteArrayView payload);

    enum class DataState
    {
        Written,
        Dropped, // the task has closed the file
        Failed,  // failureMessage() tells why; the caller ends the task
    };
    // The one way data packets reach the disk. Each is padded with zeros (or cut, with a warning
    // in the log) to the packet size and placed by its index; packets that follow one another
    // on disk go out in one system call.
    DataState WriteDataPackets(SaveFileHandle::Access &file, const PacketGeometry &geometry,
                               std::span<const DataPacket> packets);

    // After a failed data write: the first packet that may be missing on disk.
    static std::optional<quint32> firstUnwrittenPacket(SaveFileHandle::Access &file,
                                                       const PacketGeometry &geometry);
    // Whole data packets the file holds after its header (resume); nullopt when unknown.
    static std::optional<quint32> packetsOnDisk(SaveFileHandle::Access &file, const PacketGeometry &geometry);

    QString failureMessage() const { return m_failure; }

private:
    DataState writeRun(SaveFileHandle::Access &file, qint64 offset);

    TaskLog &m_log;
    QString m_failure;
    std::vector<iovec> m_pieces; // reused for every write
};

} // namespace lumo
