#pragma once

#include "asf/savefilehandle.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace lumo {

class Interaction;
class Settings;
class TaskLog;
struct DownloadTask;

// Chooses, creates or resumes the save file and writes the ASF header and the data packets
// into it, each packet at the place its number fixes.
class SaveFileWriter
{
public:
    SaveFileWriter(DownloadTask &task, TaskLog &log, Interaction &person, Settings &settings);

    // Asks for the save file (the name proposed from the address), asks whether to resume a
    // file that holds data, and opens it. 1: the task may start; 0: it must not (a message,
    // where there is one, has been shown). Event thread.
    int PrepareSaveFile(const QString &urlText);
    // The chosen path (the main window's SaveWindow caption).
    QString savePath() const { return m_savePath; }

    enum class HeaderState
    {
        Incomplete, // more header packets to come
        Complete,   // HeaderBuffer holds HeaderSize bytes and is written (not in resume mode)
        Failed,     // failureMessage() tells why; the caller shows it and ends the task
    };
    // Adds one header packet's payload. Worker thread.
    HeaderState WriteHeaderPacket(const char *payload, qsizetype size);

    enum class DataState
    {
        Written,
        Dropped, // the task has closed the file
        Failed,  // failureMessage() tells why; the caller ends the task
    };
    // Pads or cuts `packet` to PacketSize and writes it at HeaderSize + PacketIndex x PacketSize.
    // Consecutive packets may wait in memory and go out together: FlushData() writes them,
    // and every finishing step and the close do so first.
    DataState WriteDataPacket(QByteArray &packet);
    // The same for a packet that `fill` writes straight into its place in the gathered run:
    // it writes at most PacketSize bytes and returns how many; the rest is padded here. `fill`
    // runs with the file locked (see SaveFileHandle::writeGatheredInPlace), and not at all
    // when the packet cannot be written.
    DataState WriteDataPacketInPlace(FunctionRef<qsizetype(char *)> fill);
    // Where data packet `index` lies in the file.
    qint64 dataPacketOffset(quint32 index) const;
    // Writes whole packets, padded to PacketSize by the pieces themselves, from `offset` on in
    // one call (see SaveFileHandle::writePieces).
    DataState WriteDataPieces(qint64 offset, const iovec *pieces, int count);
    DataState FlushData();
    // After a failed data write: the first packet that may be missing on disk.
    std::optional<quint32> firstUnwrittenPacket() const;
    // Whole data packets the open file holds after its header (resume); nullopt when unknown.
    std::optional<quint32> packetsOnDisk() const;

    QString failureMessage() const { return m_failure; }

    static QString fileFilter();

private:
    DataState dataState(SaveFileHandle::Write written);

    DownloadTask &m_task;
    TaskLog &m_log;
    Interaction &m_person;
    Settings &m_settings;
    QString m_savePath;
    QString m_failure;
};

} // namespace lumo
