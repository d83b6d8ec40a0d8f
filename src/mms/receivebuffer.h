#pragma once

#include "shell/functionref.h"

#include <QByteArray>
#include <QtGlobal>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace lumo {

// RecvBuffer: bytes received and not yet consumed. The event thread appends (TCP reads, UDP
// datagrams); the worker takes whole units from the front. One mutex covers both, and a
// condition variable wakes the worker on every append, on the stop request and when the
// connection closes, so an idle stream costs no CPU.
//
// The bytes live in one block between a head and a tail. Taking only moves the head; the
// unconsumed rest is moved to the front by the appender, and only when the tail has no room,
// so each byte is moved at most about once. A TCP read goes straight into the room past the
// tail, outside the lock: nothing but the appender moves bytes or the tail. The worker may
// also hold the front in place (pinFront) and read or rewrite it without the lock; until it
// lets go, the appender fills only the room past the tail and moves nothing.
class ReceiveBuffer
{
public:
    // The TCP read path keeps the buffer below this; TCP flow control then slows the server.
    static constexpr qsizetype TcpLimit = 100000;

    enum class WaitResult
    {
        Ready,    // the requested bytes are buffered
        Stop,     // StopRequested is set
        Closed,   // the peer closed the connection and no more bytes will come
        TimedOut, // the deadline passed first
    };

    // Appends come from one thread at a time (the event thread). While the front is held and
    // the block has no room, append() waits for the worker to let go (it never waits for the
    // event thread meanwhile), and appendFrom() reads what fits, or nothing: the drained
    // callback then tells when to read again.
    void append(const char *data, qsizetype size);
    // Appends up to `max` bytes that `read` writes to the pointer it is given and counts
    // (<= 0: none). The read runs without the lock, so the worker goes on meanwhile.
    qsizetype appendFrom(qsizetype max, FunctionRef<qint64(char *, qint64)> read);

    qsizetype size() const;
    void clear();

    // Waits until `count` bytes are buffered, the stop is requested, or the peer closed.
    // Stop wins over buffered bytes: a user's Stop ends the worker after its current unit.
    // With a deadline, TimedOut once it has passed.
    WaitResult waitFor(qsizetype count, std::optional<std::chrono::steady_clock::time_point> deadline = {});
    // Copies the first `count` bytes (which must be buffered) into `out`, replacing its contents.
    void peek(qsizetype count, QByteArray &out) const;
    // Copies the first `count` bytes (which must be buffered) to `out`.
    void peek(qsizetype count, char *out) const;
    // Copies bytes [skip, count) of the front into `out` (replacing its contents) and removes
    // the first `count` bytes, under one lock. `count` bytes must be buffered.
    void take(qsizetype skip, qsizetype count, QByteArray &out);
    // The same into `out`, which has room for count - skip bytes; returns the bytes copied.
    qsizetype take(qsizetype skip, qsizetype count, char *out);
    // Removes `count` bytes from the front.
    void remove(qsizetype count);

    struct Front
    {
        char *data;
        qsizetype size;
    };
    // Holds the buffered bytes in place for the worker until releaseFront(). Removing them
    // meanwhile leaves them in place: reads may go on into the room past the tail while the
    // worker still writes them out.
    Front pinFront();
    void releaseFront();

    void requestStop();
    bool stopRequested() const;
    void markClosed();
    bool closed() const;
    // A new task: no stop, not closed, empty.
    void reset();

    // Called from remove() when a paused TCP read may go on (the buffer fell below TcpLimit).
    void setDrainedCallback(std::function<void()> callback);
    // The event thread stops reading while the buffer is full: returns true and arranges the
    // drained callback, or false when the worker has already made room.
    bool pauseIfFull();

private:
    // Called with the lock held.
    std::function<void()> removeLocked(qsizetype count);
    // Makes room for `count` bytes past the tail and returns the room there is: `count` or
    // more, unless the front is held. Called by the appender with the lock held.
    qsizetype makeRoomLocked(qsizetype count);
    qsizetype sizeLocked() const { return m_tail - m_head; }

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_released; // the front is no longer held
    bool m_pinned = false;
    bool m_appendWaiting = false; // a read found no room while the front was held
    std::unique_ptr<char[]> m_block;
    qsizetype m_capacity = 0;
    qsizetype m_head = 0;
    qsizetype m_tail = 0;
    // Counts clears, so bytes read outside the lock across a clear are dropped.
    quint64 m_generation = 0;
    std::atomic<bool> m_stop = false;
    // Bytes the worker has seen buffered and not yet taken: they stay until it takes them, so
    // waiting for no more than these needs no lock (once per unit, twice per packet).
    std::atomic<qsizetype> m_seen = 0;
    bool m_closed = false;
    qsizetype m_wanted = 0; // what the waiting worker needs; appends short of it do not wake it
    bool m_readPaused = false;
    std::function<void()> m_drained;
};

} // namespace lumo
