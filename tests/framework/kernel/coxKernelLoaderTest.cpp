// The module loader on real module files: the version test, the failures of a load and of an
// unload with the boxes they show, the loading-name announcement, the scan, allocation failures
// and the re-announce path.
#include "coxKernelFixture.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxStatus.h"
#include "framework/types/oxAccessList.h"
#include <stdexcept>

namespace {

using ::testing::ElementsAre;

class coxKernelLoaderTest : public coxKernelTest {
  protected:
    // A kernel on the still empty directory: nothing installed, nothing loaded.
    void SetUp() override {
        make();
        sp.calls.clear();
    }
    // The result and the status of a load or an unload.
    std::pair<bool, std::uint32_t> load(const char* name) {
        const bool result = kernel->loadModule(oxString_c(name), &(status = 0));
        return {result, status};
    }
    std::pair<bool, std::uint32_t> unload(const char* name, std::uint32_t entry = 0) {
        const bool result = kernel->unloadModule(oxString_c(name), &(status = entry));
        return {result, status};
    }
    // A reference of the test's own to the directory's copy: once the test drops it, whether
    // the kernel gave its references back shows.
    oxp::ModuleHandle hold(const std::string& name) {
        return oxp::loadModule((dir / name).c_str());
    }
    void expectNothingLoaded() {
        EXPECT_EQ(kernel->componentObjects().count(), 0u);
        EXPECT_EQ(kernel->accessTable().count(), 0u);
    }
};

TEST_F(coxKernelLoaderTest, FilesThatAreNoComponentModulesAreSkippedSilently) {
    const std::string osComp = builtBytes("osComp.dll");
    write("notes.dll", "plain text\n");
    write("cut.dll", osComp.substr(0, 4096)); // no section table, so no version block
    copy("oxLng.dll");
    copy("fkNoTag.dll");
    for (const char* name : {"notes.dll", "cut.dll", "oxLng.dll", "fkNoTag.dll", "absent.dll"}) {
        EXPECT_EQ(load(name), std::pair(false, oxStatusNotComponentModule)) << name;
    }
    expectNothingLoaded();
    EXPECT_TRUE(sp.calls.empty());
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelLoaderTest, ModulesLoadRegisterOnceAndAnnounceTheirNameWhileBuilt) {
    std::vector<std::string> seen;
    sp.slot[coxSlotAddGroupFromFile].effect = [&](const oxRecordedCall& call) {
        seen.push_back(kernel->loadingModuleName().text() + (" " + call.text));
    };
    for (const char* name : {"timer.dll", "files.dll", "refuses.dll"})
        copy("fkRoles.dll", name);
    std::uint32_t test = 0x99;
    EXPECT_TRUE(kernel->isComponentModule(oxString_c("timer.dll"), &test));
    EXPECT_EQ(test, 0u);
    EXPECT_TRUE(load("timer.dll").first);
    EXPECT_EQ(load("timer.dll"), std::pair(false, oxStatusNotComponentModule)); // loaded already
    EXPECT_TRUE(load("files.dll").first); // its groups come from its definition files: 100, 101
    EXPECT_EQ(loaded(), (coxNames{"timer.dll", "files.dll"}));
    const oxAccessList_c& pairs = kernel->accessTable();
    EXPECT_EQ(pairs.count(), 5u);
    EXPECT_TRUE(pairs.contains(oxAccessEntry_c(2, 12)) && pairs.contains(oxAccessEntry_c(5, 100)));

    // A module that leaves a status is built (its groups added), then destroyed through its
    // own entry point, which deletes both groups again; the status is the result.
    const oxp::ModuleHandle own = hold("refuses.dll");
    const oxLiveAllocations live;
    sp.calls.clear();
    EXPECT_EQ(load("refuses.dll"), std::pair(false, oxStatusNoComponent));
    EXPECT_EQ(sp.slots(), (coxSlots{20, 18, 20, 18, 22, 22, 22, 18}));
    EXPECT_EQ(destructed(), (coxNames{""}));
    EXPECT_EQ(pairs.count(), 5u);
    EXPECT_EQ(live.leaked(), 0);
    oxp::freeModule(own);
    EXPECT_FALSE(loadedFile(own));
    EXPECT_EQ(kernel->loadingModuleName().length(), 0u);
    EXPECT_EQ(seen, (std::vector<std::string>{"files.dll " + kernelPath("files.grp"),
                                              "files.dll " + kernelPath("files.evt"),
                                              "refuses.dll " + kernelPath("refuses.grp"),
                                              "refuses.dll " + kernelPath("refuses.evt")}));
    EXPECT_EQ(boxes.count(), 0u);
}

// Each failure is reported with the module's name and takes back all the load did.
TEST_F(coxKernelLoaderTest, FailedLoadsAreReportedAndLeaveNothingBehind) {
    std::string foreign = builtBytes("fkRoles.dll");
    foreign[18] = static_cast<char>(foreign[18] == 0x28 ? 0xB7 : 0x28); // e_machine: another CPU
    foreign[19] = 0;
    write("alien.dll", foreign); // its version block reads, but it cannot be loaded
    copy("fkNoDestruct.dll");    // no coxBaseDestruct: freed before anything is built
    copy("fkRoles.dll", "files.dll");
    struct Case {
        const char* name;
        std::uint32_t line, boxes, addGroupStatus;
    };
    for (const Case& c : {Case{"alien.dll", 111, 1, 0}, Case{"fkNoDestruct.dll", 125, 1, 0},
                          Case{"files.dll", 169, 2, 5}}) { // the component's error, the kernel's
        SCOPED_TRACE(c.name);
        boxes.clear();
        sp.calls.clear();
        sp.slot[coxSlotAddGroupFromFile].status = c.addGroupStatus;
        const oxp::ModuleHandle own = hold(c.name);
        const oxLiveAllocations live; // the module's own message object goes with it
        // Not 0xDEAD, as fkNoDestruct's coxBaseConstruct would leave.
        EXPECT_EQ(load(c.name), std::pair(false, oxStatusModuleLoadFailed));
        ASSERT_EQ(boxes.count(), c.boxes);
        EXPECT_THAT(boxes.boxes().back(),
                    coxBox(coxKern1, c.line, "module " + std::string(c.name)));
        expectNothingLoaded();
        EXPECT_EQ(kernel->loadingModuleName().length(), 0u);
        EXPECT_EQ(live.leaked(), 0);
        EXPECT_TRUE(c.line == 169 || sp.calls.empty()); // nothing was built
        if (own != 0) {
            oxp::freeModule(own);
            EXPECT_FALSE(loadedFile(own)); // the kernel kept no reference
        }
    }
}

// The version buffer's failure leaves loadModule as oxInsufficientMemory_c (line 280); a null
// object is raised at line 137; a failure inside coxBaseConstruct or during registration gives
// 0x6001 without the module's box. Every case leaves nothing loaded, registered or allocated.
TEST_F(coxKernelLoaderTest, AllocationFailuresDuringALoadLeaveNothingBehind) {
    copy("osComp.dll");
    const oxp::ModuleHandle own = hold("osComp.dll"); // its static objects stay built
    bool buffer = false, nullObject = false, insideConstruct = false, loadedAtLast = false;
    for (std::uint32_t k = 1; k <= 80 && !loadedAtLast; ++k) {
        SCOPED_TRACE(k);
        boxes.clear();
        const oxString_c name("osComp.dll");
        const oxLiveAllocations live;
        bool result = false, threw = false;
        status = 0;
        try {
            const oxFailAllocation fail(k);
            result = kernel->loadModule(name, &status);
        } catch (const oxInsufficientMemory_c&) {
            threw = true;
            buffer =
                buffer || testing::Value(boxes.boxes(),
                                         ElementsAre(coxBox(coxKern1, 280, "not enough memory")));
        }
        if (result) {
            loadedAtLast = boxes.count() == 0;
            EXPECT_TRUE(unload("osComp.dll").first);
        } else if (!threw) {
            EXPECT_EQ(status, oxStatusModuleLoadFailed);
            ASSERT_EQ(boxes.count(), 1u);
            EXPECT_THAT(boxes.boxes()[0].text,
                        testing::Not(testing::HasSubstr("component module")));
            if (testing::Value(boxes.boxes()[0], coxBox(coxKern1, 137, "not enough memory")))
                nullObject = true;
            else
                insideConstruct = true;
        }
        expectNothingLoaded();
        sp.groups.resize(6); // the provider and the kernel forget osComp's event groups
        std::uint32_t listStatus = 0;
        sp.listGroups(kernel->ownDescription(), kernel->groups(), kernel->spContext(), &listStatus);
        EXPECT_EQ(live.leaked(), 0);
    }
    EXPECT_TRUE(buffer && nullObject && insideConstruct && loadedAtLast);
    oxp::freeModule(own);
    EXPECT_FALSE(loadedFile(own)); // no failed load kept a reference
}

TEST_F(coxKernelLoaderTest, DirectoryFileIsLoadedWhateverTheSearchOrderWouldFindFirst) {
    // The build's own osComp.dll is already loaded and lies in the program's directory.
    oxp::seam::setProgramDirectory(OX_BIN_DIR);
    const oxp::ModuleHandle built =
        oxp::loadModule((std::filesystem::path(OX_BIN_DIR) / "osComp.dll").c_str());
    copy("osComp.dll");
    EXPECT_TRUE(load("osComp.dll").first);
    const oxp::ModuleHandle used = object("osComp.dll")->moduleHandle();
    EXPECT_EQ(oxp::moduleFileName(used), std::filesystem::canonical(dir / "osComp.dll"));
    EXPECT_TRUE(unload("osComp.dll").first);
    EXPECT_FALSE(loadedFile(used));
    oxp::freeModule(built);
}

TEST_F(coxKernelLoaderTest, ScanTriesEveryDllInNameOrderUntilALoadThrows) {
    copy("osComp.dll");
    copy("fkRoles.dll", "BTimer.DLL");
    copy("fkRoles.dll", "aTimer.Dll");
    copy("fkNoTag.dll");
    write("readme.txt", "not a candidate");
    kernel->loadAllModules();
    EXPECT_EQ(loaded(), (coxNames{"aTimer.Dll", "BTimer.DLL", "osComp.dll"}));
    EXPECT_EQ(boxes.count(), 0u);

    bool stopped = false; // once the first version buffer cannot be had: the rest is not tried
    for (std::uint32_t k = 1; k <= 6 && !stopped; ++k) {
        kernel->unloadAllModules();
        boxes.clear();
        {
            const oxFailAllocation fail(k);
            kernel->loadAllModules();
        }
        stopped = testing::Value(boxes.boxes(), ElementsAre(coxBox(coxKern1, 280, "memory"),
                                                            coxBox(coxKern1, 205, "aTimer.Dll")));
    }
    EXPECT_TRUE(stopped);
    expectNothingLoaded();
}

TEST_F(coxKernelLoaderTest, UnloadTakesThePairsOutBeforeTheObjectIsDestroyedAndFreesTheModule) {
    EXPECT_TRUE(unload("timer.dll", 0).first); // not loaded: the status stays as it came
    EXPECT_EQ(unload("timer.dll", 0x1234), std::pair(false, 0x1234u));
    copy("fkRoles.dll", "timer.dll");
    copy("fkRoles.dll", "files.dll");
    ASSERT_TRUE(load("timer.dll").first && load("files.dll").first);
    const oxp::ModuleHandle handle = object("timer.dll")->moduleHandle();
    std::uint32_t pairsAtDestruct = 99;
    bool listedAtDestruct = true;
    sp.slot[coxSlotDeleteGroup].effect = [&](const oxRecordedCall& call) {
        if (call.text == "destruct timer.dll") {
            pairsAtDestruct = kernel->accessTable().count();
            listedAtDestruct = isLoaded("timer.dll");
        }
    };
    EXPECT_TRUE(unload("timer.dll").first);
    EXPECT_EQ(pairsAtDestruct, 3u); // only files.dll's pairs remain
    EXPECT_FALSE(listedAtDestruct);
    EXPECT_EQ(destructed(), (coxNames{"timer.dll"}));
    EXPECT_FALSE(loadedFile(handle));
    // The object's own module name may be handed in: it is copied before the object goes.
    EXPECT_TRUE(kernel->unloadModule(object("files.dll")->moduleName(), &status));
    expectNothingLoaded();
}

TEST_F(coxKernelLoaderTest, UnloadThatCannotDestroyTheObjectIsReportedAndTakesItOutOfTheLists) {
    copy("fkRoles.dll", "timer.dll");
    copy("fkNoDestruct.dll");
    ASSERT_TRUE(load("timer.dll").first);
    const oxString_c name("timer.dll");
    {
        const oxFailAllocation fail(1); // memory: nothing changes, no box of the module's
        EXPECT_FALSE(kernel->unloadModule(name, &status));
    }
    EXPECT_EQ(status, oxStatusModuleLoadFailed);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_THAT(boxes.boxes()[0].text, testing::Not(testing::HasSubstr("component module")));
    EXPECT_EQ(kernel->accessTable().count(), 2u);
    for (const std::uint32_t line : {236u, 248u}) {
        SCOPED_TRACE(line);
        if (!isLoaded("timer.dll")) {
            ASSERT_TRUE(load("timer.dll").first);
        }
        coxBase_c* timer = object("timer.dll");
        const oxp::ModuleHandle handle = timer->moduleHandle(), other = hold("fkNoDestruct.dll");
        if (line == 236) // a module without coxBaseDestruct: the kernel frees it all the same
            timer->setModuleHandle(other);
        else // the destruction breaks off
            sp.slot[coxSlotDeleteGroup].effect = [](const oxRecordedCall&) {
                throw std::runtime_error("provider failure");
            };
        boxes.clear();
        EXPECT_EQ(unload("timer.dll"), std::pair(false, oxStatusModuleLoadFailed));
        EXPECT_THAT(boxes.boxes(), ElementsAre(coxBox(coxKern1, line, "module timer.dll")));
        expectNothingLoaded();
        sp.slot[coxSlotDeleteGroup].effect = nullptr;
        ASSERT_TRUE(loadedFile(handle)); // the object was not destroyed
        reinterpret_cast<void (*)(coxBase_c*)>(oxp::findSymbol(handle, "coxBaseDestruct"))(timer);
        oxp::freeModule(handle);
        if (line == 248)
            oxp::freeModule(other);
        EXPECT_FALSE(loadedFile(handle) || loadedFile(other));
    }
}

TEST_F(coxKernelLoaderTest, ReannounceTellsTheProviderOfLoadsAndTakesARefusedLoadBackWholly) {
    kernel->setReannounce(true);
    copy("fkRoles.dll", "timer.dll");
    ASSERT_TRUE(load("timer.dll").first);
    EXPECT_EQ(sp.slots(), (coxSlots{31, 27}));
    EXPECT_EQ(sp.calls[0].first, kernel.get());
    sp.calls.clear();
    EXPECT_TRUE(unload("timer.dll").first);
    EXPECT_EQ(sp.slots(), (coxSlots{31, 27, 22})); // announced before the object goes
    const oxp::ModuleHandle own = hold("timer.dll");
    for (const auto& [refusal, result, expected] :
         {std::tuple{0x44u, true, 0x44u}, {0u, false, oxStatusModuleLoadFailed}}) {
        sp.calls.clear();
        sp.slot[coxSlotAnnounceComponents] = {result, refusal, nullptr};
        EXPECT_EQ(load("timer.dll"), std::pair(false, expected));
        expectNothingLoaded(); // its pairs are gone too
        EXPECT_EQ(destructed(), (coxNames{"timer.dll"}));
    }
    oxp::freeModule(own);
    EXPECT_FALSE(loadedFile(own));
}

} // namespace
