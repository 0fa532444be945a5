#include "framework/types/oxDate.h"
#include "platform/oxpClock.h"
#include <cstdio>
#include <cstring>

namespace {
// The last `width` decimal digits of value at p, then a zero byte (as "%0<width>d" writes a
// value that fits).
void putDigits(char* p, std::uint32_t value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        p[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    p[width] = 0;
}
} // namespace

oxDate_c::oxDate_c() noexcept {
    const oxp::LocalTime now = oxp::localTime();
    std::int64_t bias = oxp::timeZoneBias();
    std::memset(bytes_, 0, size);
    putDigits(bytes_ + 0, now.year, 4);
    putDigits(bytes_ + 4, now.month, 2);
    putDigits(bytes_ + 6, now.day, 2);
    putDigits(bytes_ + 8, now.hour, 2);
    putDigits(bytes_ + 10, now.minute, 2);
    putDigits(bytes_ + 12, now.second, 2);
    putDigits(bytes_ + 18, now.milliseconds, 3);
    bytes_[14] = '.';
    bytes_[21] = '+';
    if (bias < 0) {
        bytes_[21] = '-';
        bias = -bias;
    }
    putDigits(bytes_ + 22, static_cast<std::uint32_t>(bias % 1000), 3);
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
