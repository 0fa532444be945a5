// oxSpProcess: a process as the provider records it as a component's owner. The process ID
// alone is not enough: IDs are reused, so the process's start time (clock ticks after boot,
// field 22 of /proc/<pid>/stat) goes with it. Read from /proc; where /proc cannot be read the
// identity is unknown (0, 0) and a component of an unknown owner counts as a leftover.
#pragma once
#include <cstdint>

struct oxSpProcess {
    std::int64_t pid = 0; // 0: unknown
    std::int64_t start = 0;

    // This process.
    static oxSpProcess current();
    // The process that runs under that ID now; unknown when none does.
    static oxSpProcess withId(std::int64_t pid);
    // True while a process of this ID and start time runs (a zombie does not).
    bool isRunning() const;

    bool operator==(const oxSpProcess&) const = default;
};
