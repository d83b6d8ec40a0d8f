// The receive worker's own ends: an exception on its thread becomes a task end with a message
// (the process goes on), and its end is always reported and joinable within a bound.
#include "support/workerharness.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace lumo;

TEST(ReceiveWorker, ExceptionOnTheWorkerEndsTheTaskWithItsMessage)
{
    test::WorkerHarness h;
    h.hooks.analyseHeader = []() -> bool { throw std::runtime_error("header analysis exploded"); };
    h.task.HeaderSize = 4;
    h.task.ResumeMode = ResumeMode::Resume; // the header is collected, not written: no file needed

    h.worker.start();
    // One header packet holding the whole 4-byte header: its analysis throws.
    h.task.RecvBuffer.append(QByteArray::fromHex("00000000 02 00 0C00 61626364").constData(), 12);
    ASSERT_TRUE(h.hooks.waitFinished(10000));
    ASSERT_TRUE(h.worker.join(10000));
    EXPECT_FALSE(h.worker.running());
    EXPECT_EQ(h.hooks.exceptionMessage, QStringLiteral("header analysis exploded"));
    EXPECT_TRUE(h.task.StopRequested());
    EXPECT_TRUE(h.task.LiveRepairDone && h.task.ResumeRecordDone);
}

// A worker that is waiting for bytes ends at the stop request, and join() bounds the wait.
TEST(ReceiveWorker, StopEndsAWaitingWorkerWithinTheBound)
{
    test::WorkerHarness h;
    h.worker.start();
    EXPECT_FALSE(h.worker.join(50)); // nothing has arrived: still waiting
    h.task.RecvBuffer.requestStop();
    EXPECT_TRUE(h.worker.join(10000));
    EXPECT_TRUE(h.hooks.exceptionMessage.isEmpty());
}
