// Sleep and wake on a word over WaitOnAddress and WakeByAddressSingle.
#include "platform/oxpAddressWaitSystem.h"
#include <windows.h>

namespace oxp::addressWait {

// The system compares the word with value and sleeps only if they are equal.
void sleep(const std::atomic<std::uint32_t>& word, std::uint32_t value) noexcept {
    WaitOnAddress(const_cast<std::atomic<std::uint32_t>*>(&word), &value, sizeof value, INFINITE);
}

void wakeOne(std::atomic<std::uint32_t>& word) noexcept { WakeByAddressSingle(&word); }

} // namespace oxp::addressWait
