// The receive buffer's take and its idle step: the worker writes out what it holds only when
// the stream has nothing for it, and a take removes exactly one unit.

#include "mms/receivebuffer.h"

#include <gtest/gtest.h>

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

TEST(ReceiveBuffer, IdleStepRunsOnlyWhenTheBytesAreMissing)
{
    ReceiveBuffer buffer;
    int idle = 0;
    const std::function<void()> step = [&] {
        ++idle;
        buffer.append("cd", 2); // the step may be followed by more data at once
    };
    buffer.append("ab", 2);
    EXPECT_EQ(buffer.waitFor(2, step), ReceiveBuffer::WaitResult::Ready);
    EXPECT_EQ(idle, 0);
    EXPECT_EQ(buffer.waitFor(4, step), ReceiveBuffer::WaitResult::Ready);
    EXPECT_EQ(idle, 1);
}

TEST(ReceiveBuffer, IdleStepRunsBeforeClosedAndNotAfterStop)
{
    ReceiveBuffer buffer;
    int idle = 0;
    buffer.markClosed();
    EXPECT_EQ(buffer.waitFor(1, [&] { ++idle; }), ReceiveBuffer::WaitResult::Closed);
    EXPECT_EQ(idle, 1);
    buffer.requestStop();
    EXPECT_EQ(buffer.waitFor(1, [&] { ++idle; }), ReceiveBuffer::WaitResult::Stop);
    EXPECT_EQ(idle, 1);
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
