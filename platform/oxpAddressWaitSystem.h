// The backend's half of waiting on a word: the system's sleep and wake (a private futex on
// Linux, WaitOnAddress on Windows). The spin before the sleep is portable (oxpAddressWait.cpp).
#pragma once
#include <atomic>
#include <cstdint>

namespace oxp::addressWait {
void sleep(const std::atomic<std::uint32_t>& word, std::uint32_t value) noexcept;
void wakeOne(std::atomic<std::uint32_t>& word) noexcept;
} // namespace oxp::addressWait
