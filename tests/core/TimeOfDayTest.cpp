#include "core/TimeOfDay.h"

#include <gtest/gtest.h>

TEST(TimeOfDay, SecondsDayCharsAndFormatting) {
    EXPECT_EQ(tod::seconds(8, 5, 0), 29100);
    EXPECT_EQ(tod::seconds(QTime(23, 59, 59)), 86399);
    EXPECT_EQ(tod::weekdayField(1), "周一");
    EXPECT_EQ(tod::weekdayField(7), "周日");
    EXPECT_EQ(tod::dayChar(6), "六");
    EXPECT_TRUE(tod::dayChar(0).isEmpty());
    EXPECT_EQ(tod::hms(QTime(7, 5, 3)), "07:05:03");
    EXPECT_EQ(tod::hms(QTime(23, 0, 0)), "23:00:00");
}
