#include "platform/oxpClock.h"
#include <ctime>
#include <gtest/gtest.h>

namespace {

TEST(Clock, TheSeamFixesTimeAndBiasUntilReleased) {
    oxp::LocalTime fixed{2001, 2, 6, 3, 4, 5, 6, 789};
    oxp::seam::fixClock(fixed, -60);
    oxp::LocalTime t = oxp::localTime();
    EXPECT_EQ(t.year, 2001);
    EXPECT_EQ(t.month, 2);
    EXPECT_EQ(t.dayOfWeek, 6);
    EXPECT_EQ(t.day, 3);
    EXPECT_EQ(t.hour, 4);
    EXPECT_EQ(t.minute, 5);
    EXPECT_EQ(t.second, 6);
    EXPECT_EQ(t.milliseconds, 789);
    EXPECT_EQ(oxp::timeZoneBias(), -60);
    oxp::seam::unfixClock();
    EXPECT_NE(oxp::localTime().year, 2001);
}

TEST(Clock, TheRealClockAgreesWithTheCLibrary) {
    std::time_t now = std::time(nullptr);
    std::tm local = *std::localtime(&now);
    oxp::LocalTime t = oxp::localTime();
    EXPECT_EQ(t.year, local.tm_year + 1900);
    EXPECT_EQ(t.month, local.tm_mon + 1);
    EXPECT_EQ(t.day, local.tm_mday);
    EXPECT_EQ(t.dayOfWeek, local.tm_wday);
    EXPECT_LT(t.milliseconds, 1000);
    EXPECT_LE(t.second, 59);
    EXPECT_EQ(oxp::timeZoneBias(), -static_cast<std::int32_t>(local.tm_gmtoff / 60));
}

} // namespace
