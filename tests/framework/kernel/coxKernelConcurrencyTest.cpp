// The busy guard on its own, and the kernel's guarded requests, start, stop and poll from
// several threads: they exclude each other, while unguarded requests and proxies do not wait.
#include "coxRequestFixture.h"
#include "framework/kernel/coxBusyGuard.h"
#include "framework/kernel/coxGroupProxy.h"
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Long enough for a thread that does not wait to have finished.
constexpr auto settle = 50ms;

void waitFor(const std::atomic<bool>& flag) {
    for (int i = 0; i < 5000 && !flag.load(); ++i)
        std::this_thread::sleep_for(1ms);
}

TEST(coxBusyGuard, TakeHoldsReleaseFreesAndReleasingAFreeGuardDoesNothing) {
    coxBusyGuard_c guard;
    EXPECT_EQ(guard.value(), 0u);
    guard.take();
    EXPECT_EQ(guard.value(), 1u);
    guard.release();
    EXPECT_EQ(guard.value(), 0u);
    guard.release();
    EXPECT_EQ(guard.value(), 0u);
    guard.take(); // still usable after a spare release
    EXPECT_EQ(guard.value(), 1u);
    guard.release();
}

TEST(coxBusyGuard, TakeWaitsUntilTheHolderReleases) {
    coxBusyGuard_c guard;
    guard.take();
    std::atomic<bool> taken{false};
    std::thread waiter([&] {
        guard.take();
        taken = true;
        guard.release();
    });
    std::this_thread::sleep_for(settle);
    EXPECT_FALSE(taken.load());
    guard.release();
    waiter.join();
    EXPECT_TRUE(taken.load());
    EXPECT_EQ(guard.value(), 0u);
}

TEST(coxBusyGuard, ExcludesEveryOtherThread) {
    coxBusyGuard_c guard;
    std::uint32_t counter = 0; // plain on purpose: only the guard protects it
    std::atomic<std::uint32_t> inside{0}, most{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 5000; ++i) {
                coxBusyScope_c scope(guard);
                const std::uint32_t now = ++inside;
                if (now > most)
                    most = now;
                ++counter;
                --inside;
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(counter, 20000u);
    EXPECT_EQ(most.load(), 1u);
    EXPECT_EQ(guard.value(), 0u);
}

TEST(coxBusyGuard, ScopeReleasesWhenAnExceptionLeaves) {
    coxBusyGuard_c guard;
    EXPECT_THROW(
        {
            coxBusyScope_c scope(guard);
            EXPECT_EQ(guard.value(), 1u);
            throw std::runtime_error("leaving");
        },
        std::runtime_error);
    EXPECT_EQ(guard.value(), 0u);
}

class coxKernelConcurrencyTest : public coxRequestFixture {};

TEST_F(coxKernelConcurrencyTest, GuardedGetsNeverOverlapWhileAnotherThreadStartsPollsAndStops) {
    make();
    fxRequestRecord& table = record("fxTable.dll");
    constexpr int requesters = 4, requests = 40;
    std::atomic<int> failures{0};
    std::atomic<bool> done{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < requesters; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < requests; ++i) {
                oxAttribValue_c value(2);
                oxKey_c key = coxRowKey(1 + (t + i) % 3);
                std::uint32_t group = coxTableGroup, result = 0xDEAD;
                if (!kernel->getAttribute(value, &group, key, 0, 0, &result) || result != 0)
                    ++failures;
            }
        });
    std::thread lifecycle([&] {
        while (!done.load()) {
            std::uint32_t result = 0;
            kernel->start(&result);
            kernel->poll();
            kernel->stop(&result);
        }
    });
    for (std::thread& thread : threads)
        thread.join();
    done = true;
    lifecycle.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(table.mostInside.load(), 1u);
    EXPECT_EQ(table.calls[0], std::uint32_t{requesters * requests});
    EXPECT_EQ(kernel->busyGuard(), 0u);
    EXPECT_FALSE(kernel->started());
}

TEST_F(coxKernelConcurrencyTest, GuardedOperationsWaitWhileARequestHoldsTheGuard) {
    make();
    fxRequestRecord& table = record("fxTable.dll");
    table.hold = true;
    std::uint32_t heldResult = 0xDEAD, waitingResult = 0xDEAD;
    std::thread holder([&] {
        oxAttribValue_c value(6);
        oxKey_c key;
        std::uint32_t group = coxTableGroup;
        kernel->getAttribute(value, &group, key, 0, 0, &heldResult);
    });
    waitFor(table.holding);
    ASSERT_TRUE(table.holding.load());

    std::atomic<bool> requestDone{false}, pollDone{false};
    std::thread waiter([&] {
        oxAttribValue_c value(2);
        oxKey_c key;
        std::uint32_t group = coxTableGroup;
        kernel->getAttribute(value, &group, key, 0, 0, &waitingResult);
        requestDone = true;
    });
    std::thread poller([&] {
        kernel->poll();
        pollDone = true;
    });

    // Unguarded handlers and proxies do not wait for the guard.
    oxAttribValue_c value(6);
    oxKey_c key;
    std::uint32_t group = coxComponentIdGroup, result = 0xDEAD;
    EXPECT_TRUE(kernel->getAttributeUnguarded(value, &group, key, 0, 0, &result));
    EXPECT_EQ(value.value.number6, 7u);
    coxGroupProxy_c proxy(oxString_c("DMTF|ComponentID|001"), kernel.get());
    oxAttribValue_c proxied(6);
    EXPECT_TRUE(proxy.getAttribute(proxied, key, 0, 0, &result));
    EXPECT_EQ(proxied.value.number6, 7u);

    std::this_thread::sleep_for(settle);
    EXPECT_FALSE(requestDone.load());
    EXPECT_FALSE(pollDone.load());
    EXPECT_EQ(kernel->busyGuard(), 1u);

    table.hold = false;
    holder.join();
    waiter.join();
    poller.join();
    EXPECT_EQ(heldResult, 0u);
    EXPECT_EQ(waitingResult, 0u);
    EXPECT_EQ(table.mostInside.load(), 1u);
    EXPECT_EQ(kernel->busyGuard(), 0u);
}

} // namespace
