// Local time and time-zone bias from the C library, converted once a second per thread.
#include "platform/oxpSystemClock.h"
#include <ctime>

namespace {

// The UTC second this thread last converted, as local fields (milliseconds 0) and bias. Within
// one second only the milliseconds move, and the offset from UTC changes only on a whole second.
struct ConvertedSecond {
    bool valid;
    std::time_t second;
    oxp::LocalTimeAndBias local;
};
thread_local ConvertedSecond converted{};

bool convert(std::time_t second, oxp::LocalTimeAndBias& local) noexcept {
    std::tm fields{};
    if (!localtime_r(&second, &fields))
        return false;
    oxp::LocalTime& t = local.time;
    t.year = static_cast<std::uint16_t>(fields.tm_year + 1900);
    t.month = static_cast<std::uint16_t>(fields.tm_mon + 1);
    t.dayOfWeek = static_cast<std::uint16_t>(fields.tm_wday);
    t.day = static_cast<std::uint16_t>(fields.tm_mday);
    t.hour = static_cast<std::uint16_t>(fields.tm_hour);
    t.minute = static_cast<std::uint16_t>(fields.tm_min);
    // A leap second (60) is shown as the last second of the minute, as Windows never shows 60.
    t.second = static_cast<std::uint16_t>(fields.tm_sec > 59 ? 59 : fields.tm_sec);
    t.milliseconds = 0;
    // tm_gmtoff is seconds east of UTC, daylight saving included; the bias is the minutes to
    // add to the local time now shown to get UTC.
    local.bias = static_cast<std::int32_t>(-fields.tm_gmtoff / 60);
    return true;
}

} // namespace

namespace oxp::systemClock {

// The coarse clock moves once per system tick (a few milliseconds), as GetLocalTime does on
// Windows, and costs a fraction of the precise one, which every current-time value would pay.
LocalTimeAndBias now() noexcept {
    timespec now{};
    if (clock_gettime(CLOCK_REALTIME_COARSE, &now) != 0)
        return LocalTimeAndBias{};
    ConvertedSecond& last = converted;
    if (!last.valid || last.second != now.tv_sec) {
        last.second = now.tv_sec;
        last.valid = convert(now.tv_sec, last.local);
        if (!last.valid)
            return LocalTimeAndBias{};
    }
    LocalTimeAndBias result = last.local;
    result.time.milliseconds = static_cast<std::uint16_t>(now.tv_nsec / 1000000);
    return result;
}

} // namespace oxp::systemClock
