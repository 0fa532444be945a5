// The backend's half of the clock: the system's local time and bias from one reading (the C
// library's clock_gettime and localtime_r, or GetLocalTime and GetTimeZoneInformation). The
// seam that fixes the clock is portable (oxpClock.cpp).
#pragma once
#include "platform/oxpClock.h"

namespace oxp::systemClock {
// Zero fields and bias 0 when the system cannot tell the time.
LocalTimeAndBias now() noexcept;
} // namespace oxp::systemClock
