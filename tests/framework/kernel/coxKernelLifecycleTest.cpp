// start, stop and poll with the busy guard, the teardown order, the kernel's directory
// operations, and the agent's list of kernels.
#include "coxKernelFixture.h"
#include "framework/kernel/coxKernelList.h"
#include <future>

namespace {

class coxKernelLifecycleTest : public coxKernelTest {
  protected:
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

// start and stop hold the guard while they tell the provider; a second start announces
// nothing; the timers run only while started. A module whose timers fail is reported and
// unloaded, and the objects after it are still ticked in the same poll.
TEST_F(coxKernelLifecycleTest, StartAndStopRunTheTimersUnderTheGuardAndPollUnloadsFailures) {
    makeWith({"aTimer.dll", "zTimer.dll"});
    fkRecord& last = record("zTimer.dll");
    std::vector<std::uint32_t> guard;
    for (std::uint32_t slot : {coxSlotAnnounceComponents, coxSlotWithdrawComponents})
        sp.slot[slot].effect = [&](const oxRecordedCall&) { guard.push_back(kernel->busyGuard()); };
    EXPECT_EQ(stop(0x77), std::pair(true, 0u)); // never started: nothing to withdraw
    EXPECT_EQ(start(), std::pair(true, 0u));
    EXPECT_EQ(start(0x77), std::pair(true, 0u)); // already started
    kernel->poll();
    EXPECT_EQ(stop(), std::pair(true, 0u));
    kernel->poll();
    EXPECT_EQ(last.ticks, 1u); // stopped timers do not count
    EXPECT_EQ(sp.slots(), (coxSlots{27, 31}));
    EXPECT_EQ(guard, (std::vector<std::uint32_t>{1, 1}));
    // Called while the guard is held (as from inside a request), a start of a started kernel
    // and a stop of a stopped one answer at once; each nested call runs on its own thread so
    // that a wait shows as a late answer, not as a hang.
    std::uint32_t nestedStatus[2] = {0x77, 0x77};
    std::future<bool> nested[2];
    const auto callNested = [&](int i) {
        nested[i] = std::async(std::launch::async, [&, i] {
            return i == 0 ? kernel->stop(&nestedStatus[0]) : kernel->start(&nestedStatus[1]);
        });
        guard.push_back(nested[i].wait_for(std::chrono::seconds(2)) == std::future_status::ready);
    };
    sp.slot[coxSlotAnnounceComponents].effect = [&](const oxRecordedCall&) { callNested(0); };
    sp.slot[coxSlotWithdrawComponents].effect = [&](const oxRecordedCall&) { callNested(1); };
    guard.clear();
    EXPECT_TRUE(start().first && stop().first);
    EXPECT_EQ(guard, (std::vector<std::uint32_t>{1, 1}));
    EXPECT_TRUE(nested[0].get() && nested[1].get() && nestedStatus[0] == 0 && nestedStatus[1] == 0);
    sp.slot[coxSlotAnnounceComponents].effect = sp.slot[coxSlotWithdrawComponents].effect = {};
    ASSERT_TRUE(start().first);
    record("aTimer.dll").failTimer = true;
    kernel->poll();
    EXPECT_THAT(boxes.boxes(), ElementsAre(coxBox(coxKern, 1038, "module aTimer.dll")));
    EXPECT_EQ(last.ticks, 2u);
    last.failTimer = true; // the last one: the poll ends with it
    kernel->poll();
    EXPECT_EQ(destructed(), (coxNames{"aTimer.dll", "zTimer.dll"}));
    EXPECT_TRUE(stop().first);
    sp.slot[coxSlotAnnounceComponents].effect = coxThrow;
    EXPECT_THROW(start(), std::runtime_error);
    EXPECT_EQ(kernel->busyGuard(), 0u);
}

// stop, delete the MIF-installed component, withdraw, then unload the objects in list order.
TEST_F(coxKernelLifecycleTest, TeardownStopsDeletesWithdrawsAndUnloadsEveryModuleOnce) {
    sp.fileClasses = {{dir.string() + "\\files.grp", "FK|File|001"}};
    const oxLiveAllocations live;
    makeWith({"files.dll", "timer.dll"});
    ASSERT_TRUE(start().first);
    sp.calls.clear();
    kernel.reset();
    // files.dll deletes the two groups it added, osComp and timer.dll nothing.
    EXPECT_EQ(sp.slots(), (coxSlots{31, 15, 31, 22, 22, 22, 18, 22}));
    EXPECT_EQ(destructed(), (coxNames{"files.dll", "timer.dll"}));
    EXPECT_EQ(live.leaked(), 0); // osComp's objects went with it: it was destroyed and freed
}

// Without component objects start and stop answer 0x8001 and a poll withdraws (and deletes a
// MIF-installed component); the directory can be taken from the current one.
TEST_F(coxKernelLifecycleTest, KernelWithoutObjectsAnswers8001AndTakesItsDirectoryOrThrows) {
    EXPECT_THROW(coxKernel_c((dir / "missing").string().c_str(), &sp, &status), oxInvalidDirectory_c);
    writeMif();
    make();
    sp.calls.clear();
    EXPECT_EQ(start(), std::pair(false, oxStatusUnloadMe));
    EXPECT_EQ(stop(), std::pair(false, oxStatusUnloadMe));
    kernel->poll();
    EXPECT_EQ(sp.slots(), (coxSlots{15, 31}));
    EXPECT_EQ(sp.calls[0].id, sp.componentId);
    std::filesystem::create_directories(dir / "sub");
    std::filesystem::current_path(dir / "sub");
    EXPECT_TRUE(kernel->useCurrentDirectory(&(status = 5)) && status == 0);
    EXPECT_EQ(kernel->directory().text(), (dir / "sub").string());
    {
        const oxFailAllocation noMemory(1);
        EXPECT_THROW(kernel->useCurrentDirectory(&status), oxInsufficientMemory_c);
    }
#ifdef _WIN32
    std::filesystem::current_path(saved);
    GTEST_SKIP() << "the rest is Linux only: Windows cannot remove the current folder";
#endif
    std::filesystem::remove_all(dir); // gone, and the kernel's directory with it
    EXPECT_THROW(kernel->useCurrentDirectory(&status), oxInvalidDirectory_c);
    EXPECT_THROW(kernel->loadAllModules(), oxInvalidDirectory_c);
    EXPECT_THAT(boxes.boxes(), ElementsAre(coxBox(coxKern1, 99, "cannot be read or made current"),
                                           coxBox(coxKern1, 83, "memory"), coxBox(coxKern1, 86, ""),
                                           coxBox(coxKern1, 99, "")));
}

// Kernels keyed by component ID and by name, set-like by name, order kept; lookups that find
// nothing and arrays that cannot be had raise from their lines, the list unchanged.
TEST_F(coxKernelLifecycleTest, KernelListAddsFindsAndRemovesByNameInOrder) {
    std::vector<std::unique_ptr<coxKernel_c>> k; // IDs and names as the provider would give
    for (const auto& [id, name] : {std::pair{1u, "A"}, {2u, "B"}, {2u, "C"}, {3u, "A"}}) {
        k.push_back(std::make_unique<coxKernel_c>(dir.string().c_str(), &sp, &status));
        k.back()->ownDescription().id = id;
        k.back()->ownDescription().name.assign(name);
    }
    coxKernelList_c list;
    for (coxKernel_c* each : {k[0].get(), k[1].get(), k[3].get(), k[2].get(), (coxKernel_c*)nullptr})
        list.add(each); // a second "A" and a null kernel are ignored
    EXPECT_EQ(std::tuple(list.count(), list.at(0), list.at(1), list.at(2)),
              std::tuple(3u, k[0].get(), k[1].get(), k[2].get()));
    EXPECT_EQ(std::pair(list.find(2u), list.find(oxString_c("C"))), std::pair(k[1].get(), k[2].get()));
    EXPECT_FALSE(list.contains(9u) || list.contains(oxString_c("b"))); // names compare exactly
    for (const char* name : {"Z", "B"})
        list.remove(oxString_c(name));
    EXPECT_EQ(std::tuple(list.count(), list.at(0), list.at(1)), std::tuple(2u, k[0].get(), k[2].get()));
    EXPECT_THROW(list.find(7u), oxInvalidIndex_c);
    EXPECT_THROW(list.find(oxString_c("B")), oxInvalidIndex_c);
    EXPECT_THROW(list.at(2), oxInvalidIndex_c);
    const oxString_c nameC("C");
    for (const bool add : {true, false}) {
        const oxFailAllocation fail(1);
        EXPECT_THROW(add ? list.add(k[1].get()) : list.remove(nameC), oxInsufficientMemory_c);
    }
    EXPECT_THAT(boxes.boxes(),
                ElementsAre(coxBox(coxKern, 1080, "found nothing"), coxBox(coxKern, 1092, ""),
                            coxBox(coxKern, 1100, ""), coxBox(coxKern, 1148, "not enough memory"),
                            coxBox(coxKern, 1117, "")));
    EXPECT_EQ(std::tuple(list.count(), list.at(1)), std::tuple(2u, k[2].get())); // unchanged
}

} // namespace
