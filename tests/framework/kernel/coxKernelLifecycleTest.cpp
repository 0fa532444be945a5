// start, stop and poll with the busy guard, the teardown order, and the kernel's directory
// operations.
#include "coxKernelFixture.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxStatus.h"
#include <stdexcept>

namespace {

using ::testing::ElementsAre;

class coxKernelLifecycleTest : public coxKernelTest {
  protected:
    // A MIF-installed kernel with osComp and the given timer modules, its calls forgotten.
    void makeRunning(std::initializer_list<const char*> timers) {
        for (const char* name : timers)
            copy("fkRoles.dll", name);
        copy("osComp.dll");
        writeMif();
        make();
        sp.calls.clear();
    }
    // The result and the status; the provider writes no status of its own on success.
    std::pair<bool, std::uint32_t> start(std::uint32_t entry = 0) {
        const bool result = kernel->start(&(status = entry));
        return {result, status};
    }
    std::pair<bool, std::uint32_t> stop(std::uint32_t entry = 0) {
        const bool result = kernel->stop(&(status = entry));
        return {result, status};
    }
};

TEST_F(coxKernelLifecycleTest, WithoutComponentObjectsStartAndStopAnswer8001AndPollWithdraws) {
    for (const bool mif : {true, false}) {
        SCOPED_TRACE(mif);
        if (mif)
            writeMif();
        make();
        sp.calls.clear();
        EXPECT_EQ(start(), std::pair(false, oxStatusUnloadMe));
        EXPECT_EQ(stop(), std::pair(false, oxStatusUnloadMe));
        EXPECT_FALSE(kernel->started());
        kernel->poll();
        kernel->poll();
        EXPECT_EQ(sp.slots(), (mif ? coxSlots{15, 31, 15, 31} : coxSlots{31, 31}));
        EXPECT_EQ(sp.calls[0].id, mif ? sp.componentId : 0u);
        std::filesystem::remove(dir / "Os.mif");
    }
}

TEST_F(coxKernelLifecycleTest, StartAnnouncesOnceAndRunsTimersUnderTheGuardStopWithdraws) {
    makeRunning({"timer.dll"});
    fkRecord& timer = record("timer.dll");
    std::vector<std::uint32_t> guard;
    for (std::uint32_t slot : {coxSlotAnnounceComponents, coxSlotWithdrawComponents})
        sp.slot[slot].effect = [&](const oxRecordedCall&) { guard.push_back(kernel->busyGuard()); };
    EXPECT_EQ(stop(0x77), std::pair(true, 0u)); // never started: nothing to withdraw
    kernel->poll();
    EXPECT_EQ(timer.ticks, 0u); // timers run only once started
    EXPECT_EQ(start(), std::pair(true, 0u));
    EXPECT_EQ(start(0x77), std::pair(true, 0u)); // already started
    EXPECT_TRUE(kernel->started());
    EXPECT_EQ(sp.calls.at(0).first, kernel.get());
    kernel->poll();
    kernel->poll();
    EXPECT_EQ(timer.ticks, 2u);
    EXPECT_EQ(stop(), std::pair(true, 0u));
    EXPECT_FALSE(kernel->started());
    kernel->poll();
    EXPECT_EQ(timer.ticks, 2u); // stopped timers do not count
    EXPECT_EQ(sp.slots(), (coxSlots{27, 31}));
    EXPECT_EQ(guard, (std::vector<std::uint32_t>{1, 1}));
    // The provider's status is the result, but the state changes all the same.
    sp.slot[coxSlotAnnounceComponents].status = 0x61;
    sp.slot[coxSlotWithdrawComponents].status = 0x62;
    EXPECT_EQ(start(), std::pair(false, 0x61u));
    EXPECT_TRUE(kernel->started());
    EXPECT_EQ(stop(), std::pair(false, 0x62u));
    EXPECT_FALSE(kernel->started());
    sp.slot[coxSlotAnnounceComponents].effect = [](const oxRecordedCall&) {
        throw std::runtime_error("provider failure");
    };
    EXPECT_THROW(start(), std::runtime_error);
    EXPECT_EQ(kernel->busyGuard(), 0u);
}

// A module whose timers fail is reported and unloaded, and the objects after it are still
// ticked in the same poll.
TEST_F(coxKernelLifecycleTest, PollUnloadsModulesWhoseTimersFailAndTicksTheRest) {
    makeRunning({"aTimer.dll", "zTimer.dll"});
    ASSERT_TRUE(start().first);
    fkRecord& last = record("zTimer.dll");
    kernel->poll();
    record("aTimer.dll").failTimer = true;
    kernel->poll();
    EXPECT_THAT(boxes.boxes(), ElementsAre(coxBox(coxKern, 1038, "module aTimer.dll")));
    EXPECT_EQ(destructed(), (coxNames{"aTimer.dll"}));
    EXPECT_EQ(last.ticks, 2u);
    last.failTimer = true; // the last one: the poll ends with it
    kernel->poll();
    EXPECT_EQ(loaded(), (coxNames{"osComp.dll"}));
    kernel->poll();
    EXPECT_EQ(boxes.count(), 2u);
    EXPECT_EQ(sp.slots(), (coxSlots{27, 22, 22}));
}

TEST_F(coxKernelLifecycleTest, TeardownStopsDeletesWithdrawsAndUnloadsEveryModuleOnce) {
    copy("fkRoles.dll", "timer.dll");
    make(); // neither installed from a MIF nor started: it only withdraws
    sp.calls.clear();
    kernel.reset();
    EXPECT_EQ(sp.slots(), (coxSlots{31, 22}));
    sp.fileClasses = {{kernelPath("files.grp"), "FK|File|001"}};
    const oxLiveAllocations live;
    makeRunning({"files.dll"});
    std::vector<oxp::ModuleHandle> handles;
    for (const char* name : {"files.dll", "osComp.dll", "timer.dll"})
        handles.push_back(object(name)->moduleHandle());
    ASSERT_TRUE(start().first);
    sp.calls.clear();
    const void* const k = kernel.get();
    kernel.reset();
    // stop, delete the MIF-installed component, withdraw, then the objects in list order:
    // files.dll deletes the two groups it added, osComp and timer.dll nothing.
    EXPECT_EQ(sp.slots(), (coxSlots{31, 15, 31, 22, 22, 22, 18, 22}));
    EXPECT_EQ(std::tuple(sp.calls[0].first, sp.calls[1].id, sp.calls[2].first),
              std::tuple(k, sp.componentId, k));
    EXPECT_EQ(destructed(), (coxNames{"files.dll", "timer.dll"}));
    for (oxp::ModuleHandle handle : handles)
        EXPECT_FALSE(loadedFile(handle)) << handle;
    EXPECT_EQ(live.leaked(), 0); // osComp's objects went with it: it was destroyed and freed
}

TEST_F(coxKernelLifecycleTest, DirectoryOperationsMakeCurrentOrTakeTheCurrentOneOrThrow) {
    EXPECT_THROW(coxKernel_c((dir / "missing").c_str(), &sp, &status), oxInvalidDirectory_c);
    EXPECT_THROW(coxKernel_c(writeMif().c_str(), &sp, &status), oxInvalidDirectory_c); // a file
    EXPECT_TRUE(sp.calls.empty());
    make();
    std::filesystem::current_path(OX_BIN_DIR);
    EXPECT_TRUE(kernel->changeToDirectory(&(status = 5)));
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir));
    std::filesystem::create_directories(dir / "sub");
    std::filesystem::current_path(dir / "sub");
    EXPECT_TRUE(kernel->useCurrentDirectory(&(status = 5)));
    EXPECT_EQ(status, 0u);
    const std::string sub = kernel->directory().text();
    EXPECT_EQ(sub, (dir / "sub").string());
    std::filesystem::path deep = dir;
    while (deep.string().size() <= 520)
        deep /= std::string(60, 'd');
    std::filesystem::create_directories(deep);
    {
        const oxFailAllocation noMemory(1);
        EXPECT_THROW(kernel->useCurrentDirectory(&status), oxInsufficientMemory_c);
    }
    std::filesystem::current_path(deep); // longer than the buffer
    EXPECT_THROW(kernel->useCurrentDirectory(&status), oxInvalidDirectory_c);
    std::filesystem::current_path(dir / "sub");
    std::filesystem::remove_all(dir); // gone, and the kernel's directory with it
    EXPECT_THROW(kernel->useCurrentDirectory(&status), oxInvalidDirectory_c);
    EXPECT_EQ(kernel->directory().text(), sub);
    EXPECT_THROW(kernel->changeToDirectory(&status), oxInvalidDirectory_c);
    EXPECT_THROW(kernel->loadAllModules(), oxInvalidDirectory_c);
    EXPECT_THAT(boxes.boxes(), ElementsAre(coxBox(coxKern1, 99, "cannot be read or made current"),
                                           coxBox(coxKern1, 99, ""), coxBox(coxKern1, 83, "memory"),
                                           coxBox(coxKern1, 86, ""), coxBox(coxKern1, 86, ""),
                                           coxBox(coxKern1, 99, ""), coxBox(coxKern1, 99, "")));
}

} // namespace
