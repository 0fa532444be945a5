// Local time and time-zone bias from the C library, with a seam that fixes both.
#include "platform/oxpClock.h"
#include <ctime>
#include <mutex>

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

// The current local time as broken-down fields and its sub-second part.
bool nowLocal(std::tm& fields, long& nanoseconds) noexcept {
    timespec now{};
    if (clock_gettime(CLOCK_REALTIME, &now) != 0)
        return false;
    nanoseconds = now.tv_nsec;
    return localtime_r(&now.tv_sec, &fields) != nullptr;
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
    FixedClock& clock = fixedClock();
    {
        std::lock_guard<std::mutex> hold(clock.lock);
        if (clock.fixed)
            return clock.bias;
    }
    std::tm fields{};
    long nanoseconds = 0;
    if (!nowLocal(fields, nanoseconds))
        return 0;
    // tm_gmtoff is seconds east of UTC, daylight saving included; the bias is the minutes to
    // add to the local time now shown to get UTC.
    return static_cast<std::int32_t>(-fields.tm_gmtoff / 60);
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
