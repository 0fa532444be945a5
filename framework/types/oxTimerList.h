// oxTimerList_c: a component's timers, an owning list identified by timer ID, with a running
// flag of its own. Timers advance only through the list's tick, and only while it runs.
#pragma once
#include "framework/types/oxPtrList.h"
#include "framework/types/oxTimer.h"

struct oxTimerListTraits {
    static constexpr const char* source = oxTimerSource;
    static constexpr std::uint32_t atLine = 207;
    static constexpr std::uint32_t assignArrayLine = 231;
    static constexpr std::uint32_t assignElementLine = 238;
    static constexpr std::uint32_t removeLine = 265;
    static constexpr std::uint32_t addArrayLine = 302;
    static constexpr std::uint32_t addElementLine = 308;
    // Timers are the same when their IDs are.
    static bool equal(const oxTimer_c& a, const oxTimer_c& b) noexcept { return a.id == b.id; }
};

// Field order: running flag, count, items.
struct oxTimerListStorage {
    bool running_ = false;
    std::uint32_t count_ = 0;
    oxTimer_c** items_ = nullptr;
};

class oxTimerList_c : public oxPtrList_c<oxTimer_c, oxTimerListTraits, oxTimerListStorage> {
  public:
    // Empty and stopped.
    oxTimerList_c() noexcept = default;
    // Copies of the other's timers; the copy starts stopped.
    oxTimerList_c(const oxTimerList_c& other) : oxPtrList_c(other) {}
    oxTimerList_c& operator=(const oxTimerList_c& other) {
        assign(other);
        return *this;
    }

    void start() noexcept { running_ = true; }
    void stop() noexcept { running_ = false; }
    bool isRunning() const noexcept { return running_; }

    // The first timer with the ID; throws oxInvalidIndex_c when there is none.
    oxTimer_c* find(std::uint32_t id) const;
    // Position of the first timer with the ID; throws oxInvalidIndex_c when there is none.
    std::uint32_t indexOf(std::uint32_t id) const;
    bool contains(std::uint32_t id) const;

    // add, remove and assign stop the list while they change it and restart it only when they
    // complete: after a throw the list is left stopped.

    // Stores a copy unless a timer with the same ID is present (then the flag is untouched).
    void add(const oxTimer_c& timer);
    // Deletes the timer with the same ID, if any.
    void remove(const oxTimer_c& timer);
    // Replaces every timer with copies of the other's; assigning a list to itself keeps them.
    void assign(const oxTimerList_c& other);

    // Reloads every timer.
    void reload() noexcept;
    // While the list runs, ticks every timer from position 0 on. A callback may add or remove
    // other timers of the list; it must not remove or replace the timer that is firing.
    void tick();

  private:
    // Bulk operations would bypass the running-flag handling; the list does not offer them.
    using oxPtrList_c::addAll;
    using oxPtrList_c::removeAll;
};
