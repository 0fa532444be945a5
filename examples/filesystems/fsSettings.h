// fsSettings: the component's start values, from the optional file fsComp.conf in the
// instrumentation directory: lines "threshold = 90" and "period = 10" (seconds), '#' comments.
// A missing file leaves the defaults; a line it cannot use is named on standard error.
#pragma once
#include <cstdint>
#include <string>

struct fsSettings {
    std::uint32_t threshold = 90; // percent, 0 to 100
    std::uint32_t period = 10;    // seconds between checks, at least 1

    static constexpr const char* fileName = "fsComp.conf";
    static fsSettings read(const std::string& path);
};
