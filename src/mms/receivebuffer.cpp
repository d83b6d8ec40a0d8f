#include "mms/receivebuffer.h"

#include <cstring>

namespace lumo {

namespace {
// Consumed bytes are dropped from the front in one move once they outweigh what is left.
constexpr qsizetype CompactThreshold = 64 * 1024;
} // namespace

void ReceiveBuffer::append(const char *data, qsizetype size)
{
    if (size <= 0)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_data.append(data, size);
    }
    m_wake.notify_one();
}

qsizetype ReceiveBuffer::appendFrom(qsizetype max, const std::function<qint64(char *, qint64)> &read)
{
    qint64 got = 0;
    {
        std::lock_guard lock(m_mutex);
        const qsizetype old = m_data.size();
        m_data.resize(old + max);
        got = read(m_data.data() + old, max);
        m_data.resize(old + qMax<qint64>(got, 0));
    }
    if (got > 0)
        m_wake.notify_one();
    return qsizetype(qMax<qint64>(got, 0));
}

qsizetype ReceiveBuffer::size() const
{
    std::lock_guard lock(m_mutex);
    return m_data.size() - m_head;
}

void ReceiveBuffer::clear()
{
    std::lock_guard lock(m_mutex);
    m_data.clear();
    m_head = 0;
}

ReceiveBuffer::WaitResult ReceiveBuffer::waitFor(qsizetype count, const std::function<void()> &beforeWaiting)
{
    std::unique_lock lock(m_mutex);
    bool idleDone = !beforeWaiting;
    for (;;) {
        if (m_stop)
            return WaitResult::Stop;
        if (m_data.size() - m_head >= count)
            return WaitResult::Ready;
        if (!idleDone) {
            idleDone = true;
            lock.unlock();
            beforeWaiting();
            lock.lock();
            continue;
        }
        if (m_closed)
            return WaitResult::Closed;
        m_wake.wait(lock);
    }
}

void ReceiveBuffer::peek(qsizetype count, QByteArray &out) const
{
    std::lock_guard lock(m_mutex);
    count = qMin(count, m_data.size() - m_head);
    out.resize(count);
    std::memcpy(out.data(), m_data.constData() + m_head, size_t(count));
}

void ReceiveBuffer::peek(qsizetype count, char *out) const
{
    std::lock_guard lock(m_mutex);
    count = qMin(count, m_data.size() - m_head);
    std::memcpy(out, m_data.constData() + m_head, size_t(count));
}

void ReceiveBuffer::take(qsizetype skip, qsizetype count, QByteArray &out)
{
    std::function<void()> drained;
    {
        std::lock_guard lock(m_mutex);
        count = qMin(count, m_data.size() - m_head);
        skip = qBound<qsizetype>(0, skip, count);
        out.resize(count - skip);
        std::memcpy(out.data(), m_data.constData() + m_head + skip, size_t(count - skip));
        drained = removeLocked(count);
    }
    if (drained)
        drained();
}

std::function<void()> ReceiveBuffer::removeLocked(qsizetype count)
{
    m_head = qMin(m_head + count, m_data.size());
    if (m_head == m_data.size()) {
        m_data.resize(0);
        m_head = 0;
    } else if (m_head >= CompactThreshold && m_head * 2 >= m_data.size()) {
        m_data.remove(0, m_head);
        m_head = 0;
    }
    if (m_readPaused && m_data.size() - m_head < TcpLimit) {
        m_readPaused = false;
        return m_drained;
    }
    return {};
}

void ReceiveBuffer::remove(qsizetype count)
{
    std::function<void()> drained;
    {
        std::lock_guard lock(m_mutex);
        drained = removeLocked(count);
    }
    if (drained)
        drained();
}

void ReceiveBuffer::requestStop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
}

bool ReceiveBuffer::stopRequested() const
{
    std::lock_guard lock(m_mutex);
    return m_stop;
}

void ReceiveBuffer::markClosed()
{
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_wake.notify_all();
}

bool ReceiveBuffer::closed() const
{
    std::lock_guard lock(m_mutex);
    return m_closed;
}

void ReceiveBuffer::reset()
{
    std::lock_guard lock(m_mutex);
    m_data.clear();
    m_head = 0;
    m_stop = false;
    m_closed = false;
    m_readPaused = false;
}

void ReceiveBuffer::setDrainedCallback(std::function<void()> callback)
{
    std::lock_guard lock(m_mutex);
    m_drained = std::move(callback);
}

bool ReceiveBuffer::pauseIfFull()
{
    std::lock_guard lock(m_mutex);
    m_readPaused = m_data.size() - m_head >= TcpLimit;
    return m_readPaused;
}

} // namespace lumo
