// oxDate_c: the current local time as a DMI date, and dates read from day, month and year text.
#include "framework/types/oxDate.h"
#include "platform/oxpClock.h"
#include <array>
#include <cstdio>
#include <cstring>

namespace {
// "00" to "99", so that a field takes one lookup instead of a division per digit.
constexpr std::array<char, 200> digitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// The last two decimal digits of value at p.
void putTwoDigits(char* p, std::uint32_t value) noexcept {
    std::memcpy(p, &digitPairs[2 * (value % 100)], 2);
}

// The last three.
void putThreeDigits(char* p, std::uint32_t value) noexcept {
    p[0] = static_cast<char>('0' + value / 100 % 10);
    putTwoDigits(p + 1, value);
}
} // namespace

oxDate_c::oxDate_c() noexcept {
    const auto [now, zoneBias] = oxp::localTimeAndBias();
    std::memset(bytes_, 0, size);
    putTwoDigits(bytes_ + 0, now.year / 100u);
    putTwoDigits(bytes_ + 2, now.year);
    putTwoDigits(bytes_ + 4, now.month);
    putTwoDigits(bytes_ + 6, now.day);
    putTwoDigits(bytes_ + 8, now.hour);
    putTwoDigits(bytes_ + 10, now.minute);
    putTwoDigits(bytes_ + 12, now.second);
    bytes_[14] = '.';
    putThreeDigits(bytes_ + 18, now.milliseconds);
    // Wide enough to negate the most negative bias.
    const std::int64_t bias = zoneBias;
    bytes_[21] = bias < 0 ? '-' : '+';
    putThreeDigits(bytes_ + 22, static_cast<std::uint32_t>((bias < 0 ? -bias : bias) % 1000));
}

oxDate_c::oxDate_c(const char* text) noexcept {
    std::memset(bytes_, 0, size);
    if (!text)
        return;
    const std::size_t n = std::strlen(text);
    if (n == 19) {
        // hour, minute, second, day, month, year
        std::sscanf(text, "%2c %2c %2c %2c %2c %4c", bytes_ + 8, bytes_ + 10, bytes_ + 12,
                    bytes_ + 6, bytes_ + 4, bytes_ + 0);
    } else if (n == 10) {
        // day, month, year
        std::sscanf(text, "%2c %2c %4c", bytes_ + 6, bytes_ + 4, bytes_ + 0);
    }
    bytes_[14] = '.';
    bytes_[21] = '+';
}

bool oxDate_c::operator==(const oxDate_c& other) const noexcept {
    return std::memcmp(bytes_, other.bytes_, size) == 0;
}
