// Local time and time-zone bias from the C library.
#include "platform/oxpSystemClock.h"
#include <ctime>

namespace {
// The current local time as broken-down fields and its sub-second part.
bool nowLocal(std::tm& fields, long& nanoseconds) noexcept {
    timespec now{};
    if (clock_gettime(CLOCK_REALTIME, &now) != 0)
        return false;
    nanoseconds = now.tv_nsec;
    return localtime_r(&now.tv_sec, &fields) != nullptr;
}
} // namespace

namespace oxp::systemClock {

LocalTime localTime() noexcept {
    std::tm fields{};
    long nanoseconds = 0;
    if (!nowLocal(fields, nanoseconds))
        return LocalTime{};
    LocalTime t{};
    t.year = static_cast<std::uint16_t>(fields.tm_year + 1900);
    t.month = static_cast<std::uint16_t>(fields.tm_mon + 1);
    t.dayOfWeek = static_cast<std::uint16_t>(fields.tm_wday);
    t.day = static_cast<std::uint16_t>(fields.tm_mday);
    t.hour = static_cast<std::uint16_t>(fields.tm_hour);
    t.minute = static_cast<std::uint16_t>(fields.tm_min);
    // A leap second (60) is shown as the last second of the minute, as Windows never shows 60.
    t.second = static_cast<std::uint16_t>(fields.tm_sec > 59 ? 59 : fields.tm_sec);
    t.milliseconds = static_cast<std::uint16_t>(nanoseconds / 1000000);
    return t;
}

std::int32_t timeZoneBias() noexcept {
    std::tm fields{};
    long nanoseconds = 0;
    if (!nowLocal(fields, nanoseconds))
        return 0;
    // tm_gmtoff is seconds east of UTC, daylight saving included; the bias is the minutes to
    // add to the local time now shown to get UTC.
    return static_cast<std::int32_t>(-fields.tm_gmtoff / 60);
}

} // namespace oxp::systemClock
