// Local time and time-zone bias.
#pragma once
#include <cstdint>

namespace oxp {

// SYSTEMTIME.
struct LocalTime {
    std::uint16_t year;
    std::uint16_t month; // 1-12
    std::uint16_t dayOfWeek; // 0 = Sunday
    std::uint16_t day;
    std::uint16_t hour;
    std::uint16_t minute;
    std::uint16_t second;
    std::uint16_t milliseconds;
};

// The local time and the bias in force at that same instant.
struct LocalTimeAndBias {
    LocalTime time;
    std::int32_t bias;
};

// GetLocalTime.
LocalTime localTime() noexcept;

// GetTimeZoneInformation's Bias: minutes to add to local time to get UTC (UTC+1 gives -60).
std::int32_t timeZoneBias() noexcept;

// Both from one reading of the clock. The real clock takes no lock and is converted to local
// time at most once a second per thread, so a change of time zone (TZ and tzset, or the
// system's settings) shows from the next second on.
LocalTimeAndBias localTimeAndBias() noexcept;

namespace seam {
// Fix the clock for tests; unfixClock() returns to the real one.
void fixClock(const LocalTime& time, std::int32_t bias) noexcept;
void unfixClock() noexcept;
} // namespace seam

} // namespace oxp
