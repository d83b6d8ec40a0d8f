#pragma once

#include "mms/functionref.h"

#include <QString>

#include <sys/uio.h>

#include <functional>
#include <memory>
#include <mutex>

namespace lumo {

// The open save file. Positional 64-bit I/O, so packets past 2 GiB and 4 GiB land where their
// number puts them. One lock orders the worker's writes against the finishing steps and the
// close, which may run on the event thread: no packet is written during or after them.
//
// Data packets that follow one another on disk are gathered in memory and written in one call
// (a write per packet cost most of a fast download). Every other access flushes them first, so
// the finishing steps, the size and the close always see each packet in its place.
class SaveFileHandle
{
public:
    // A gathered run is written once it reaches this size.
    static constexpr qint64 RunBytes = 512 * 1024;

    enum class Write
    {
        Ok,
        Closed, // the task has closed the file; the write was dropped
        Failed, // see lastError()
    };

    SaveFileHandle() = default;
    SaveFileHandle(const SaveFileHandle &) = delete;
    SaveFileHandle &operator=(const SaveFileHandle &) = delete;
    ~SaveFileHandle() { close(); }

    // Opens an existing file for reading and writing (resume); false when it does not exist.
    bool openExisting(const QString &path);
    // Creates a new file; false when one exists or it cannot be created.
    bool createNew(const QString &path);
    bool isOpen() const;
    // Closes once; later calls do nothing.
    void close();

    Write writeAt(qint64 offset, const char *data, qint64 size);
    // Like writeAt, but the bytes may wait in memory until the run is full, a write lands
    // elsewhere, or flush(). A Failed here may belong to earlier gathered bytes.
    Write writeGathered(qint64 offset, const char *data, qint64 size);
    // Like writeGathered, but `fill` writes the `size` bytes straight into the run, saving a
    // copy. It runs under the lock and must not wait for the other thread; it is not called
    // when the file is closed (Closed) or when writing out the run before failed.
    Write writeGatheredInPlace(qint64 offset, qint64 size, FunctionRef<void(char *)> fill);
    // Writes the pieces one after another from `offset` in one system call (the gathered run
    // goes out first). At most MaxPieces pieces.
    static constexpr int MaxPieces = 1024;
    Write writePieces(qint64 offset, const iovec *pieces, int count);
    // Writes the gathered run. Ok when there was none.
    Write flush();
    // After a failed write of a gathered run: where the first byte that may be missing on disk
    // lies; -1 when every gathered byte reached the file.
    qint64 unwrittenFrom() const;
    // Reads up to `size` bytes; returns the count read, or -1.
    qint64 readAt(qint64 offset, char *data, qint64 size);
    // -1 when closed or on error.
    qint64 size();
    QString lastError() const;

    // Runs `steps` with the file locked against the other thread; false when the file is closed.
    bool locked(const std::function<void()> &steps);

private:
    // `done` (when given) grows by the bytes that reached the file.
    Write writeLocked(qint64 offset, const char *data, qint64 size, qint64 *done = nullptr);
    Write flushLocked();
    // Before a write that is not gathered: Closed, or the gathered run written first.
    Write flushBeforeWriteLocked();

    mutable std::recursive_mutex m_mutex;
    int m_fd = -1;
    QString m_lastError;
    std::unique_ptr<char[]> m_run; // RunBytes, made at the first gathered write
    qint64 m_runSize = 0;
    qint64 m_runOffset = 0;
    qint64 m_unwrittenFrom = -1;
};

} // namespace lumo
