// Local time and time-zone bias over the backend's clock, with a seam that fixes both, the same
// on every system.
#include "platform/oxpClock.h"
#include "platform/oxpSystemClock.h"
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

} // namespace

namespace oxp {

LocalTime localTime() noexcept {
    FixedClock& clock = fixedClock();
    {
        std::lock_guard<std::mutex> hold(clock.lock);
        if (clock.fixed)
            return clock.time;
    }
    return systemClock::localTime();
}

std::int32_t timeZoneBias() noexcept {
    FixedClock& clock = fixedClock();
    {
        std::lock_guard<std::mutex> hold(clock.lock);
        if (clock.fixed)
            return clock.bias;
    }
    return systemClock::timeZoneBias();
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
