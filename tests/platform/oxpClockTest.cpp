#include "platform/oxpClock.h"
#include <ctime>
#include <gtest/gtest.h>
#include <tuple>

namespace {

auto fields(const oxp::LocalTime& t) {
    return std::tuple(t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second,
                      t.milliseconds);
}

TEST(Clock, TheSeamFixesTimeAndBiasUntilReleased) {
    const oxp::LocalTime fixed{2001, 2, 6, 3, 4, 5, 6, 789};
    oxp::seam::fixClock(fixed, -60);
    EXPECT_EQ(fields(oxp::localTime()), fields(fixed));
    EXPECT_EQ(oxp::timeZoneBias(), -60);
    oxp::seam::unfixClock();
    EXPECT_NE(oxp::localTime().year, 2001);
}

TEST(Clock, TheRealClockAgreesWithTheCLibrary) {
    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);
    const oxp::LocalTime t = oxp::localTime();
    EXPECT_EQ(std::tuple(t.year, t.month, t.day, t.dayOfWeek),
              std::tuple(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_wday));
    EXPECT_TRUE(t.milliseconds < 1000 && t.second <= 59);
    EXPECT_EQ(oxp::timeZoneBias(), -static_cast<std::int32_t>(local.tm_gmtoff / 60));
}

} // namespace
