// Sleep and wake on a word: a private futex on Linux, the standard library's wait elsewhere.
#include "platform/oxpAddressWaitSystem.h"
#ifdef __linux__
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {
static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t) &&
              std::atomic<std::uint32_t>::is_always_lock_free);
} // namespace

namespace oxp::addressWait {

#ifdef __linux__
// The kernel compares the word with value and sleeps only if they are equal, so a change
// between the caller's look and the sleep is never missed. The standard library's wait spins
// with sched_yield and shares wake-ups among addresses, which costs a contended lock dearly.
void sleep(const std::atomic<std::uint32_t>& word, std::uint32_t value) noexcept {
    syscall(SYS_futex, reinterpret_cast<const std::uint32_t*>(&word), FUTEX_WAIT_PRIVATE, value,
            nullptr, nullptr, 0);
}

void wakeOne(std::atomic<std::uint32_t>& word) noexcept {
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&word), FUTEX_WAKE_PRIVATE, 1, nullptr,
            nullptr, 0);
}
#else
void sleep(const std::atomic<std::uint32_t>& word, std::uint32_t value) noexcept { word.wait(value); }

void wakeOne(std::atomic<std::uint32_t>& word) noexcept { word.notify_one(); }
#endif

} // namespace oxp::addressWait
