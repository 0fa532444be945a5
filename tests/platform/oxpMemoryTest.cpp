#include "platform/oxpMemory.h"
#include "tests/support/oxAllocationSeam.h"
#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

TEST(Allocation, BlocksAreZeroFilledAndAtLeast32Bytes) {
    for (std::size_t n : {0u, 1u, 31u, 32u, 100u}) {
        auto* p = static_cast<unsigned char*>(oxp::allocate(n));
        ASSERT_NE(p, nullptr) << n;
        for (std::size_t i = 0; i < std::max<std::size_t>(n, 32); ++i)
            EXPECT_EQ(p[i], 0) << "byte " << i << " of " << n;
        p[31] = 1; // the minimum size is writable
        oxp::release(p);
    }
}

TEST(Allocation, LiveCountFollowsAllocateAndReleaseButNotNull) {
    oxLiveAllocations live;
    void* a = oxp::allocate(8);
    void* b = oxp::allocate(8);
    EXPECT_EQ(live.leaked(), 2);
    oxp::release(a);
    oxp::release(nullptr);
    EXPECT_EQ(live.leaked(), 1);
    oxp::release(b);
    EXPECT_EQ(live.leaked(), 0);
}

TEST(AllocationSeam, FailsOnlyTheKthAllocationFromNow) {
    oxLiveAllocations live;
    oxFailAllocation fail(3);
    void* first = oxp::allocate(1);
    void* second = oxp::allocate(1);
    EXPECT_EQ(oxp::allocate(1), nullptr);
    void* fourth = oxp::allocate(1);
    EXPECT_NE(first, nullptr);
    EXPECT_NE(second, nullptr);
    EXPECT_NE(fourth, nullptr);
    EXPECT_EQ(live.leaked(), 3); // the failed one is not counted
    for (void* p : {first, second, fourth})
        oxp::release(p);
}

TEST(AllocationSeam, EveryFailsFromTheKthOnUntilCleared) {
    {
        oxFailAllocation fail(2, true);
        void* first = oxp::allocate(1);
        EXPECT_NE(first, nullptr);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(oxp::allocate(1), nullptr) << i;
        oxp::release(first);
    }
    void* after = oxp::allocate(1);
    EXPECT_NE(after, nullptr);
    oxp::release(after);
}

TEST(AllocationSeam, ANewPlanReplacesTheOldOne) {
    oxp::seam::failAllocation(1, true);
    oxFailAllocation fail(2);
    void* first = oxp::allocate(1);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(oxp::allocate(1), nullptr);
    void* third = oxp::allocate(1);
    EXPECT_NE(third, nullptr);
    oxp::release(first);
    oxp::release(third);
}

TEST(AllocationSeam, CountsStayExactAcrossThreads) {
    oxLiveAllocations live;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 1000; ++i)
                oxp::release(oxp::allocate(16));
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(live.leaked(), 0);
    {
        oxFailAllocation fail(1);
        std::atomic<int> failures{0};
        threads.clear();
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&failures] {
                for (int i = 0; i < 100; ++i) {
                    void* p = oxp::allocate(16);
                    failures += p == nullptr;
                    oxp::release(p);
                }
            });
        for (auto& t : threads)
            t.join();
        EXPECT_EQ(failures.load(), 1); // exactly one allocation fails, whichever thread made it
    }
    EXPECT_EQ(live.leaked(), 0);
}

} // namespace
