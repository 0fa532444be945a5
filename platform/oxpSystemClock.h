// The backend's half of the clock: the system's local time and bias (the C library's
// clock_gettime and localtime_r, or GetLocalTime and GetTimeZoneInformation). The seam that
// fixes the clock is portable (oxpClock.cpp).
#pragma once
#include "platform/oxpClock.h"

namespace oxp::systemClock {
LocalTime localTime() noexcept;       // zero fields when the system cannot tell the time
std::int32_t timeZoneBias() noexcept; // 0 when the system cannot tell it
} // namespace oxp::systemClock
