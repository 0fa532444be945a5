// Local time and time-zone bias from GetLocalTime and GetTimeZoneInformation, with a seam that
// fixes both.
#include "platform/oxpClock.h"
#include <mutex>
#include <windows.h>

namespace {

struct FixedClock {
    std::mutex lock;
    bool fixed = false;
    oxp::LocalTime time{};
    std::int32_t bias = 0;
};

// Never destroyed: a module's static destructor may still read the clock at exit.
FixedClock& fixedClock() noexcept {
    static FixedClock* clock = new FixedClock;
    return *clock;
}

} // namespace

namespace oxp {

LocalTime localTime() noexcept {
    FixedClock& clock = fixedClock();
    {
        std::lock_guard<std::mutex> hold(clock.lock);
        if (clock.fixed)
            return clock.time;
    }
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return LocalTime{now.wYear,   now.wMonth,  now.wDayOfWeek, now.wDay,
                     now.wHour,   now.wMinute, now.wSecond,    now.wMilliseconds};
}

std::int32_t timeZoneBias() noexcept {
    FixedClock& clock = fixedClock();
    {
        std::lock_guard<std::mutex> hold(clock.lock);
        if (clock.fixed)
            return clock.bias;
    }
    TIME_ZONE_INFORMATION zone{};
    // The bias now in force: standard or daylight time as the zone's rules say.
    switch (GetTimeZoneInformation(&zone)) {
    case TIME_ZONE_ID_STANDARD:
        return static_cast<std::int32_t>(zone.Bias + zone.StandardBias);
    case TIME_ZONE_ID_DAYLIGHT:
        return static_cast<std::int32_t>(zone.Bias + zone.DaylightBias);
    case TIME_ZONE_ID_INVALID:
        return 0;
    default:
        return static_cast<std::int32_t>(zone.Bias);
    }
}

namespace seam {

void fixClock(const LocalTime& time, std::int32_t bias) noexcept {
    FixedClock& clock = fixedClock();
    std::lock_guard<std::mutex> hold(clock.lock);
    clock.fixed = true;
    clock.time = time;
    clock.bias = bias;
}

void unfixClock() noexcept {
    FixedClock& clock = fixedClock();
    std::lock_guard<std::mutex> hold(clock.lock);
    clock.fixed = false;
}

} // namespace seam
} // namespace oxp
