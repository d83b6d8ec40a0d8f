#include "control/statustext.h"

#include <gtest/gtest.h>

using namespace lumo;

TEST(StatusText, GaugeAndTimes)
{
    EXPECT_EQ(progressPercent(421, 1000), 42);
    EXPECT_EQ(progressPercent(999, 1000), 99);
    EXPECT_EQ(progressPercent(0, 0), 0);                     // nothing announced: no percentage
    EXPECT_EQ(progressPercent(1200, 1000), 120);             // announced too few: the window caps the bar
    EXPECT_EQ(progressPercent(0xFFFFFFFF, 0xFFFFFFFF), 100); // no 32-bit wrap

    TaskStatus status;
    EXPECT_EQ(sendTimeText(status), "");
    EXPECT_EQ(timeLeftText(status), "");
    status.sendTimeMs = 3723000;
    status.timeLeftMs = 59000;
    EXPECT_EQ(sendTimeText(status), "01 : 02 : 03");
    EXPECT_EQ(timeLeftText(status), "00 : 00 : 59");
    status.live = true;
    EXPECT_EQ(timeLeftText(status), "实况");
}
