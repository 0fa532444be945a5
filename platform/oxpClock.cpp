// Local time and time-zone bias over the backend's clock, with a seam that fixes both, the same
// on every system.
#include "platform/oxpClock.h"
#include "platform/oxpSystemClock.h"
#include <atomic>
#include <mutex>

namespace {

// The flag alone is read first, so the real clock costs no lock; the fixed values are read
// under the lock.
struct FixedClock {
    std::atomic<bool> fixed{false};
    std::mutex lock;
    oxp::LocalTimeAndBias value{};
};

// Never destroyed: a module's static destructor may still read the clock at exit.
FixedClock& fixedClock() noexcept {
    static FixedClock* clock = new FixedClock;
    return *clock;
}

} // namespace

namespace oxp {

LocalTimeAndBias localTimeAndBias() noexcept {
    FixedClock& clock = fixedClock();
    if (clock.fixed.load(std::memory_order_acquire)) {
        std::lock_guard<std::mutex> hold(clock.lock);
        if (clock.fixed.load(std::memory_order_relaxed))
            return clock.value;
    }
    return systemClock::now();
}

LocalTime localTime() noexcept { return localTimeAndBias().time; }

std::int32_t timeZoneBias() noexcept { return localTimeAndBias().bias; }

namespace seam {

void fixClock(const LocalTime& time, std::int32_t bias) noexcept {
    FixedClock& clock = fixedClock();
    std::lock_guard<std::mutex> hold(clock.lock);
    clock.value = LocalTimeAndBias{time, bias};
    clock.fixed.store(true, std::memory_order_release);
}

void unfixClock() noexcept {
    FixedClock& clock = fixedClock();
    std::lock_guard<std::mutex> hold(clock.lock);
    clock.fixed.store(false, std::memory_order_release);
}

} // namespace seam
} // namespace oxp
