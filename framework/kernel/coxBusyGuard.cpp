#include "framework/kernel/coxBusyGuard.h"
#include "platform/oxpAddressWait.h"

// A taker that finds the guard held counts itself as waiting before it sleeps; a release wakes
// one sleeper, and only when someone waits, so the uncontended path makes no system call. The
// count is raised before the sleeper looks at the counter again, so a release that sees no
// waiter happened before that look, which then finds the guard free: no wake is lost.
void coxBusyGuard_c::take() noexcept {
    std::uint32_t expected = 0;
    if (counter_.compare_exchange_strong(expected, 1, std::memory_order_acquire,
                                         std::memory_order_relaxed))
        return;
    waiters_.fetch_add(1);
    for (;;) {
        expected = 0;
        if (counter_.compare_exchange_weak(expected, 1)) {
            waiters_.fetch_sub(1, std::memory_order_relaxed);
            return;
        }
        if (expected != 0)
            oxp::waitOnAddress(counter_, expected); // spins briefly, then sleeps until a release
    }
}

void coxBusyGuard_c::release() noexcept {
    if (counter_.exchange(0) != 0 && waiters_.load() != 0)
        oxp::wakeByAddressSingle(counter_);
}
