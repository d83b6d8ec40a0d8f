#pragma once

#include <QString>

#include <functional>
#include <mutex>

namespace lumo {

// The open save file. Positional 64-bit I/O, so packets past 2 GiB and 4 GiB land where their
// number puts them. One lock orders the worker's writes against the finishing steps and the
// close, which may run on the event thread: no packet is written during or after them.
class SaveFileHandle
{
public:
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
    // Reads up to `size` bytes; returns the count read, or -1.
    qint64 readAt(qint64 offset, char *data, qint64 size);
    // -1 when closed or on error.
    qint64 size();
    QString lastError() const;

    // Runs `steps` with the file locked against the other thread; false when the file is closed.
    bool locked(const std::function<void()> &steps);

private:
    mutable std::recursive_mutex m_mutex;
    int m_fd = -1;
    QString m_lastError;
};

} // namespace lumo
