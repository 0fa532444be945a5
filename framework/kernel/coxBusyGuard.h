// coxBusyGuard_c: the kernel's busy guard. Taking it waits while it is held and then holds it;
// the test and the set are one atomic step. It is not re-entrant: a thread that takes it twice
// waits for itself. Releasing a free guard does nothing.
#pragma once
#include <atomic>
#include <cstdint>

class coxBusyGuard_c {
  public:
    void take() noexcept;
    void release() noexcept;
    // The counter: 0 free, 1 held.
    std::uint32_t value() const noexcept { return counter_.load(std::memory_order_acquire); }

  private:
    std::atomic<std::uint32_t> counter_{0};
    std::atomic<std::uint32_t> waiters_{0}; // takers asleep or about to sleep
};

// Holds the guard for a scope, so that every path out of a guarded operation releases it.
class coxBusyScope_c {
  public:
    explicit coxBusyScope_c(coxBusyGuard_c& guard) noexcept : guard_(guard) { guard_.take(); }
    ~coxBusyScope_c() { guard_.release(); }
    coxBusyScope_c(const coxBusyScope_c&) = delete;
    coxBusyScope_c& operator=(const coxBusyScope_c&) = delete;

  private:
    coxBusyGuard_c& guard_;
};
