// start, stop and poll with their edge cases and the busy guard, the teardown order, and the
// kernel's directory operations.
#include "coxKernelFixture.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxStatus.h"
#include <atomic>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace {

using coxTicksFn = std::uint32_t (*)();
using coxFailFn = void (*)(int);

class coxKernelLifecycleTest : public coxKernelFixture {
  protected:
    // A MIF-installed kernel with osComp and the given timer modules, its calls forgotten.
    coxKernel_c& makeRunning(std::initializer_list<const char*> timers) {
        dir.writeMif();
        dir.copyModule("osComp.dll");
        for (const char* name : timers)
            dir.copyModule("fkTimer.dll", name);
        make();
        sp.calls.clear();
        return *kernel;
    }
    std::uint32_t ticks(const char* module) const {
        auto fn = reinterpret_cast<coxTicksFn>(
            oxp::findSymbol(object(module)->moduleHandle(), "fkTimerTicks"));
        return fn ? fn() : 0xFFFFFFFFu;
    }
    void fail(const char* module) const {
        reinterpret_cast<coxFailFn>(oxp::findSymbol(object(module)->moduleHandle(), "fkTimerFail"))(1);
    }
    // The provider writes no status of its own on success: what the caller brings stays.
    bool start(std::uint32_t entry = 0) {
        status = entry;
        return kernel->start(&status);
    }
    bool stop(std::uint32_t entry = 0) {
        status = entry;
        return kernel->stop(&status);
    }
};

TEST_F(coxKernelLifecycleTest, StartAndStopWithoutComponentObjectsAnswer8001AndCallNothing) {
    dir.writeMif();
    make();
    sp.calls.clear();
    EXPECT_FALSE(start());
    EXPECT_EQ(status, oxStatusUnloadMe);
    EXPECT_FALSE(kernel->started());
    EXPECT_FALSE(stop());
    EXPECT_EQ(status, oxStatusUnloadMe);
    EXPECT_TRUE(sp.calls.empty());
}

TEST_F(coxKernelLifecycleTest, StartAnnouncesOnceStartsTimersAndStopWithdraws) {
    makeRunning({"fkTimer.dll"});
    EXPECT_TRUE(stop(0x77)); // never started: nothing to withdraw
    EXPECT_EQ(status, 0u);
    EXPECT_TRUE(sp.calls.empty());

    kernel->poll();
    EXPECT_EQ(ticks("fkTimer.dll"), 0u); // timers run only once started

    EXPECT_TRUE(start());
    EXPECT_EQ(status, 0u);
    EXPECT_TRUE(kernel->started());
    EXPECT_TRUE(start(0x77)); // already started
    EXPECT_EQ(status, 0u);
    ASSERT_EQ(sp.slots(), (coxSlots{27}));
    EXPECT_EQ(sp.calls[0].first, kernel.get());
    EXPECT_EQ(sp.calls[0].context, &kernel->spContext());

    kernel->poll();
    kernel->poll();
    EXPECT_EQ(ticks("fkTimer.dll"), 2u);

    EXPECT_TRUE(stop());
    EXPECT_FALSE(kernel->started());
    EXPECT_EQ(sp.slots(), (coxSlots{27, 31}));
    kernel->poll();
    EXPECT_EQ(ticks("fkTimer.dll"), 2u); // stopped timers do not count
    EXPECT_TRUE(sp.callsOf(coxSlotWithdrawComponents).size() == 1u); // polls call nothing
}

TEST_F(coxKernelLifecycleTest, ProviderStatusOfStartAndStopIsTheResultButTheStateChanges) {
    makeRunning({"fkTimer.dll"});
    sp.slot[coxSlotAnnounceComponents].status = 0x61;
    EXPECT_FALSE(start());
    EXPECT_EQ(status, 0x61u);
    EXPECT_TRUE(kernel->started());
    sp.slot[coxSlotWithdrawComponents].status = 0x62;
    EXPECT_FALSE(stop());
    EXPECT_EQ(status, 0x62u);
    EXPECT_FALSE(kernel->started());
}

TEST_F(coxKernelLifecycleTest, GuardIsHeldWhileTheProviderIsCalledAndReleasedOnEveryPath) {
    makeRunning({"fkTimer.dll"});
    std::vector<std::uint32_t> guard;
    for (std::uint32_t slot : {coxSlotAnnounceComponents, coxSlotWithdrawComponents})
        sp.slot[slot].effect = [&](const oxRecordedCall&) { guard.push_back(kernel->busyGuard()); };
    start();
    stop();
    EXPECT_EQ(guard, (std::vector<std::uint32_t>{1, 1}));
    EXPECT_EQ(kernel->busyGuard(), 0u);

    sp.slot[coxSlotAnnounceComponents].effect = [](const oxRecordedCall&) {
        throw std::runtime_error("provider failure");
    };
    EXPECT_THROW(start(), std::runtime_error);
    EXPECT_EQ(kernel->busyGuard(), 0u);
}

TEST_F(coxKernelLifecycleTest, PollWithoutComponentObjectsWithdrawsEveryTime) {
    struct Case {
        bool mif;
        coxSlots perPoll;
    };
    for (const Case& c : {Case{true, {15, 31}}, Case{false, {31}}}) {
        SCOPED_TRACE(c.mif);
        std::filesystem::remove(dir / "Os.mif");
        if (c.mif)
            dir.writeMif();
        make();
        sp.calls.clear();
        kernel->poll();
        kernel->poll();
        coxSlots expected = c.perPoll;
        expected.insert(expected.end(), c.perPoll.begin(), c.perPoll.end());
        EXPECT_EQ(sp.slots(), expected);
        if (c.mif) {
            EXPECT_EQ(sp.calls[0].id, sp.componentId);
        }
        EXPECT_EQ(kernel->busyGuard(), 0u);
        kernel.reset();
    }
}

// A module whose timers fail is reported and unloaded, and the object after it is still
// ticked in the same poll.
TEST_F(coxKernelLifecycleTest, PollUnloadsAModuleWhoseTimersFailAndTicksTheNextOneStill) {
    makeRunning({"aTimer.dll", "bTimer.dll"});
    ASSERT_EQ(loaded(), (coxNames{"aTimer.dll", "bTimer.dll", "osComp.dll"}));
    ASSERT_TRUE(start());
    kernel->poll();
    fail("aTimer.dll");
    kernel->poll();
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_TRUE(coxBoxIs(boxes.boxes()[0], coxKern, 1038, moduleFailed + "aTimer.dll"));
    EXPECT_EQ(loaded(), (coxNames{"bTimer.dll", "osComp.dll"}));
    EXPECT_EQ(destructed(), (coxNames{"aTimer.dll"}));
    EXPECT_EQ(ticks("bTimer.dll"), 2u);
    EXPECT_EQ(kernel->busyGuard(), 0u);
    kernel->poll();
    EXPECT_EQ(ticks("bTimer.dll"), 3u);
    EXPECT_EQ(boxes.count(), 1u);
}

TEST_F(coxKernelLifecycleTest, LastModuleWhoseTimersFailLeavesThePollEmptyHanded) {
    makeRunning({"zTimer.dll"});
    ASSERT_TRUE(start());
    fail("zTimer.dll");
    kernel->poll();
    EXPECT_EQ(loaded(), (coxNames{"osComp.dll"}));
    EXPECT_EQ(boxes.count(), 1u);
    sp.calls.clear();
    kernel->poll(); // osComp has no timers; nothing is reported
    EXPECT_EQ(boxes.count(), 1u);
    EXPECT_TRUE(sp.calls.empty());
}

// start/stop and poll from two threads exclude each other through the guard: the provider
// is never entered twice at once and sees announcements and withdrawals alternate.
TEST_F(coxKernelLifecycleTest, GuardedOperationsFromTwoThreadsExcludeEachOther) {
    makeRunning({"fkTimer.dll"});
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    for (std::uint32_t slot : {coxSlotAnnounceComponents, coxSlotWithdrawComponents})
        sp.slot[slot].effect = [&](const oxRecordedCall&) {
            if (inside.fetch_add(1) != 0)
                overlapped = true;
            std::this_thread::yield();
            inside.fetch_sub(1);
        };
    std::thread poller([this] {
        for (int i = 0; i < 400; ++i)
            kernel->poll();
    });
    for (int i = 0; i < 200; ++i) {
        std::uint32_t s = 0;
        kernel->start(&s);
        kernel->stop(&s);
    }
    poller.join();
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(kernel->busyGuard(), 0u);
    const coxSlots slots = sp.slots();
    ASSERT_EQ(slots.size(), 400u);
    for (std::size_t i = 0; i < slots.size(); ++i)
        EXPECT_EQ(slots[i], i % 2 ? 31u : 27u) << i;
}

TEST_F(coxKernelLifecycleTest, TeardownStopsDeletesWithdrawsAndUnloadsEveryModuleOnce) {
    dir.writeMif();
    dir.copyModule("osComp.dll");
    dir.copyModule("fkTimer.dll");
    dir.copyModule("fkFileGroup.dll");
    sp.fileClasses = {{dir.kernelPath("fkFileGroup.grp"), "FK|File|001"}};
    const oxLiveAllocations live;
    make();
    ASSERT_EQ(loaded(), (coxNames{"fkFileGroup.dll", "fkTimer.dll", "osComp.dll"}));
    std::vector<oxp::ModuleHandle> handles;
    for (const char* name : {"fkFileGroup.dll", "fkTimer.dll", "osComp.dll"})
        handles.push_back(object(name)->moduleHandle());
    ASSERT_TRUE(start());
    sp.calls.clear();
    coxKernel_c* const k = kernel.get();

    kernel.reset();
    // stop, delete the MIF-installed component, withdraw, then the objects in list order:
    // fkFileGroup deletes the two groups it added, fkTimer deletes nothing, osComp neither.
    EXPECT_EQ(sp.slots(), (coxSlots{31, 15, 31, 22, 22, 22, 18, 22}));
    EXPECT_EQ(sp.calls[0].first, k);
    EXPECT_EQ(sp.calls[1].id, sp.componentId);
    EXPECT_EQ(sp.calls[2].first, k);
    EXPECT_EQ(destructed(), (coxNames{"fkFileGroup.dll", "fkTimer.dll"}));
    for (oxp::ModuleHandle handle : handles)
        EXPECT_FALSE(loadedFile(handle)) << handle;
    EXPECT_EQ(live.leaked(), 0); // osComp's objects went with it: it was destroyed and freed
}

TEST_F(coxKernelLifecycleTest, TeardownOfAKernelNeverStartedOrInstalledOnlyWithdraws) {
    dir.copyModule("fkTimer.dll");
    make();
    sp.calls.clear();
    kernel.reset();
    EXPECT_EQ(sp.slots(), (coxSlots{31, 22}));
    EXPECT_EQ(destructed(), (coxNames{"fkTimer.dll"}));
}

TEST_F(coxKernelLifecycleTest, ChangeToTheDirectoryMakesItCurrentOrThrowsAtLine99) {
    make();
    std::filesystem::current_path(OX_BIN_DIR);
    status = 0x5;
    EXPECT_TRUE(kernel->changeToDirectory(&status));
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir.path()));

    std::filesystem::current_path(OX_BIN_DIR);
    std::filesystem::remove_all(dir.path());
    EXPECT_THROW(kernel->changeToDirectory(&status), oxInvalidDirectory_c);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_TRUE(coxBoxIs(boxes.boxes()[0], coxKern1, 99, "made current"));
}

TEST_F(coxKernelLifecycleTest, UseCurrentDirectoryTakesTheProcesssCurrentDirectory) {
    make();
    std::filesystem::create_directories(dir / "sub");
    std::filesystem::current_path(dir / "sub");
    status = 0x5;
    EXPECT_TRUE(kernel->useCurrentDirectory(&status));
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(std::string(kernel->directory().text()), std::filesystem::current_path().string());
}

TEST_F(coxKernelLifecycleTest, UseCurrentDirectoryFailuresThrowAndKeepTheDirectory) {
    make();
    const std::string before = kernel->directory().text();
    struct Case {
        const char* name;
        std::uint32_t line;
        bool memory;
    };
    for (const Case& c : {Case{"no buffer", 83, true}, Case{"gone", 86, false},
                          Case{"too long", 86, false}}) {
        SCOPED_TRACE(c.name);
        boxes.clear();
        std::filesystem::current_path(dir.path());
        if (std::string(c.name) == "gone") {
            std::filesystem::create_directories(dir / "gone");
            std::filesystem::current_path(dir / "gone");
            std::filesystem::remove(dir / "gone");
        }
        if (std::string(c.name) == "too long") {
            std::filesystem::path deep = dir.path();
            while (deep.string().size() <= 520)
                deep /= std::string(60, 'd');
            std::filesystem::create_directories(deep);
            std::filesystem::current_path(deep);
        }
        if (c.memory) {
            const oxFailAllocation noMemory(1);
            EXPECT_THROW(kernel->useCurrentDirectory(&status), oxInsufficientMemory_c);
        } else {
            EXPECT_THROW(kernel->useCurrentDirectory(&status), oxInvalidDirectory_c);
        }
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_TRUE(coxBoxIs(boxes.boxes()[0], coxKern1, c.line, ""));
        EXPECT_EQ(kernel->directory().text(), before);
    }
}

} // namespace
