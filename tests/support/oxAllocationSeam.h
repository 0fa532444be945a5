// Test helpers around the platform's allocation seam.
#pragma once
#include "platform/oxpMemory.h"
#include <cstdint>

// Makes the k-th allocation from now fail while it lives (every one after it too, if asked).
struct oxFailAllocation {
    explicit oxFailAllocation(std::uint32_t k, bool every = false) {
        oxp::seam::failAllocation(k, every);
    }
    ~oxFailAllocation() { oxp::seam::clearAllocationFailure(); }
    // Whether the planned failure happened.
    bool reached() const { return !oxp::seam::allocationFailurePending(); }
    oxFailAllocation(const oxFailAllocation&) = delete;
    oxFailAllocation& operator=(const oxFailAllocation&) = delete;
};

// Remembers the live-allocation count; leaked() tells how many blocks appeared since.
struct oxLiveAllocations {
    std::int64_t start_ = oxp::seam::liveAllocations();
    std::int64_t leaked() const { return oxp::seam::liveAllocations() - start_; }
};
