// The module loader on real module files: the version test, the failures of a load and of an
// unload with the boxes they show, the loading-name announcement, the scan, allocation failures
// and the re-announce path.
#include "coxKernelFixture.h"
#include <cstring>

namespace {

class coxKernelLoaderTest : public coxKernelTest {
  protected:
    // A kernel on the still empty directory: nothing installed, nothing loaded.
    void SetUp() override { make(); }
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
        return oxp::loadModule((dir / name).string().c_str());
    }
};

TEST_F(coxKernelLoaderTest, ModulesLoadOnceAndUnloadWholly) {
    copy("fkNoTag.dll"); // the tag only in its string table; its entry would show a box
    write("text.dll", "not a module\n");
    for (const char* name : {"absent.dll", "fkNoTag.dll", "text.dll"})
        EXPECT_EQ(load(name), std::pair(false, oxStatusNotComponentModule)) << name;
    EXPECT_EQ(boxes.count(), 0u); // neither file's code ran
    for (const char* name : {"timer.dll", "files.dll", "refuses.dll"})
        copy("fkRoles.dll", name);
    EXPECT_TRUE(load("timer.dll").first);
    EXPECT_EQ(load("timer.dll"), std::pair(false, oxStatusNotComponentModule)); // loaded already
    EXPECT_TRUE(load("files.dll").first); // its groups come from its definition files
    // A module that leaves a status is built (its groups added, from files named after it),
    // then destroyed through its own entry point, which deletes both groups again.
    sp.calls.clear();
    EXPECT_EQ(load("refuses.dll"), std::pair(false, oxStatusNoComponent));
    EXPECT_EQ(sp.slots(), (coxSlots{20, 18, 20, 18, 22, 22, 22, 18}));
    EXPECT_EQ(sp.calls[0].text, dir.string() + "\\refuses.grp");
    // An unload destroys the object through its module, then frees the module.
    const oxp::ModuleHandle handle = object("timer.dll")->moduleHandle();
    EXPECT_TRUE(unload("timer.dll").first);
    EXPECT_EQ(destructed(), (coxNames{"", "timer.dll"}));
    EXPECT_TRUE(oxp::moduleFileName(handle).empty());
    const oxString_c files("files.dll");
    {
        const oxFailAllocation fail(1); // no memory for the name's copy: nothing changes
        EXPECT_FALSE(kernel->unloadModule(files, &status));
    }
    EXPECT_EQ(status, oxStatusModuleLoadFailed);
    // The object's own module name may be handed in: it is copied before the object goes.
    EXPECT_TRUE(kernel->unloadModule(object("files.dll")->moduleName(), &(status = 0)));
    expectNothingLoaded();
    EXPECT_EQ(unload("timer.dll", 0x1234), std::pair(false, 0x1234u)); // not loaded: kept
}

// Each failure is reported with the module's name and takes back all the load did.
TEST_F(coxKernelLoaderTest, FailedLoadsAreReportedAndLeaveNothingBehind) {
    std::ifstream in(std::filesystem::path(OX_BIN_DIR) / "fkRoles.dll", std::ios::binary);
    std::string foreign{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
#ifdef _WIN32
    std::uint32_t peHeader = 0;
    std::memcpy(&peHeader, &foreign[0x3C], sizeof peHeader);
    foreign[peHeader + 4] = 0x4C; // COFF machine i386: another CPU than the x86-64 image's
    foreign[peHeader + 5] = 0x01;
#else
    foreign[18] = static_cast<char>(foreign[18] == 0x28 ? 0xB7 : 0x28); // e_machine: another CPU
    foreign[19] = 0;
#endif
    write("alien.dll", foreign); // its version block reads, but it cannot be loaded
    copy("fkNoDestruct.dll");    // no coxBaseDestruct: freed before anything is built
    copy("fkRoles.dll", "files.dll");
    sp.slot[coxSlotAddGroupFromFile].status = 5; // files.dll's error, then the kernel's box
    for (const auto& [name, line] :
         {std::pair{"alien.dll", 111u}, {"fkNoDestruct.dll", 125u}, {"files.dll", 169u}}) {
        boxes.clear();
        const oxLiveAllocations live; // the module's own message object goes with it
        EXPECT_EQ(load(name), std::pair(false, oxStatusModuleLoadFailed));
        const std::string piece = "module " + std::string(name);
        EXPECT_THAT(boxes.boxes(), testing::Contains(coxBox(coxKern1, line, piece)));
        expectNothingLoaded();
        EXPECT_EQ(live.leaked(), 0);
    }
}

// Any allocation of a load may fail: the version buffer's failure throws (line 280), a null
// object is raised at line 137, a failure inside coxBaseConstruct or during registration is
// 0x6001, never with the module's own box. Nothing stays loaded, registered or allocated.
TEST_F(coxKernelLoaderTest, AllocationFailuresDuringALoadLeaveNothingBehind) {
    copy("osComp.dll");
    const oxp::ModuleHandle own = hold("osComp.dll"); // its static objects stay built
    std::set<std::string> sites;
    bool loaded = false;
    for (std::uint32_t k = 1; k <= 80 && !loaded; ++k) {
        SCOPED_TRACE(k);
        boxes.clear();
        const oxLiveAllocations live;
        try {
            const oxFailAllocation fail(k);
            loaded = load("osComp.dll").first;
            EXPECT_TRUE(loaded || status == oxStatusModuleLoadFailed);
        } catch (const oxInsufficientMemory_c&) {
            sites.insert("thrown");
        }
        for (const oxRecordedBox& box : boxes.boxes())
            sites.insert(box.text.substr(0, box.text.find(oxBoxLineBreak)));
        kernel->unloadAllModules();
        sp.groups.resize(6); // the provider and the kernel forget osComp's event groups
        sp.listGroups(kernel->ownDescription(), kernel->groups(), kernel->spContext(), &status);
        EXPECT_EQ(live.leaked(), 0);
    }
    EXPECT_TRUE(sites.contains("thrown") && sites.contains(coxKern1 + "::280"));
    EXPECT_TRUE(sites.contains(coxKern1 + "::137"));
    EXPECT_FALSE(sites.contains(coxKern1 + "::169"));
    oxp::freeModule(own);
    EXPECT_TRUE(oxp::moduleFileName(own).empty()); // no failed load kept a reference
}

// The directory's copy is loaded even when the build's own osComp.dll is already loaded and
// lies in the program's directory. A load that throws ends the scan.
TEST_F(coxKernelLoaderTest, ScanLoadsTheDirectorysDllsInNameOrderUntilALoadThrows) {
    oxp::seam::setProgramDirectory(OX_BIN_DIR);
    const oxp::ModuleHandle built =
        oxp::loadModule((std::filesystem::path(OX_BIN_DIR) / "osComp.dll").string().c_str());
    copy("osComp.dll");
    copy("fkRoles.dll", "BTimer.DLL");
    copy("fkRoles.dll", "aTimer.Dll");
    write("readme.txt", "");
    kernel->loadAllModules();
    EXPECT_EQ(loaded(), (coxNames{"aTimer.Dll", "BTimer.DLL", "osComp.dll"}));
    const oxp::ModuleHandle used = object("osComp.dll")->moduleHandle();
    EXPECT_EQ(oxp::moduleFileName(used), std::filesystem::canonical(dir / "osComp.dll"));
    kernel->unloadAllModules();
    {
        const oxFailAllocation fail(1); // the first candidate's name: no other one is tried
        kernel->loadAllModules();
    }
    EXPECT_THAT(boxes.boxes().back(), coxBox(coxKern1, 205, "aTimer.Dll"));
    expectNothingLoaded();
    {
        const oxFailAllocation fail(3); // name, version buffer, then the path: that load fails
        kernel->loadAllModules();
    }
    EXPECT_EQ(loaded(), (coxNames{"BTimer.DLL", "osComp.dll"}));
    oxp::freeModule(built);
}

// An object whose module has no coxBaseDestruct is reported and stays undestroyed; a provider
// failure after the object left the lists is reported and the object still destroyed. Either
// way the object leaves the lists and its module is freed.
TEST_F(coxKernelLoaderTest, UnloadThatFailsIsReportedTakesTheObjectOutOfTheListsAndFreesTheModule) {
    copy("fkRoles.dll", "timer.dll");
    copy("fkNoDestruct.dll");
    for (const std::uint32_t line : {236u, 248u}) {
        ASSERT_TRUE(load("timer.dll").first);
        coxBase_c* timer = object("timer.dll");
        const oxp::ModuleHandle handle = timer->moduleHandle();
        if (line == 236)
            timer->setModuleHandle(hold("fkNoDestruct.dll")); // the kernel frees it all the same
        kernel->setReannounce(line == 248);
        sp.slot[coxSlotWithdrawComponents].effect = coxThrow; // after the object left the lists
        boxes.clear();
        EXPECT_EQ(unload("timer.dll"), std::pair(false, oxStatusModuleLoadFailed));
        EXPECT_THAT(boxes.boxes(), ElementsAre(coxBox(coxKern1, line, "module timer.dll")));
        expectNothingLoaded();
        sp.slot[coxSlotWithdrawComponents].effect = nullptr;
        if (line == 248) { // destroyed and freed all the same
            EXPECT_EQ(destructed(), coxNames{"timer.dll"});
            break;
        }
        reinterpret_cast<void (*)(coxBase_c*)>(oxp::findSymbol(handle, "coxBaseDestruct"))(timer);
        oxp::freeModule(handle);
        sp.calls.clear();
    }
}

TEST_F(coxKernelLoaderTest, ReannounceTellsTheProviderOfLoadsAndTakesARefusedLoadBackWholly) {
    kernel->setReannounce(true);
    copy("fkRoles.dll", "timer.dll");
    sp.calls.clear();
    ASSERT_TRUE(load("timer.dll").first);
    EXPECT_TRUE(unload("timer.dll").first);
    EXPECT_EQ(sp.slots(), (coxSlots{31, 27, 31, 27, 22})); // announced before the object goes
    for (const auto& [refusal, result, expected] :
         {std::tuple{0x44u, true, 0x44u}, {0u, false, oxStatusModuleLoadFailed}}) {
        sp.calls.clear();
        sp.slot[coxSlotAnnounceComponents] = {result, refusal, nullptr};
        EXPECT_EQ(load("timer.dll"), std::pair(false, expected));
        expectNothingLoaded(); // its pairs are gone too
        EXPECT_EQ(destructed(), (coxNames{"timer.dll"}));
    }
}

} // namespace
