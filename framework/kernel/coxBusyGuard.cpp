#include "framework/kernel/coxBusyGuard.h"

void coxBusyGuard_c::take() noexcept {
    for (;;) {
        std::uint32_t expected = 0;
        if (counter_.compare_exchange_weak(expected, 1, std::memory_order_acquire,
                                           std::memory_order_relaxed))
            return;
        if (expected != 0)
            counter_.wait(expected, std::memory_order_relaxed); // sleeps until a release
    }
}

void coxBusyGuard_c::release() noexcept {
    if (counter_.exchange(0, std::memory_order_release) != 0)
        counter_.notify_all();
}
