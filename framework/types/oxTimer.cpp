#include "framework/types/oxTimer.h"

namespace {
// Seconds per unit, indexed by oxTimer_c::Unit.
constexpr std::uint64_t secondsPerUnit[] = {24 * 60 * 60, 60 * 60, 60, 1, 7 * 24 * 60 * 60};
constexpr std::uint32_t unitCount = sizeof(secondsPerUnit) / sizeof(secondsPerUnit[0]);
} // namespace

oxTimer_c::oxTimer_c(std::uint32_t id_, std::int64_t interval_, std::uint32_t unit_,
                     Callback callback_, std::uint32_t callbackArgument_)
    : id(id_), interval(interval_), callback(callback_), callbackArgument(callbackArgument_),
      unit(unit_) {
    configure(unit_, interval_);
}

void oxTimer_c::setUnit(std::uint32_t newUnit) noexcept {
    const bool wasRunning = running;
    stop();
    if (newUnit < unitCount) {
        // Unsigned 64-bit product: a huge interval wraps instead of overflowing.
        period = static_cast<std::uint64_t>(interval) * secondsPerUnit[newUnit];
        remaining = static_cast<std::int64_t>(period);
        unit = newUnit;
    }
    running = wasRunning;
}

void oxTimer_c::setInterval(std::int64_t newInterval) noexcept {
    const bool wasRunning = running;
    stop();
    interval = newInterval > 0 ? newInterval : 1;
    setUnit(unit);
    running = wasRunning;
}

void oxTimer_c::configure(std::uint32_t newUnit, std::int64_t newInterval) noexcept {
    setUnit(newUnit);
    setInterval(newInterval);
}

// Only a running timer counts down or fires. A stopped timer whose count stands at 0 (one
// built with an unknown unit, or stopped right after a one-shot fired) stays silent until it
// is started: a stopped timer never calls its component.
void oxTimer_c::tick() {
    if (!running)
        return;
    --remaining;
    if (remaining != 0)
        return;
    if (callback)
        callback(callbackArgument);
    if (!oneShot)
        reload();
}
