// The spin before sleeping on a word; the sleep and the wake are the backend's.
#include "platform/oxpAddressWait.h"
#include "platform/oxpAddressWaitSystem.h"

namespace {

// Long enough to cover a short critical section on another processor (a few hundred
// nanoseconds), short against a sleep and a wake (microseconds).
constexpr int spinRounds = 200;

inline void relax() noexcept {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

} // namespace

namespace oxp {

void waitOnAddress(const std::atomic<std::uint32_t>& word, std::uint32_t value) noexcept {
    for (int round = 0; round < spinRounds; ++round) {
        if (word.load(std::memory_order_relaxed) != value)
            return;
        relax();
    }
    addressWait::sleep(word, value);
}

void wakeByAddressSingle(std::atomic<std::uint32_t>& word) noexcept { addressWait::wakeOne(word); }

} // namespace oxp
