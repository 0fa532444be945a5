// Waiting on a 32-bit word until another thread changes it (WaitOnAddress and
// WakeByAddressSingle): the slow path of a lock that keeps its state in one word.
#pragma once
#include <atomic>
#include <cstdint>

namespace oxp {
// Returns once word no longer holds value, or after a wake; it may also return early, so the
// caller looks at the word again. A short spin comes first: a holder on another processor
// usually lets go sooner than a sleep and a wake would take.
void waitOnAddress(const std::atomic<std::uint32_t>& word, std::uint32_t value) noexcept;
// Wakes one thread waiting on word, if any.
void wakeByAddressSingle(std::atomic<std::uint32_t>& word) noexcept;
} // namespace oxp
