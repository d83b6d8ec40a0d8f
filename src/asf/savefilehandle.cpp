#include "asf/savefilehandle.h"

#include <QCoreApplication>
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

bool SaveFileHandle::open(const QString &path, int flags)
{
    close();
    std::lock_guard lock(m_mutex);
    m_unwrittenFrom = -1;
    m_fd = ::open(QFile::encodeName(path).constData(), flags, 0666);
    if (m_fd < 0)
        m_lastError = errnoText();
    return m_fd >= 0;
}

bool SaveFileHandle::openExisting(const QString &path)
{
    return open(path, O_RDWR | O_CLOEXEC);
}

bool SaveFileHandle::createNew(const QString &path)
{
    return open(path, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC);
}

bool SaveFileHandle::isOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_fd >= 0;
}

void SaveFileHandle::close()
{
    std::lock_guard lock(m_mutex);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

QString SaveFileHandle::lastError() const
{
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

void SaveFileHandle::Access::noteUnwritten(qint64 at)
{
    if (m_file.m_unwrittenFrom < 0 || at < m_file.m_unwrittenFrom)
        m_file.m_unwrittenFrom = at;
}

SaveFileHandle::Write SaveFileHandle::Access::writeAt(qint64 offset, const char *data, qint64 size)
{
    if (!isOpen())
        return Write::Closed;
    while (size > 0) {
        const ssize_t n = ::pwrite(m_file.m_fd, data, size_t(size), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_file.m_lastError =
                n < 0 ? errnoText() : QCoreApplication::translate("SaveFileHandle", "nothing written");
            return Write::Failed;
        }
        data += n;
        size -= n;
        offset += n;
    }
    return Write::Ok;
}

SaveFileHandle::Write SaveFileHandle::Access::writePieces(qint64 offset, const iovec *pieces, int count)
{
    if (!isOpen())
        return Write::Closed;
    iovec left[MaxPieces];
    count = qBound(0, count, MaxPieces);
    std::copy(pieces, pieces + count, left);
    iovec *next = left;
    qint64 done = 0;
    while (count > 0) {
        const ssize_t n = ::pwritev(m_file.m_fd, next, count, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_file.m_lastError =
                n < 0 ? errnoText() : QCoreApplication::translate("SaveFileHandle", "nothing written");
            noteUnwritten(offset + done);
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

qint64 SaveFileHandle::Access::readAt(qint64 offset, char *data, qint64 size)
{
    if (!isOpen())
        return -1;
    qint64 total = 0;
    while (total < size) {
        const ssize_t n = ::pread(m_file.m_fd, data + total, size_t(size - total), off_t(offset + total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            m_file.m_lastError = errnoText();
            return -1;
        }
        if (n == 0)
            break;
        total += n;
    }
    return total;
}

qint64 SaveFileHandle::Access::size()
{
    if (!isOpen())
        return -1;
    struct stat st
    {};
    if (::fstat(m_file.m_fd, &st) != 0) {
        m_file.m_lastError = errnoText();
        return -1;
    }
    return qint64(st.st_size);
}

} // namespace lumo
