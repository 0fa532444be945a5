// fsMount: one mounted file system, as /proc/self/mounts names it and statvfs measures it.
// Read afresh on every call, so that each answer describes the machine as it is now.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct fsMount {
    std::string mountPoint;
    std::string device;
    std::string type;
    std::uint64_t size = 0;        // bytes
    std::uint64_t free = 0;        // bytes an unprivileged user may still write
    std::uint32_t usedPercent = 0; // as df counts it: used / (used + free), rounded up
};

// The mount table, one entry per mount point in mount order; a mount point mounted over keeps
// its first place and names the top mount, the one statvfs answers for. Not measured.
std::vector<fsMount> fsListMounts();

// Fills in size, free and usedPercent; false when statvfs does not answer for the mount point.
bool fsMeasure(fsMount& mount);

// The mount table without the file systems statvfs does not answer for, measured.
std::vector<fsMount> fsMountedFileSystems();

// One mount point's entry, measured; none when it is no longer mounted or cannot be measured.
std::optional<fsMount> fsFindMount(const std::string& mountPoint);
