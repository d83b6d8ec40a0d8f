#include "mms/udpgaps.h"

#include <gtest/gtest.h>

using namespace lumo;
using Clock = UdpGapTracker::Clock;

namespace {
const Clock::time_point t0 = Clock::now();
} // namespace

// The 8-bit counter widened to the packet's place in the stream, across its wrap, whatever order
// the datagrams come in; what is behind the highest and not seen is missing.
TEST(UdpGapTracker, WidensTheCounterAndFindsTheGaps)
{
    const struct
    {
        const char *name;
        std::vector<int> counters; // in arrival order
        std::vector<qint64> sequences; // what each is placed at; -1 for none
        qsizetype missing;
        std::optional<quint32> first;
    } cases[] = {
        {"in order", {0, 1, 2, 3}, {0, 1, 2, 3}, 0, std::nullopt},
        {"one lost", {0, 1, 3, 4}, {0, 1, 3, 4}, 1, 2u},
        {"lost, then sent again", {0, 2, 1}, {0, 2, 1}, 0, std::nullopt},
        {"the first datagram lost", {1, 2}, {1, 2}, 1, 0u},
        {"the first datagrams swapped", {1, 0, 2}, {1, 0, 2}, 0, std::nullopt},
        {"across the wrap", {254, 255, 0, 2}, {254, 255, 256, 258}, 1, 257u},
        {"a counter from before the start", {0, 1, 255}, {0, 1, -1}, 0, std::nullopt},
        {"a late first packet of a high start", {200, 201}, {200, 201}, 0, std::nullopt},
    };
    for (const auto &c : cases) {
        UdpGapTracker gaps;
        for (size_t i = 0; i < c.counters.size(); ++i) {
            const std::optional<quint32> seq = gaps.arrived(quint8(c.counters[i]), t0);
            if (c.sequences[i] < 0)
                EXPECT_FALSE(seq) << c.name << " #" << i;
            else
                EXPECT_EQ(seq, quint32(c.sequences[i])) << c.name << " #" << i;
        }
        EXPECT_EQ(gaps.missingCount(), c.missing) << c.name;
        EXPECT_EQ(gaps.firstMissing(), c.first) << c.name;
    }
}

// A gap is asked for at once, again after each interval, and no more than MaxTries times.
TEST(UdpGapTracker, AsksAgainBoundedTimes)
{
    UdpGapTracker gaps;
    gaps.arrived(0, t0);
    gaps.arrived(3, t0);
    EXPECT_EQ(gaps.due(t0), (QList<quint32>{1, 2}));
    EXPECT_TRUE(gaps.due(t0).isEmpty());
    EXPECT_EQ(gaps.nextDue(), t0 + UdpGapTracker::RetryInterval);
    gaps.arrived(1, t0); // sent again
    Clock::time_point now = t0;
    int asked = 1;
    for (;;) {
        now += UdpGapTracker::RetryInterval;
        const QList<quint32> due = gaps.due(now);
        if (due.isEmpty())
            break;
        EXPECT_EQ(due, QList<quint32>{2});
        ++asked;
    }
    EXPECT_EQ(asked, UdpGapTracker::MaxTries);
    EXPECT_FALSE(gaps.nextDue());
    EXPECT_EQ(gaps.missingCount(), 1); // given up, still missing
}

// The last packets of a stream leave no gap behind them: the end names how far it runs.
TEST(UdpGapTracker, TheEndNamesTheLastPackets)
{
    UdpGapTracker gaps;
    gaps.arrived(0, t0);
    gaps.arrived(1, t0);
    gaps.expectUpTo(4, t0);
    EXPECT_EQ(gaps.missingCount(), 3);
    EXPECT_EQ(gaps.due(t0), (QList<quint32>{2, 3, 4}));
    gaps.expectUpTo(2, t0); // nothing new
    EXPECT_EQ(gaps.missingCount(), 3);
}

// One request names at most RequestSize packets; a huge loss is remembered only so far.
TEST(UdpGapTracker, LargeLossesStayBounded)
{
    UdpGapTracker gaps;
    gaps.arrived(0, t0);
    gaps.expectUpTo(UdpGapTracker::MaxMissing + 100, t0);
    EXPECT_EQ(gaps.missingCount(), UdpGapTracker::MaxMissing + 100);
    EXPECT_EQ(gaps.due(t0).size(), UdpGapTracker::RequestSize);
    EXPECT_EQ(gaps.firstMissing(), 1u);
}
