// oxTimer_c: a periodic or one-shot countdown that calls a function of its component.
// It measures no time itself: each tick stands for one second of the caller's clock.
#pragma once
#include <cstdint>

// Source name of the timers in their raise sites.
inline constexpr const char* oxTimerSource = "..\\..\\oxtimer";

class oxTimer_c {
  public:
    using Callback = void (*)(std::uint32_t argument);

    // Units of the interval.
    enum Unit : std::uint32_t { days = 0, hours = 1, minutes = 2, seconds = 3, weeks = 4 };

    // Stopped, periodic; period and remaining are interval x seconds per unit.
    oxTimer_c(std::uint32_t id, std::int64_t interval, std::uint32_t unit, Callback callback,
              std::uint32_t callbackArgument);

    void start() noexcept { running = true; }
    void stop() noexcept { running = false; }
    bool isRunning() const noexcept { return running; }

    // Recomputes period and remaining; a unit above weeks changes nothing.
    void setUnit(std::uint32_t newUnit) noexcept;
    // Stores the interval (0 or less counts as 1) and recomputes period and remaining.
    void setInterval(std::int64_t newInterval) noexcept;
    void configure(std::uint32_t newUnit, std::int64_t newInterval) noexcept;
    void reload() noexcept { remaining = static_cast<std::int64_t>(period); }
    // Counts down one tick and fires when the count reaches 0.
    void tick();

    // A plain record: copies are bitwise, callback and running flag included. A component
    // may set oneShot directly; no operation does.
    bool running = false;
    std::uint64_t tickLength = 1000; // milliseconds per tick; carried along, never read
    std::int64_t remaining = 0;
    std::uint64_t period = 0;
    std::uint32_t id = 0;
    bool oneShot = false;
    std::int64_t interval = 1;
    Callback callback = nullptr;
    std::uint32_t callbackArgument = 0;
    std::uint32_t unit = 0;
};
