#include "platform/oxpMemory.h"
#include "tests/support/oxAllocationSeam.h"
#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

TEST(Allocation, BlocksAreZeroFilledAtLeast32BytesAndCountedWhileLive) {
    oxLiveAllocations live;
    for (std::size_t n : {0u, 1u, 31u, 32u, 100u}) {
        auto* p = static_cast<unsigned char*>(oxp::allocate(n));
        ASSERT_NE(p, nullptr) << n;
        for (std::size_t i = 0; i < std::max<std::size_t>(n, 32); ++i)
            EXPECT_EQ(p[i], 0) << "byte " << i << " of " << n;
        p[31] = 1; // the minimum size is writable
        EXPECT_EQ(live.leaked(), 1);
        oxp::release(p);
        oxp::release(nullptr);
        EXPECT_EQ(live.leaked(), 0);
    }
}

// Allocations 1..n from now under a plan: which ones fail.
std::vector<bool> failures(int n) {
    std::vector<bool> failed;
    std::vector<void*> made;
    for (int i = 0; i < n; ++i) {
        made.push_back(oxp::allocate(1));
        failed.push_back(made.back() == nullptr);
    }
    for (void* p : made)
        oxp::release(p);
    return failed;
}

TEST(AllocationSeam, FailsTheKthFromNowOrEveryOneFromItUntilCleared) {
    oxLiveAllocations live;
    {
        oxFailAllocation fail(3);
        EXPECT_EQ(failures(5), (std::vector<bool>{false, false, true, false, false}));
    }
    {
        oxFailAllocation fail(2, true);
        EXPECT_EQ(failures(5), (std::vector<bool>{false, true, true, true, true}));
    }
    EXPECT_EQ(failures(3), (std::vector<bool>(3, false)));
    oxp::seam::failAllocation(1, true);
    oxFailAllocation fail(2); // a new plan replaces the old one
    EXPECT_EQ(failures(3), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(live.leaked(), 0); // failed ones are never counted
}

TEST(AllocationSeam, CountsStayExactAcrossThreads) {
    oxLiveAllocations live;
    std::atomic<int> failed{0};
    const auto hammer = [&failed] {
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&failed] {
                for (int i = 0; i < 500; ++i) {
                    void* p = oxp::allocate(16);
                    failed += p == nullptr;
                    oxp::release(p);
                }
            });
        for (auto& t : threads)
            t.join();
    };
    hammer();
    EXPECT_EQ(failed.load(), 0);
    {
        oxFailAllocation fail(1);
        hammer();
    }
    EXPECT_EQ(failed.load(), 1); // exactly one allocation fails, whichever thread made it
    EXPECT_EQ(live.leaked(), 0);
}

} // namespace
