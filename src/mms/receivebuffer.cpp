#include "mms/receivebuffer.h"

#include <cstring>

namespace lumo {

qsizetype ReceiveBuffer::makeRoomLocked(qsizetype count)
{
    if (m_head == m_tail && !m_pinned)
        m_head = m_tail = 0; // empty: start again at the front, which stays in the cache
    if (m_capacity - m_tail >= count || m_pinned)
        return m_capacity - m_tail;
    const qsizetype held = sizeLocked();
    if (held > 0 && m_head > 0)
        std::memmove(m_block.get(), m_block.get() + m_head, size_t(held));
    m_head = 0;
    m_tail = held;
    if (m_capacity - m_tail >= count)
        return m_capacity - m_tail;
    // Twice what is needed now, so a steady stream settles on one block.
    const qsizetype capacity = 2 * (held + count);
    auto block = std::make_unique_for_overwrite<char[]>(size_t(capacity));
    if (held > 0)
        std::memcpy(block.get(), m_block.get(), size_t(held));
    m_block = std::move(block);
    m_capacity = capacity;
    return m_capacity - m_tail;
}

void ReceiveBuffer::append(const char *data, qsizetype size)
{
    if (size <= 0)
        return;
    {
        std::unique_lock lock(m_mutex);
        m_released.wait(lock, [&] { return makeRoomLocked(size) >= size; });
        std::memcpy(m_block.get() + m_tail, data, size_t(size));
        m_tail += size;
        if (sizeLocked() < m_wanted)
            return; // the worker waits for more than this: no wake-up for nothing
    }
    m_wake.notify_one();
}

qsizetype ReceiveBuffer::appendFrom(qsizetype max, FunctionRef<qint64(char *, qint64)> read)
{
    if (max <= 0)
        return 0;
    char *to = nullptr;
    quint64 generation = 0;
    {
        std::lock_guard lock(m_mutex);
        const qsizetype room = makeRoomLocked(max);
        if (room <= 0) {
            m_appendWaiting = true;
            return 0;
        }
        max = qMin(max, room);
        to = m_block.get() + m_tail;
        generation = m_generation;
    }
    const qint64 got = read(to, max);
    if (got <= 0)
        return 0;
    {
        std::lock_guard lock(m_mutex);
        if (generation != m_generation)
            return 0; // cleared meanwhile: these bytes belong to what was dropped
        m_tail += qsizetype(qMin<qint64>(got, max));
        if (sizeLocked() < m_wanted)
            return qsizetype(got);
    }
    m_wake.notify_one();
    return qsizetype(got);
}

qsizetype ReceiveBuffer::size() const
{
    std::lock_guard lock(m_mutex);
    return sizeLocked();
}

void ReceiveBuffer::clear()
{
    std::lock_guard lock(m_mutex);
    // Only the appender moves the tail; the head catches up with it.
    m_head = m_tail;
    m_seen = 0;
    ++m_generation;
}

ReceiveBuffer::WaitResult
ReceiveBuffer::waitFor(qsizetype count, std::optional<std::chrono::steady_clock::time_point> deadline)
{
    if (!m_stop.load(std::memory_order_relaxed) && count <= m_seen.load(std::memory_order_relaxed))
        return WaitResult::Ready;
    std::unique_lock lock(m_mutex);
    // Not bounded by a time: the stop request and the close both wake it, and a quiet live
    // stream may rightly send nothing for a long while.
    for (;;) {
        if (m_stop)
            return WaitResult::Stop;
        if (sizeLocked() >= count) {
            m_seen.store(sizeLocked(), std::memory_order_relaxed);
            return WaitResult::Ready;
        }
        if (m_closed)
            return WaitResult::Closed;
        if (deadline && std::chrono::steady_clock::now() >= *deadline)
            return WaitResult::TimedOut;
        m_wanted = count;
        if (!deadline)
            m_wake.wait(lock);
        else
            m_wake.wait_until(lock, *deadline);
        m_wanted = 0;
    }
}

void ReceiveBuffer::peek(qsizetype count, QByteArray &out) const
{
    std::lock_guard lock(m_mutex);
    count = qMin(count, sizeLocked());
    out.resize(count);
    if (count > 0)
        std::memcpy(out.data(), m_block.get() + m_head, size_t(count));
}

void ReceiveBuffer::peek(qsizetype count, char *out) const
{
    std::lock_guard lock(m_mutex);
    count = qMin(count, sizeLocked());
    if (count > 0)
        std::memcpy(out, m_block.get() + m_head, size_t(count));
}

void ReceiveBuffer::take(qsizetype skip, qsizetype count, QByteArray &out)
{
    out.resize(qMax<qsizetype>(count - qMax<qsizetype>(skip, 0), 0));
    out.resize(take(skip, count, out.data()));
}

qsizetype ReceiveBuffer::take(qsizetype skip, qsizetype count, char *out)
{
    std::function<void()> drained;
    {
        std::lock_guard lock(m_mutex);
        count = qMin(count, sizeLocked());
        skip = qBound<qsizetype>(0, skip, count);
        if (count > skip)
            std::memcpy(out, m_block.get() + m_head + skip, size_t(count - skip));
        drained = removeLocked(count);
    }
    if (drained)
        drained();
    return count - skip;
}

std::function<void()> ReceiveBuffer::removeLocked(qsizetype count)
{
    m_head = qMin(m_head + qMax<qsizetype>(count, 0), m_tail);
    m_seen.store(sizeLocked(), std::memory_order_relaxed);
    if (m_readPaused && sizeLocked() < TcpLimit) {
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

ReceiveBuffer::Front ReceiveBuffer::pinFront()
{
    std::lock_guard lock(m_mutex);
    m_pinned = true;
    return {m_block.get() + m_head, sizeLocked()};
}

void ReceiveBuffer::releaseFront()
{
    std::function<void()> resume;
    {
        std::lock_guard lock(m_mutex);
        m_pinned = false;
        if (m_appendWaiting) {
            m_appendWaiting = false;
            resume = m_drained;
        }
    }
    m_released.notify_all();
    if (resume)
        resume();
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
    // A task's block goes with it (it may have grown for a burst of datagrams).
    m_block.reset();
    m_capacity = m_head = m_tail = 0;
    m_seen = 0;
    m_pinned = m_appendWaiting = false;
    ++m_generation;
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
    m_readPaused = sizeLocked() >= TcpLimit;
    return m_readPaused;
}

} // namespace lumo
