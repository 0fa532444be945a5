// The busy guard on its own, and the kernel's guarded operations from several threads: they
// wait for each other, while unguarded requests and proxies do not.
#include "coxKernelFixture.h"
#include "framework/kernel/coxBusyGuard.h"
#include "framework/kernel/coxGroupProxy.h"
#include <stdexcept>
#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(coxBusyGuard, HoldsUntilReleasedExcludesOtherThreadsAndScopesReleaseOnExceptions) {
    coxBusyGuard_c guard;
    guard.release(); // releasing a free guard does nothing
    EXPECT_THROW(
        {
            const coxBusyScope_c scope(guard);
            EXPECT_EQ(guard.value(), 1u);
            throw std::runtime_error("leaving");
        },
        std::runtime_error);
    EXPECT_EQ(guard.value(), 0u);
    std::uint32_t counter = 0; // plain on purpose: only the guard protects it
    std::atomic<std::uint32_t> inside{0}, most{0};
    guard.take();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 5000; ++i) {
                const coxBusyScope_c scope(guard);
                most = std::max(most.load(), ++inside);
                ++counter;
                --inside;
            }
        });
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(counter, 0u); // every thread waits for the holder
    guard.release();
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(counter, 20000u);
    EXPECT_EQ(most.load(), 1u);
    EXPECT_EQ(guard.value(), 0u);
}

// A poll whose provider call does not return holds the guard; start, stop and the guarded
// requests wait for it, the unguarded requests and the proxies answer at once.
TEST_F(coxKernelConcurrencyTest, GuardedOperationsWaitForTheHolderAndUnguardedOnesDoNot) {
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
    std::vector<std::thread> waiting;
    for (const coxHandler handler : {&coxKernel_c::getAttribute, &coxKernel_c::setAttribute})
        waiting.emplace_back([&, handler] {
            oxAttribValue_c value(1);
            oxKey_c key;
            std::uint32_t group = coxIdGroup, result = 0;
            (kernel.get()->*handler)(value, &group, key, 0, 0, &result);
            ++finished;
        });
    waiting.emplace_back([&] {
        std::uint32_t result = 0;
        kernel->start(&result);
        kernel->stop(&result);
        ++finished;
    });
    oxAttribValue_c value(1);
    oxKey_c key;
    std::uint32_t group = coxIdGroup, result = 0;
    EXPECT_FALSE(kernel->getAttributeUnguarded(value, &group, key, 0, 0, &result));
    EXPECT_EQ(result, 0x7005u);
    coxGroupProxy_c proxy(oxString_c("DMTF|ComponentID|001"), kernel.get());
    EXPECT_FALSE(proxy.setAttribute(value, key, 0, 0, &result));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(finished.load(), 0);
    EXPECT_EQ(kernel->busyGuard(), 1u);
    hold = false;
    poller.join();
    for (std::thread& thread : waiting)
        thread.join();
    EXPECT_EQ(finished.load(), 3);
    EXPECT_EQ(kernel->busyGuard(), 0u);
}

} // namespace
