#pragma once

#include <QString>

#include <sys/uio.h>

#include <mutex>

namespace lumo {

// The open save file. Positional 64-bit I/O, so packets past 2 GiB and 4 GiB land where their
// number puts them.
//
// Every read and write goes through an Access, which holds the file's lock while it lives: the
// worker's packet writes and the finishing steps (which may run on the event thread) never
// interleave, and no packet is written during or after them. The lock is not recursive and
// runs no callbacks; take it once per step.
class SaveFileHandle
{
public:
    enum class Write
    {
        Ok,
        Closed, // the task has closed the file; the write was dropped
        Failed, // see lastError()
    };

    class Access
    {
    public:
        bool isOpen() const { return m_file.m_fd >= 0; }
        Write writeAt(qint64 offset, const char *data, qint64 size);
        // Writes the pieces one after another from `offset` in one system call where it can.
        // At most MaxPieces pieces.
        static constexpr int MaxPieces = 1024;
        Write writePieces(qint64 offset, const iovec *pieces, int count);
        // Reads up to `size` bytes; returns the count read, or -1.
        qint64 readAt(qint64 offset, char *data, qint64 size);
        // -1 when closed or on error.
        qint64 size();
        QString lastError() const { return m_file.m_lastError; }
        // After a failed write of pieces: where the first byte that may be missing on disk lies; -1 when
        // every write reached the file.
        qint64 unwrittenFrom() const { return m_file.m_unwrittenFrom; }

    private:
        friend class SaveFileHandle;
        explicit Access(SaveFileHandle &file) : m_file(file), m_lock(file.m_mutex) {}
        void noteUnwritten(qint64 at);

        SaveFileHandle &m_file;
        std::unique_lock<std::mutex> m_lock;
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
    // Why the last open failed.
    QString lastError() const;

    // The file, locked until the Access goes (an Access of a closed file reports Closed).
    Access lock() { return Access(*this); }

private:
    bool open(const QString &path, int flags);

    mutable std::mutex m_mutex;
    int m_fd = -1;
    QString m_lastError;
    qint64 m_unwrittenFrom = -1;
};

} // namespace lumo
