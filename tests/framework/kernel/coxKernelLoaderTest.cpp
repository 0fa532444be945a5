// The module loader on real module files: the version test, every row of its failure table
// with the boxes it shows, the loading-name announcement, unloading, the scan, allocation
// failures and the re-announce path.
#include "coxKernelFixture.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxStatus.h"
#include "framework/types/oxAccessList.h"
#include "framework/types/oxIdList.h"
#include <filesystem>
#include <stdexcept>

namespace {

using coxDestructFn = void (*)(coxBase_c*);

// A component object made by the test itself, for unloads the fixture modules cannot produce.
class coxManualComponent_c : public coxBase_c {
  public:
    explicit coxManualComponent_c(coxKernel_c* kernel)
        : coxBase_c(oxString_c(), kernel, oxIdList_c{8, 9}, "FK|Manual|001", "FK|Manual|001") {}
    bool getAttribute(oxAttribValue_c&, oxKey_c&, std::uint32_t, std::uint32_t,
                      std::uint32_t* status) override {
        *status = 0;
        return true;
    }
};

class coxKernelLoaderTest : public coxKernelFixture {
  protected:
    // A kernel on the still empty directory: nothing installed, nothing loaded.
    void SetUp() override {
        make();
        ASSERT_EQ(status, 0u);
        sp.calls.clear();
    }
    bool load(const char* name) {
        status = 0;
        return kernel->loadModule(oxString_c(name), &status);
    }
    bool unload(const char* name, std::uint32_t entry = 0) {
        status = entry;
        return kernel->unloadModule(oxString_c(name), &status);
    }
    // Loads the directory's copy through its path: a reference of the test's own, so that
    // whether the kernel gave its references back can be seen once the test drops it.
    oxp::ModuleHandle hold(const std::string& name) {
        return oxp::loadModule((dir / name).c_str());
    }
};

TEST_F(coxKernelLoaderTest, FilesThatAreNoComponentModulesAreSkippedSilently) {
    struct Case {
        const char* name;
        std::string (*make)(const coxKernelDirectory&);
    };
    const Case cases[] = {
        {"notes.dll", [](const coxKernelDirectory& d) { return d.write("notes.dll", "plain text\n"); }},
        {"cut.dll", [](const coxKernelDirectory& d) { return d.truncatedCopy("osComp.dll", "cut.dll", 4096); }},
        {"oxLng.dll", [](const coxKernelDirectory& d) { return d.copyModule("oxLng.dll"); }},
        {"fkNoTag.dll", [](const coxKernelDirectory& d) { return d.copyModule("fkNoTag.dll"); }},
        {"absent.dll", [](const coxKernelDirectory&) { return std::string(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.make(dir);
        std::uint32_t test = 0;
        EXPECT_FALSE(kernel->isComponentModule(oxString_c(c.name), &test));
        EXPECT_EQ(test, oxStatusNotComponentModule);
        EXPECT_FALSE(load(c.name));
        EXPECT_EQ(status, oxStatusNotComponentModule);
    }
    EXPECT_EQ(kernel->componentObjects().count(), 0u);
    EXPECT_TRUE(sp.calls.empty()); // fkNoTag's code never ran: it would have added a group
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelLoaderTest, ComponentModuleLoadsRegistersAndIsNeverLoadedTwice) {
    dir.copyModule("fkTimer.dll");
    std::uint32_t test = 0x99;
    EXPECT_TRUE(kernel->isComponentModule(oxString_c("fkTimer.dll"), &test));
    EXPECT_EQ(test, 0u);
    EXPECT_TRUE(load("fkTimer.dll"));
    EXPECT_EQ(status, 0u);
    ASSERT_EQ(loaded(), (coxNames{"fkTimer.dll"}));
    const coxBase_c* timer = object("fkTimer.dll");
    EXPECT_EQ(timer->servedGroup().id, coxTimerGroup);
    EXPECT_EQ(timer->eventGroup().id, coxTimerEventGroup);
    EXPECT_EQ(oxp::moduleFileName(timer->moduleHandle()),
              std::filesystem::canonical(dir / "fkTimer.dll"));
    EXPECT_EQ(kernel->accessTable().count(), 2u);
    EXPECT_TRUE(kernel->accessTable().contains(oxAccessEntry_c(1, coxTimerGroup)));
    EXPECT_TRUE(kernel->accessTable().contains(oxAccessEntry_c(2, coxTimerGroup)));

    EXPECT_FALSE(kernel->isComponentModule(oxString_c("fkTimer.dll"), &test));
    EXPECT_FALSE(load("fkTimer.dll"));
    EXPECT_EQ(status, oxStatusNotComponentModule);
    EXPECT_EQ(kernel->componentObjects().count(), 1u);
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelLoaderTest, ModuleThatCannotBeLoadedIsReportedAtLine111) {
    dir.foreignCopy("fkTimer.dll", "alien.dll");
    std::uint32_t test = 0;
    ASSERT_TRUE(kernel->isComponentModule(oxString_c("alien.dll"), &test)); // its block reads
    EXPECT_FALSE(load("alien.dll"));
    EXPECT_EQ(status, oxStatusModuleLoadFailed);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_TRUE(coxBoxIs(boxes.boxes()[0], coxKern1, 111, moduleFailed + "alien.dll failed"));
    EXPECT_EQ(kernel->componentObjects().count(), 0u);
}

TEST_F(coxKernelLoaderTest, MissingCoxBaseDestructFreesTheModuleAtOnceAndReportsLine125) {
    dir.copyModule("fkNoDestruct.dll");
    const oxp::ModuleHandle own = hold("fkNoDestruct.dll");
    ASSERT_NE(own, 0u);
    EXPECT_FALSE(load("fkNoDestruct.dll"));
    EXPECT_EQ(status, oxStatusModuleLoadFailed); // not 0xDEAD: coxBaseConstruct was not called
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_TRUE(coxBoxIs(boxes.boxes()[0], coxKern1, 125, "fkNoDestruct.dll"));
    EXPECT_EQ(kernel->componentObjects().count(), 0u);
    oxp::freeModule(own);
    EXPECT_FALSE(loadedFile(own)); // the kernel kept no reference
}

TEST_F(coxKernelLoaderTest, StatusLeftByTheModuleIsTheResultAndTheObjectIsDestroyed) {
    dir.copyModule("fkRefuses.dll");
    sp.fileClasses = {{dir.kernelPath("fkRefuses.grp"), "FK|Refuses|001"}};
    const oxp::ModuleHandle own = hold("fkRefuses.dll");
    const oxLiveAllocations live;
    EXPECT_FALSE(load("fkRefuses.dll"));
    EXPECT_EQ(status, oxStatusNoComponent);
    EXPECT_EQ(kernel->componentObjects().count(), 0u);
    EXPECT_EQ(kernel->accessTable().count(), 0u);
    // Built (its groups added from its files), then destroyed through its own entry point,
    // which deletes both groups again.
    EXPECT_EQ(sp.slots(), (coxSlots{20, 18, 20, 18, 22, 22, 22, 18}));
    EXPECT_EQ(destructed(), (coxNames{""}));
    EXPECT_EQ(sp.groups.size(), 3u);
    EXPECT_EQ(boxes.count(), 0u);
    EXPECT_EQ(live.leaked(), 0);
    oxp::freeModule(own);
    EXPECT_FALSE(loadedFile(own));
}

TEST_F(coxKernelLoaderTest, LoadingModuleNameIsAnnouncedDuringConstructionAndClearedOnEveryPath) {
    std::vector<std::string> seen;
    sp.slot[coxSlotAddGroupFromFile].effect = [&](const oxRecordedCall& call) {
        seen.push_back(kernel->loadingModuleName().text() + std::string(" ") + call.text);
    };
    dir.copyModule("fkFileGroup.dll");
    dir.copyModule("fkRefuses.dll");
    EXPECT_TRUE(load("fkFileGroup.dll"));  // success
    EXPECT_FALSE(load("fkRefuses.dll"));   // the module's status
    EXPECT_EQ(kernel->loadingModuleName().length(), 0u);
    EXPECT_TRUE(unload("fkFileGroup.dll"));
    sp.slot[coxSlotAddGroupFromFile].status = 0x5; // construction throws
    EXPECT_FALSE(load("fkFileGroup.dll"));
    EXPECT_EQ(kernel->loadingModuleName().length(), 0u);
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "fkFileGroup.dll " + dir.kernelPath("fkFileGroup.grp"),
                        "fkFileGroup.dll " + dir.kernelPath("fkFileGroup.evt"),
                        "fkRefuses.dll " + dir.kernelPath("fkRefuses.grp"),
                        "fkRefuses.dll " + dir.kernelPath("fkRefuses.evt"),
                        "fkFileGroup.dll " + dir.kernelPath("fkFileGroup.grp")}));
}

TEST_F(coxKernelLoaderTest, ServedGroupFromTheDefinitionFileGetsTheProvidersId) {
    dir.copyModule("fkFileGroup.dll");
    sp.fileClasses = {{dir.kernelPath("fkFileGroup.grp"), "FK|File|001"}};
    ASSERT_TRUE(load("fkFileGroup.dll"));
    const coxBase_c* file = object("fkFileGroup.dll");
    EXPECT_EQ(file->servedGroup().id, 100u);
    EXPECT_EQ(file->eventGroup().id, 101u);
    EXPECT_TRUE(file->groupsAdded());
    EXPECT_TRUE(kernel->groups().contains(oxString_c("FK|File|001")));
    EXPECT_EQ(kernel->componentObjects().find(100u), file); // found by its served group
    for (std::uint32_t id : {3u, 4u, 5u})
        EXPECT_TRUE(kernel->accessTable().contains(oxAccessEntry_c(id, 100))) << id;
}

TEST_F(coxKernelLoaderTest, ExceptionWhileTheObjectIsBuiltIsReportedAtLine169) {
    dir.copyModule("fkFileGroup.dll");
    const oxLiveAllocations live; // the module's own message object goes with it
    const oxp::ModuleHandle own = hold("fkFileGroup.dll");
    sp.slot[coxSlotAddGroupFromFile].status = 0x5;
    EXPECT_FALSE(load("fkFileGroup.dll"));
    EXPECT_EQ(status, oxStatusModuleLoadFailed);
    ASSERT_EQ(boxes.count(), 2u); // the component's own error, then the kernel's
    EXPECT_NE(boxes.boxes()[0].text.find("could not be registered"), std::string::npos);
    EXPECT_TRUE(coxBoxIs(boxes.boxes()[1], coxKern1, 169, "fkFileGroup.dll"));
    EXPECT_EQ(kernel->componentObjects().count(), 0u);
    EXPECT_EQ(kernel->accessTable().count(), 0u);
    oxp::freeModule(own);
    EXPECT_FALSE(loadedFile(own));
    EXPECT_EQ(live.leaked(), 0);
}

// Every allocation of a load may fail. The version buffer's failure leaves loadModule as
// oxInsufficientMemory_c (line 280); a null object is raised at line 137; a failure inside
// coxBaseConstruct or during registration gives 0x6001 without a 0x1001 box. Every case
// leaves nothing loaded, registered or allocated.
TEST_F(coxKernelLoaderTest, AllocationFailuresDuringALoadLeaveNothingBehind) {
    dir.copyModule("osComp.dll");
    const oxp::ModuleHandle own = hold("osComp.dll"); // its static objects stay built
    ASSERT_NE(own, 0u);
    bool buffer = false, nullObject = false, insideConstruct = false, loadedAtLast = false;
    for (std::uint32_t k = 1; k <= 80 && !loadedAtLast; ++k) {
        SCOPED_TRACE(k);
        boxes.clear();
        relistGroups();
        const oxString_c name("osComp.dll");
        const oxLiveAllocations live;
        bool result = false;
        status = 0;
        try {
            const oxFailAllocation fail(k);
            result = kernel->loadModule(name, &status);
        } catch (const oxInsufficientMemory_c&) {
            ASSERT_EQ(boxes.count(), 1u);
            buffer = buffer || coxBoxIs(boxes.boxes()[0], coxKern1, 280, "not enough memory");
            EXPECT_EQ(live.leaked(), 0);
            continue;
        }
        if (result) {
            loadedAtLast = boxes.count() == 0;
            EXPECT_EQ(loaded(), (coxNames{"osComp.dll"}));
            std::uint32_t unloadStatus = 0;
            EXPECT_TRUE(kernel->unloadModule(oxString_c("osComp.dll"), &unloadStatus));
        } else {
            EXPECT_EQ(status, oxStatusModuleLoadFailed);
            ASSERT_EQ(boxes.count(), 1u);
            EXPECT_EQ(boxes.boxes()[0].text.find("The component module"), std::string::npos);
            if (coxBoxIs(boxes.boxes()[0], coxKern1, 137, "not enough memory"))
                nullObject = true;
            else
                insideConstruct = true;
        }
        EXPECT_EQ(kernel->componentObjects().count(), 0u);
        EXPECT_EQ(kernel->accessTable().count(), 0u);
        relistGroups();
        EXPECT_EQ(live.leaked(), 0);
    }
    EXPECT_TRUE(buffer);
    EXPECT_TRUE(nullObject);
    EXPECT_TRUE(insideConstruct);
    EXPECT_TRUE(loadedAtLast);
    oxp::freeModule(own);
    EXPECT_FALSE(loadedFile(own)); // no failed load kept a reference
}

TEST_F(coxKernelLoaderTest, DirectoryFileIsLoadedWhatEverTheSearchOrderWouldFindFirst) {
    // The build's own osComp.dll is already loaded and lies in the program's directory.
    oxp::seam::setProgramDirectory(OX_BIN_DIR);
    const oxp::ModuleHandle built = oxp::loadModule(coxKernelDirectory::builtPath("osComp.dll").c_str());
    ASSERT_NE(built, 0u);
    dir.copyModule("osComp.dll");
    EXPECT_TRUE(load("osComp.dll"));
    const oxp::ModuleHandle used = object("osComp.dll")->moduleHandle();
    EXPECT_NE(used, built);
    EXPECT_EQ(oxp::moduleFileName(used), std::filesystem::canonical(dir / "osComp.dll"));
    EXPECT_TRUE(unload("osComp.dll"));
    EXPECT_FALSE(loadedFile(used));
    oxp::freeModule(built);
}

TEST_F(coxKernelLoaderTest, ScanTriesEveryDllInNameOrderAndSkipsTheRestSilently) {
    dir.copyModule("osComp.dll");
    dir.copyModule("fkTimer.dll", "BTIMER.DLL");
    dir.copyModule("fkTimer.dll", "aTimer.Dll");
    dir.copyModule("fkNoTag.dll");
    dir.addLanguageModules();
    dir.write("readme.txt", "not a candidate");
    kernel->loadAllModules();
    EXPECT_EQ(loaded(), (coxNames{"aTimer.Dll", "BTIMER.DLL", "osComp.dll"}));
    EXPECT_EQ(boxes.count(), 0u);
    // Two copies of one file are two modules.
    EXPECT_NE(object("aTimer.Dll")->moduleHandle(), object("BTIMER.DLL")->moduleHandle());
    // A second scan finds everything loaded already.
    sp.calls.clear();
    kernel->loadAllModules();
    EXPECT_EQ(kernel->componentObjects().count(), 3u);
    EXPECT_TRUE(sp.calls.empty());
}

TEST_F(coxKernelLoaderTest, DirectoryWithoutModulesLoadsAndReportsNothing) {
    dir.writeMif();
    kernel->loadAllModules();
    EXPECT_EQ(kernel->componentObjects().count(), 0u);
    EXPECT_EQ(boxes.count(), 0u);
    EXPECT_TRUE(sp.calls.empty());
}

TEST_F(coxKernelLoaderTest, ExceptionThatEscapesOneLoadEndsTheScanWithLine205) {
    dir.copyModule("fkTimer.dll", "aTimer.dll");
    dir.copyModule("osComp.dll");
    bool stopped = false;
    for (std::uint32_t k = 1; k <= 6 && !stopped; ++k) {
        boxes.clear();
        {
            const oxFailAllocation fail(k);
            kernel->loadAllModules();
        }
        if (boxes.count() == 2 && coxBoxIs(boxes.boxes()[0], coxKern1, 280, "memory")) {
            stopped = true;
            EXPECT_TRUE(coxBoxIs(boxes.boxes()[1], coxKern1, 205, moduleFailed + "aTimer.dll"));
            EXPECT_EQ(kernel->componentObjects().count(), 0u); // osComp.dll was not tried
        }
        kernel->unloadAllModules();
    }
    EXPECT_TRUE(stopped);
}

TEST_F(coxKernelLoaderTest, ScanOfADirectoryThatIsGoneThrowsInvalidDirectory) {
    std::filesystem::current_path(dir.path() + "/..");
    std::filesystem::remove_all(dir.path());
    EXPECT_THROW(kernel->loadAllModules(), oxInvalidDirectory_c);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_TRUE(coxBoxIs(boxes.boxes()[0], coxKern1, 99, "made current"));
}

TEST_F(coxKernelLoaderTest, UnloadingANameThatIsNotLoadedLeavesTheStatusAsItCame) {
    EXPECT_TRUE(unload("osComp.dll", 0));
    EXPECT_EQ(status, 0u);
    EXPECT_FALSE(unload("osComp.dll", 0x1234));
    EXPECT_EQ(status, 0x1234u);
    EXPECT_TRUE(sp.calls.empty());
}

TEST_F(coxKernelLoaderTest, UnloadTakesThePairsOutBeforeTheObjectIsDestroyedAndFreesTheModule) {
    dir.copyModule("fkTimer.dll");
    dir.copyModule("fkFileGroup.dll");
    ASSERT_TRUE(load("fkTimer.dll"));
    ASSERT_TRUE(load("fkFileGroup.dll"));
    const oxp::ModuleHandle handle = object("fkTimer.dll")->moduleHandle();
    std::uint32_t pairsAtDestruct = 99;
    bool listedAtDestruct = true;
    sp.slot[coxSlotDeleteGroup].effect = [&](const oxRecordedCall& call) {
        if (call.text == "destruct fkTimer.dll") {
            pairsAtDestruct = kernel->accessTable().count();
            listedAtDestruct = kernel->componentObjects().contains(oxString_c("fkTimer.dll"));
        }
    };
    EXPECT_TRUE(unload("fkTimer.dll"));
    EXPECT_EQ(pairsAtDestruct, 3u); // only fkFileGroup's pairs remain
    EXPECT_FALSE(listedAtDestruct);
    EXPECT_EQ(destructed(), (coxNames{"fkTimer.dll"}));
    EXPECT_FALSE(loadedFile(handle));
    EXPECT_EQ(loaded(), (coxNames{"fkFileGroup.dll"}));
    // The object's own module name may be handed in: it is copied before the object goes.
    EXPECT_TRUE(kernel->unloadModule(object("fkFileGroup.dll")->moduleName(), &status));
    EXPECT_EQ(kernel->componentObjects().count(), 0u);
}

TEST_F(coxKernelLoaderTest, ModuleWithoutCoxBaseDestructAtUnloadIsReportedAtLine236) {
    dir.copyModule("fkNoDestruct.dll");
    const oxp::ModuleHandle own = hold("fkNoDestruct.dll");
    auto* manual = new coxManualComponent_c(kernel.get());
    manual->setModuleHandle(hold("fkNoDestruct.dll")); // the reference the kernel frees
    manual->setModuleName(oxString_c("manual.dll"));
    kernel->componentObjects().add(manual);
    kernel->accessTable().addAll(oxAccessList_c(manual->attributeIds(), 0));

    EXPECT_FALSE(unload("manual.dll"));
    EXPECT_EQ(status, oxStatusModuleLoadFailed);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_TRUE(coxBoxIs(boxes.boxes()[0], coxKern1, 236, moduleFailed + "manual.dll"));
    EXPECT_EQ(kernel->componentObjects().count(), 0u);
    EXPECT_EQ(kernel->accessTable().count(), 0u);
    EXPECT_STREQ(manual->moduleName().text(), "manual.dll"); // not destroyed
    delete manual;
    EXPECT_TRUE(loadedFile(own));
    oxp::freeModule(own);
    EXPECT_FALSE(loadedFile(own)); // the kernel freed its reference
}

TEST_F(coxKernelLoaderTest, AllocationFailureDuringUnloadKeepsTheModuleRegistered) {
    dir.copyModule("fkTimer.dll");
    ASSERT_TRUE(load("fkTimer.dll"));
    boxes.clear();
    const oxString_c name("fkTimer.dll");
    status = 0;
    {
        const oxFailAllocation fail(1);
        EXPECT_FALSE(kernel->unloadModule(name, &status));
    }
    EXPECT_EQ(status, oxStatusModuleLoadFailed);
    EXPECT_EQ(boxes.count(), 1u); // the memory error's own box, no 0x1001
    EXPECT_EQ(boxes.boxes()[0].text.find("The component module"), std::string::npos);
    EXPECT_EQ(loaded(), (coxNames{"fkTimer.dll"}));
    EXPECT_EQ(kernel->accessTable().count(), 2u);
    EXPECT_TRUE(unload("fkTimer.dll"));
    EXPECT_EQ(kernel->componentObjects().count(), 0u);
}

TEST_F(coxKernelLoaderTest, OtherExceptionDuringUnloadIsReportedAtLine248) {
    dir.copyModule("fkTimer.dll");
    ASSERT_TRUE(load("fkTimer.dll"));
    coxBase_c* timer = object("fkTimer.dll");
    const oxp::ModuleHandle handle = timer->moduleHandle();
    sp.slot[coxSlotDeleteGroup].effect = [](const oxRecordedCall&) {
        throw std::runtime_error("provider failure");
    };
    EXPECT_FALSE(unload("fkTimer.dll"));
    EXPECT_EQ(status, oxStatusModuleLoadFailed);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_TRUE(coxBoxIs(boxes.boxes()[0], coxKern1, 248, moduleFailed + "fkTimer.dll"));
    EXPECT_EQ(kernel->componentObjects().count(), 0u);
    EXPECT_EQ(kernel->accessTable().count(), 0u);
    // The destruction broke off: the object and its module are still there. Clean up.
    sp.slot[coxSlotDeleteGroup].effect = nullptr;
    ASSERT_TRUE(loadedFile(handle));
    reinterpret_cast<coxDestructFn>(oxp::findSymbol(handle, "coxBaseDestruct"))(timer);
    oxp::freeModule(handle);
    EXPECT_FALSE(loadedFile(handle));
}

TEST_F(coxKernelLoaderTest, ReannounceTellsTheProviderOfLoadsAndUnloads) {
    kernel->setReannounce(true);
    dir.copyModule("fkTimer.dll");
    ASSERT_TRUE(load("fkTimer.dll"));
    EXPECT_EQ(sp.slots(), (coxSlots{31, 27}));
    EXPECT_EQ(sp.calls[0].first, kernel.get());
    sp.calls.clear();
    EXPECT_TRUE(unload("fkTimer.dll"));
    ASSERT_EQ(sp.slots(), (coxSlots{31, 27, 22}));
    EXPECT_EQ(destructed(), (coxNames{"fkTimer.dll"})); // announced before the object goes
}

TEST_F(coxKernelLoaderTest, RefusedReannouncementTakesTheLoadBackWholly) {
    kernel->setReannounce(true);
    dir.copyModule("fkTimer.dll");
    const oxp::ModuleHandle own = hold("fkTimer.dll");
    struct Case {
        std::uint32_t status;
        bool result;
        std::uint32_t expected;
    };
    for (const Case& c : {Case{0x44, true, 0x44}, Case{0, false, oxStatusModuleLoadFailed}}) {
        sp.calls.clear();
        sp.slot[coxSlotAnnounceComponents].status = c.status;
        sp.slot[coxSlotAnnounceComponents].result = c.result;
        EXPECT_FALSE(load("fkTimer.dll"));
        EXPECT_EQ(status, c.expected);
        EXPECT_EQ(kernel->componentObjects().count(), 0u);
        EXPECT_EQ(kernel->accessTable().count(), 0u); // its pairs are gone too
        EXPECT_EQ(destructed(), (coxNames{"fkTimer.dll"}));
    }
    oxp::freeModule(own);
    EXPECT_FALSE(loadedFile(own));
}

} // namespace
