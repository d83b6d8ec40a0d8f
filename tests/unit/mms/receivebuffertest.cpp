// The receive buffer's take and its idle step: the worker writes out what it holds only when
// the stream has nothing for it, and a take removes exactly one unit.

#include "mms/receivebuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using namespace lumo;

TEST(ReceiveBuffer, TakeCopiesPastTheSkipAndRemovesTheUnit)
{
    ReceiveBuffer buffer;
    buffer.append("12345678abcdefXYZ", 17);
    char prefix[8];
    buffer.peek(8, prefix);
    EXPECT_EQ(QByteArray(prefix, 8), "12345678");
    QByteArray payload("old contents");
    buffer.take(8, 14, payload);
    EXPECT_EQ(payload, "abcdef");
    EXPECT_EQ(buffer.size(), 3);
    buffer.take(0, 3, payload);
    EXPECT_EQ(payload, "XYZ");
    EXPECT_EQ(buffer.size(), 0);
}

// Stop wins over bytes already buffered and over a closed connection: a person's Stop ends the
// worker after the unit it has, whatever still waits.
TEST(ReceiveBuffer, StopWinsOverBufferedBytesAndTheClose)
{
    ReceiveBuffer buffer;
    buffer.append("abcd", 4);
    EXPECT_EQ(buffer.waitFor(2), ReceiveBuffer::WaitResult::Ready);
    buffer.markClosed();
    EXPECT_EQ(buffer.waitFor(4), ReceiveBuffer::WaitResult::Ready); // what came before the close
    EXPECT_EQ(buffer.waitFor(5), ReceiveBuffer::WaitResult::Closed);
    buffer.requestStop();
    EXPECT_EQ(buffer.waitFor(2), ReceiveBuffer::WaitResult::Stop); // even the bytes seen before
    EXPECT_EQ(buffer.waitFor(5), ReceiveBuffer::WaitResult::Stop);
}

// The paused TCP read resumes from a take as from a remove.
TEST(ReceiveBuffer, TakeBelowTheLimitCallsTheDrainedCallback)
{
    ReceiveBuffer buffer;
    int drained = 0;
    buffer.setDrainedCallback([&] { ++drained; });
    const QByteArray block(ReceiveBuffer::TcpLimit, 'x');
    buffer.append(block.constData(), block.size());
    ASSERT_TRUE(buffer.pauseIfFull());
    QByteArray unit;
    buffer.take(8, 100, unit);
    EXPECT_EQ(unit.size(), 92);
    EXPECT_EQ(drained, 1);
}

// While the worker holds the front, a read fills only the room past the tail and moves
// nothing; with no room left it reads nothing, and letting go asks for the read again.
TEST(ReceiveBuffer, HeldFrontStaysInPlaceWhileReadsGoOn)
{
    ReceiveBuffer buffer;
    int drained = 0;
    buffer.setDrainedCallback([&] { ++drained; });
    const auto readFill = [](char fill) {
        return [fill](char *to, qint64 max) {
            std::fill(to, to + max, fill);
            return max;
        };
    };
    ASSERT_EQ(buffer.appendFrom(1000, readFill('a')), 1000);
    buffer.remove(400);
    const ReceiveBuffer::Front front = buffer.pinFront();
    ASSERT_EQ(front.size, 600);
    qint64 offered = 0;
    const qsizetype got = buffer.appendFrom(1 << 20, [&](char *to, qint64 max) {
        offered = max;
        std::fill(to, to + max, 'b');
        return max;
    });
    EXPECT_GT(got, 0);
    EXPECT_LT(offered, 1 << 20); // only the room there was
    EXPECT_EQ(QByteArray(front.data, front.size), QByteArray(600, 'a'));
    EXPECT_EQ(buffer.appendFrom(10, readFill('c')), 0); // full: nothing read
    EXPECT_EQ(drained, 0);
    buffer.remove(600); // taken, but still in place
    EXPECT_EQ(QByteArray(front.data, front.size), QByteArray(600, 'a'));
    EXPECT_EQ(buffer.appendFrom(10, readFill('c')), 0);
    buffer.releaseFront();
    EXPECT_EQ(drained, 1);
    EXPECT_EQ(buffer.size(), got);
    // Room is made again once the front is free.
    EXPECT_EQ(buffer.appendFrom(10, readFill('c')), 10);
    QByteArray all;
    buffer.take(0, buffer.size(), all);
    EXPECT_EQ(all, QByteArray(got, 'b') + QByteArray(10, 'c'));
}

// A datagram that does not fit while the front is held waits for the worker, and none is lost.
TEST(ReceiveBuffer, DatagramWaitsForTheHeldFront)
{
    ReceiveBuffer buffer;
    const QByteArray first(100, 'x');
    buffer.append(first.constData(), first.size());
    const ReceiveBuffer::Front front = buffer.pinFront();
    const QByteArray datagram(64 * 1024, 'y');
    std::thread appender([&] { buffer.append(datagram.constData(), datagram.size()); });
    EXPECT_EQ(QByteArray(front.data, front.size), first);
    buffer.remove(front.size);
    buffer.releaseFront();
    appender.join();
    QByteArray all;
    buffer.take(0, buffer.size(), all);
    EXPECT_EQ(all, datagram);
}
