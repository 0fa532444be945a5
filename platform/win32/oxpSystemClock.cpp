// Local time and time-zone bias from GetLocalTime and GetTimeZoneInformation.
#include "platform/oxpSystemClock.h"
#include <windows.h>

namespace oxp::systemClock {

LocalTime localTime() noexcept {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return LocalTime{now.wYear,   now.wMonth,  now.wDayOfWeek, now.wDay,
                     now.wHour,   now.wMinute, now.wSecond,    now.wMilliseconds};
}

std::int32_t timeZoneBias() noexcept {
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

} // namespace oxp::systemClock
