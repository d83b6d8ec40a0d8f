#include "asf/savefilehandle.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace lumo {

namespace {
QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}
} // namespace

bool SaveFileHandle::openExisting(const QString &path)
{
    std::lock_guard lock(m_mutex);
    close();
    m_unwrittenFrom = -1;
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (m_fd < 0)
        m_lastError = errnoText();
    return m_fd >= 0;
}

bool SaveFileHandle::createNew(const QString &path)
{
    std::lock_guard lock(m_mutex);
    close();
    m_unwrittenFrom = -1;
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_fd < 0)
        m_lastError = errnoText();
    return m_fd >= 0;
}

bool SaveFileHandle::isOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_fd >= 0;
}

void SaveFileHandle::close()
{
    std::lock_guard lock(m_mutex);
    if (m_fd >= 0) {
        flushLocked();
        ::close(m_fd);
    }
    m_fd = -1;
    m_run.reset(); // a finished task keeps no run buffer
    m_runSize = 0;
}

SaveFileHandle::Write SaveFileHandle::writeAt(qint64 offset, const char *data, qint64 size)
{
    std::lock_guard lock(m_mutex);
    if (const Write ready = flushBeforeWriteLocked(); ready != Write::Ok)
        return ready;
    return writeLocked(offset, data, size);
}

SaveFileHandle::Write SaveFileHandle::writeGathered(qint64 offset, const char *data, qint64 size)
{
    return writeGatheredInPlace(offset, size, [&](char *to) { std::memcpy(to, data, size_t(size)); });
}

SaveFileHandle::Write SaveFileHandle::writeGatheredInPlace(qint64 offset, qint64 size,
                                                           FunctionRef<void(char *)> fill)
{
    std::lock_guard lock(m_mutex);
    if (m_fd < 0)
        return Write::Closed;
    if (m_runSize > 0 && (offset != m_runOffset + m_runSize || m_runSize + size > RunBytes)) {
        const Write gathered = flushLocked();
        if (gathered != Write::Ok)
            return gathered;
    }
    if (size > RunBytes) { // never for a packet; such a write goes out on its own
        auto block = std::make_unique_for_overwrite<char[]>(size_t(size));
        fill(block.get());
        qint64 done = 0;
        const Write written = writeLocked(offset, block.get(), size, &done);
        if (written != Write::Ok && (m_unwrittenFrom < 0 || offset + done < m_unwrittenFrom))
            m_unwrittenFrom = offset + done;
        return written;
    }
    if (!m_run)
        m_run = std::make_unique_for_overwrite<char[]>(size_t(RunBytes));
    if (m_runSize == 0)
        m_runOffset = offset;
    fill(m_run.get() + m_runSize);
    m_runSize += size;
    // Out now when the next write of this size would not fit.
    return m_runSize + size > RunBytes ? flushLocked() : Write::Ok;
}

SaveFileHandle::Write SaveFileHandle::writePieces(qint64 offset, const iovec *pieces, int count)
{
    std::lock_guard lock(m_mutex);
    if (const Write ready = flushBeforeWriteLocked(); ready != Write::Ok)
        return ready;
    iovec left[MaxPieces];
    count = qBound(0, count, MaxPieces);
    std::copy(pieces, pieces + count, left);
    iovec *next = left;
    qint64 done = 0;
    while (count > 0) {
        const ssize_t n = ::pwritev(m_fd, next, count, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_lastError = n < 0 ? errnoText() : QStringLiteral("nothing written");
            if (m_unwrittenFrom < 0 || offset + done < m_unwrittenFrom)
                m_unwrittenFrom = offset + done;
            return Write::Failed;
        }
        done += n;
        // Step over the pieces written whole, then into the one written in part.
        size_t rest = size_t(n);
        while (count > 0 && rest >= next->iov_len) {
            rest -= next->iov_len;
            ++next;
            --count;
        }
        if (count > 0) {
            next->iov_base = static_cast<char *>(next->iov_base) + rest;
            next->iov_len -= rest;
        }
    }
    return Write::Ok;
}

SaveFileHandle::Write SaveFileHandle::flush()
{
    std::lock_guard lock(m_mutex);
    if (m_fd < 0)
        return Write::Closed;
    return flushLocked();
}

qint64 SaveFileHandle::unwrittenFrom() const
{
    std::lock_guard lock(m_mutex);
    return m_unwrittenFrom;
}

SaveFileHandle::Write SaveFileHandle::flushBeforeWriteLocked()
{
    return m_fd < 0 ? Write::Closed : flushLocked();
}

SaveFileHandle::Write SaveFileHandle::flushLocked()
{
    if (m_runSize == 0 || m_fd < 0)
        return Write::Ok;
    qint64 done = 0;
    const Write written = writeLocked(m_runOffset, m_run.get(), m_runSize, &done);
    if (written != Write::Ok && (m_unwrittenFrom < 0 || m_runOffset + done < m_unwrittenFrom))
        m_unwrittenFrom = m_runOffset + done;
    m_runSize = 0; // not tried again: the task ends, and a resume fetches these packets
    return written;
}

SaveFileHandle::Write SaveFileHandle::writeLocked(qint64 offset, const char *data, qint64 size, qint64 *done)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(m_fd, data, size_t(size), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_lastError = n < 0 ? errnoText() : QStringLiteral("nothing written");
            return Write::Failed;
        }
        data += n;
        size -= n;
        offset += n;
        if (done)
            *done += n;
    }
    return Write::Ok;
}

qint64 SaveFileHandle::readAt(qint64 offset, char *data, qint64 size)
{
    std::lock_guard lock(m_mutex);
    if (m_fd < 0)
        return -1;
    flushLocked();
    qint64 total = 0;
    while (total < size) {
        const ssize_t n = ::pread(m_fd, data + total, size_t(size - total), off_t(offset + total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            m_lastError = errnoText();
            return -1;
        }
        if (n == 0)
            break;
        total += n;
    }
    return total;
}

qint64 SaveFileHandle::size()
{
    std::lock_guard lock(m_mutex);
    if (m_fd < 0)
        return -1;
    flushLocked();
    struct stat st
    {};
    if (::fstat(m_fd, &st) != 0) {
        m_lastError = errnoText();
        return -1;
    }
    return qint64(st.st_size);
}

QString SaveFileHandle::lastError() const
{
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

bool SaveFileHandle::locked(const std::function<void()> &steps)
{
    std::lock_guard lock(m_mutex);
    if (m_fd < 0)
        return false;
    flushLocked(); // a failure shows in unwrittenFrom()
    steps();
    return true;
}

} // namespace lumo
