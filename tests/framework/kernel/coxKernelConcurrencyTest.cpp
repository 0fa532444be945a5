// The busy guard from several threads: it excludes and wakes waiters, and a poll blocked in the
// provider holds back guarded requests, start and stop while unguarded requests answer at once.
#include "coxKernelFixture.h"
#include "framework/kernel/coxBusyGuard.h"
#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(coxBusyGuard, ExcludesOtherThreadsWakesThemAndScopesRelease) {
    coxBusyGuard_c guard;
    guard.release(); // releasing a free guard does nothing
    std::uint32_t counter = 0; // plain on purpose: only the guard protects it
    guard.take();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 5000; ++i) {
                const coxBusyScope_c scope(guard);
                ++counter;
            }
        });
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(counter, 0u) << "every thread waits for the holder";
    guard.release();
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(counter, 20000u);
    EXPECT_EQ(guard.value(), 0u);
}

TEST_F(coxKernelTest, GuardedOperationsWaitForAPollThatHoldsTheGuard) {
    writeMif();
    make();
    std::atomic<bool> hold{true}, held{false};
    sp.slot[coxSlotDeleteComponent].effect = [&](const oxRecordedCall&) {
        held = true;
        while (hold)
            std::this_thread::sleep_for(1ms);
    };
    std::thread poller([&] { kernel->poll(); });
    for (int i = 0; i < 5000 && !held; ++i)
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(held.load());
    std::atomic<int> finished{0};
    std::thread waiting([&] {
        oxAttribValue_c value(1);
        oxKey_c key;
        std::uint32_t group = coxIdGroup, result = 0;
        kernel->getAttribute(value, &group, key, 0, 0, &result);
        kernel->start(&result);
        ++finished;
    });
    oxAttribValue_c value(1);
    oxKey_c key;
    std::uint32_t group = coxIdGroup, result = 0;
    EXPECT_FALSE(kernel->getAttributeUnguarded(value, &group, key, 0, 0, &result));
    EXPECT_EQ(result, 0x7005u);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(finished.load(), 0);
    EXPECT_EQ(kernel->busyGuard(), 1u);
    hold = false;
    poller.join();
    waiting.join();
    EXPECT_EQ(finished.load(), 1);
    EXPECT_EQ(kernel->busyGuard(), 0u);
}

} // namespace
