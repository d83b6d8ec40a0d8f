#include "asf/duration.h"

#include <gtest/gtest.h>

TEST(FormatDuration, RoundsAndPads)
{
    const struct
    {
        double ms;
        const char *text;
    } cases[] = {
        {0, "00 : 00 : 00"},          {998, "00 : 00 : 00"},
        {999, "00 : 00 : 01"}, // one millisecond is added before truncating
        {59000, "00 : 00 : 59"},      {60000, "00 : 01 : 00"},
        {65536, "00 : 01 : 05"},      {3599999, "01 : 00 : 00"},
        {3600000, "01 : 00 : 00"},    {36000000, "10 : 00 : 00"},
        {360000000, "100 : 00 : 00"}, {4294967295.0, "1193 : 02 : 47"},
        {-5000, "00 : 00 : 00"}, // a remaining time that went below zero
    };
    for (const auto &c : cases)
        EXPECT_EQ(lumo::FormatDuration(c.ms).toStdString(), c.text) << c.ms;
}
