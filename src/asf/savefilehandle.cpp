#include "asf/savefilehandle.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (m_fd < 0)
        m_lastError = errnoText();
    return m_fd >= 0;
}

bool SaveFileHandle::createNew(const QString &path)
{
    std::lock_guard lock(m_mutex);
    if (m_fd >= 0)
        ::close(m_fd);
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
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

SaveFileHandle::Write SaveFileHandle::writeAt(qint64 offset, const char *data, qint64 size)
{
    std::lock_guard lock(m_mutex);
    if (m_fd < 0)
        return Write::Closed;
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
    }
    return Write::Ok;
}

qint64 SaveFileHandle::readAt(qint64 offset, char *data, qint64 size)
{
    std::lock_guard lock(m_mutex);
    if (m_fd < 0)
        return -1;
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
    steps();
    return true;
}

} // namespace lumo
