// Local time from GetLocalTime and time-zone bias from GetTimeZoneInformation, the bias read
// once a second per thread.
#include "platform/oxpSystemClock.h"
#include <windows.h>

namespace {

// The bias this thread last read, with the local second and the tick count it was read at. The
// bias changes only on a whole second, where the local time jumps; a local second can come
// twice (when daylight saving time ends), but an hour apart, never within a second of ticks.
struct ZoneSecond {
    bool valid;
    SYSTEMTIME at;
    DWORD tick;
    std::int32_t bias;
};
thread_local ZoneSecond zone{};

bool sameSecond(const SYSTEMTIME& a, const SYSTEMTIME& b) noexcept {
    return a.wSecond == b.wSecond && a.wMinute == b.wMinute && a.wHour == b.wHour &&
           a.wDay == b.wDay && a.wMonth == b.wMonth && a.wYear == b.wYear;
}

std::int32_t biasInForce() noexcept {
    TIME_ZONE_INFORMATION info{};
    // Standard or daylight time as the zone's rules say.
    switch (GetTimeZoneInformation(&info)) {
    case TIME_ZONE_ID_STANDARD:
        return static_cast<std::int32_t>(info.Bias + info.StandardBias);
    case TIME_ZONE_ID_DAYLIGHT:
        return static_cast<std::int32_t>(info.Bias + info.DaylightBias);
    case TIME_ZONE_ID_INVALID:
        return 0;
    default:
        return static_cast<std::int32_t>(info.Bias);
    }
}

} // namespace

namespace oxp::systemClock {

LocalTimeAndBias now() noexcept {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const DWORD tick = GetTickCount(); // wraps after 49 days: the difference stays right
    ZoneSecond& last = zone;
    if (!last.valid || !sameSecond(last.at, now) || tick - last.tick >= 1000)
        last = ZoneSecond{true, now, tick, biasInForce()};
    return LocalTimeAndBias{LocalTime{now.wYear, now.wMonth, now.wDayOfWeek, now.wDay, now.wHour,
                                      now.wMinute, now.wSecond, now.wMilliseconds},
                            last.bias};
}

} // namespace oxp::systemClock
