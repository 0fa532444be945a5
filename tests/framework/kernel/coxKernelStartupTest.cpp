// Kernel start-up on real directories: MIF and MIX discovery, installation, description and
// group refresh, module scan, duplicate check and group comparison, with the provider's calls
// in order and the boxes of refused installations.
#include "coxKernelFixture.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxStatus.h"
#include "framework/types/oxAccessList.h"
#include <stdexcept>

namespace {

using ::testing::ElementsAre;
using coxKernelStartupTest = coxKernelTest;

// The MIF file wins over the MIX file, which names the component when there is no MIF file.
TEST_F(coxKernelStartupTest, ComponentIsInstalledFromItsFilesAndItsModulesLoaded) {
    struct Case {
        const char *mif, *mix, *mifName; // the directory's files, the MIF name given
        std::uint32_t install;           // slot, 0 for none
        oxString_c name, language;
    };
    const Case cases[] = {
        {"Os.mif", "no language statement", nullptr, 13, "Os.mif", "en|US|iso8859-1"},
        {"Other.mif", nullptr, "..\\given\\Os.mif", 12, "Unknown", "en|US|iso8859-1"},
        {nullptr, "Language = \"de|DE|iso8859-1\"\nName = \"Operating System\"\n", nullptr, 14,
         "Operating System", "de|DE|iso8859-1"},
        {nullptr, nullptr, nullptr, 0, "Unknown", "en|US|iso8859-1"},
    };
    copy("osComp.dll");
    copy("oxLng.dll"); // not a component module: skipped silently
    for (const Case& c : cases) {
        SCOPED_TRACE(c.install);
        for (const char* file : {"Os.mif", "Other.mif", "Os.mix"})
            std::filesystem::remove(dir / file);
        if (c.mif)
            writeMif(c.mif);
        if (c.mix)
            write("Os.mix", c.mix);
        sp.calls.clear();
        kernel = c.mifName ? std::make_unique<coxKernel_c>(c.mifName, dir.c_str(), &sp, &status)
                           : std::make_unique<coxKernel_c>(dir.c_str(), &sp, &status);
        coxKernel_c& k = *kernel;
        const bool mif = c.install == 12 || c.install == 13;
        coxSlots slots{9, 18, 20, 18, 11};
        if (c.install)
            slots.insert(slots.begin(), c.install);
        if (mif) // the group comparison
            slots.push_back(18);
        EXPECT_EQ(status, 0u);
        EXPECT_EQ(sp.slots(), slots);
        EXPECT_EQ(sp.calls[0].text, c.mifName ? c.mifName
                                    : mif     ? kernelPath("Os.mif")
                                              : c.name.text());
        EXPECT_EQ(sp.calls.back().context, &k.spContext()); // the kernel's calls pass its own
        EXPECT_EQ(k.installedFromMIF(), mif);
        EXPECT_FALSE(k.wideStrings() || k.started() || k.reannounce());
        EXPECT_EQ(k.ownDescription().id, c.install ? sp.componentId : 0u);
        EXPECT_TRUE(k.ownDescription().name == c.name && k.language() == c.language);
        EXPECT_EQ(k.groups().count(), sp.groups.size()); // those listed, the event group added
        EXPECT_EQ(loaded(), (coxNames{"osComp.dll"}));
        EXPECT_EQ(k.accessTable().count(), 5u);
        for (std::uint32_t id : {1u, 2u, 3u, 4u, 6u})
            EXPECT_TRUE(k.accessTable().contains(oxAccessEntry_c(id, coxIdGroup))) << id;
        EXPECT_EQ(boxes.count(), 0u);
        sp.calls.clear();
        kernel.reset(); // a component installed from a MIF is deleted
        EXPECT_EQ(sp.callsOf(coxSlotDeleteComponent).size(), mif ? 1u : 0u);
    }
}

TEST_F(coxKernelStartupTest, MixFileTheReaderCannotUseThrowsItsFatalErrorAndCallsNothing) {
    write("bad.mix", "Language = \"en\"\n"); // no Name statement
    EXPECT_THROW(make(), oxFatal_c);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_THAT(boxes.boxes()[0].text, ::testing::HasSubstr("Invalid 'mix' file format"));
    EXPECT_TRUE(sp.calls.empty());
}

// A refusal is reported; with a status the start-up ends there, as with a status on entry.
TEST_F(coxKernelStartupTest, RefusedInstallationIsReportedAndAStatusEndsTheStartUp) {
    struct Case {
        std::uint32_t slot, entry, refusal, line;
        std::string piece;
        coxSlots slots;
    };
    const Case cases[] = {
        {coxSlotInstallFromMIF,
         0,
         0x6A,
         55,
         "refused to install the component from " + kernelPath("Os.mif") + ".",
         {13}},
        {coxSlotInstallFromMIF, 0, 0, 55, kernelPath("Os.mif"), {13, 9, 18, 20, 18, 11, 18}},
        {coxSlotInstallFromMIF, 0x42, 0, 0, "", {13}},
        {coxSlotInstallByName,
         0,
         0x6A,
         59,
         "refused the component Named One named in the MIX",
         {14}},
        {coxSlotInstallFromMIFName, 0, 0x6A, 93, "from the given MIF name.", {12}},
    };
    copy("osComp.dll");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::filesystem::remove(dir / "Os.mif");
        std::filesystem::remove(dir / "Os.mix");
        if (c.slot == coxSlotInstallFromMIF)
            writeMif();
        if (c.slot == coxSlotInstallByName)
            writeMix("Os.mix", "en", "Named One");
        sp = oxRecordingServiceProvider();
        sp.slot[c.slot] = {c.entry != 0, c.refusal, nullptr};
        boxes.clear();
        if (c.slot == coxSlotInstallFromMIFName)
            kernel = std::make_unique<coxKernel_c>("given.mif", dir.c_str(), &sp, &(status = 0));
        else
            make(c.entry);
        EXPECT_EQ(status, c.entry | c.refusal);
        EXPECT_EQ(sp.slots(), c.slots);
        EXPECT_EQ(sp.calls[0].statusIn, c.entry); // the caller's status goes over as is
        EXPECT_EQ(kernel->componentObjects().count(), c.slots.size() > 1 ? 1u : 0u);
        if (c.line != 0) {
            EXPECT_THAT(boxes.boxes(), ElementsAre(coxBox(coxKern, c.line, c.piece)));
        } else {
            EXPECT_EQ(boxes.count(), 0u);
        }
        kernel.reset();
    }
}

TEST_F(coxKernelStartupTest, DuplicatesAreDeletedForAMifComponentAndFailOtherStartUps) {
    writeMif();
    sp.components = {{7, "Os.mif"}, {3, "Os.mif"}, {4, "Other.mif"}, {5, "Os.mif"}};
    sp.slot[coxSlotDeleteComponent].status = 0x33; // refused deletions do not stop the check
    make();
    EXPECT_EQ(status, 0x33u);
    EXPECT_EQ(sp.slots(), (coxSlots{13, 9, 18, 11, 15, 15, 18})); // not its own ID 7
    EXPECT_EQ(std::pair(sp.calls[4].id, sp.calls[5].id), std::pair(3u, 5u));
    kernel.reset();
    std::filesystem::remove(dir / "Os.mif");
    writeMix("Os.mix", "en", "Os");
    sp = oxRecordingServiceProvider();
    sp.components = {{7, "Os"}, {3, "Other"}, {4, "Os"}, {5, "Os"}};
    make();
    EXPECT_EQ(status, oxStatusDuplicateComponent);
    EXPECT_EQ(sp.slots(), (coxSlots{14, 9, 18, 11}));
    EXPECT_THAT(boxes.boxes(), // the check stops at the first duplicate
                ElementsAre(coxBox(coxKern, 876, "An equal component is already")));
    kernel.reset();
    sp.slot[coxSlotListComponents].status = 0x77; // a refused list ends the check
    make();
    EXPECT_EQ(status, 0x77u);
    EXPECT_EQ(boxes.count(), 1u); // no new one
}

TEST_F(coxKernelStartupTest, GroupComparisonKeepsTheGroupsNoLoadedObjectServes) {
    writeMif();
    sp.slot[coxSlotListComponents].effect = [&](const oxRecordedCall&) {
        sp.slot[coxSlotListGroups].status = 0x5; // only the comparison's listing is refused
    };
    make();
    EXPECT_EQ(status, 0u); // the comparison's outcome is dropped
    EXPECT_EQ(kernel->unservedGroups().count(), 0u);
    kernel.reset();
    sp.slot[coxSlotListComponents] = sp.slot[coxSlotListGroups] = oxSlotProgram();
    copy("osComp.dll");
    copy("fkRoles.dll", "timer.dll");
    sp.groups.emplace_back(15, "FK|Timer|001"); // a second group of a served class stays
    const oxGroupList_c& rest = make().unservedGroups();
    // 11 and 12/13 are served, 100 is osComp's event group from its file.
    coxSlots ids;
    for (std::uint32_t i = 0; i < rest.count(); ++i)
        ids.push_back(rest.at(i)->id);
    EXPECT_EQ(ids, (coxSlots{coxTableGroup, coxThrowerGroup, coxUnloadMeGroup, 15}));
    EXPECT_TRUE(sp.callsOf(coxSlotDeleteGroup).empty()); // the kernel does not act on them
}

// Every allocation of a MIX start-up may fail: the constructor then throws
// oxInsufficientMemory_c and leaves nothing behind; one of them is the reader's storage.
TEST_F(coxKernelStartupTest, AllocationFailuresDuringMixStartUpThrowAndLeakNothing) {
    writeMix("Os.mix", "en", "Os");
    bool readerRefused = false, completed = false;
    for (std::uint32_t k = 1; k <= 60 && !completed; ++k) {
        SCOPED_TRACE(k);
        boxes.clear();
        sp = oxRecordingServiceProvider();
        const oxLiveAllocations live;
        try {
            const oxFailAllocation fail(k);
            make();
            completed = boxes.count() == 0;
        } catch (const oxInsufficientMemory_c&) {
            ASSERT_GE(boxes.count(), 1u);
            readerRefused =
                readerRefused || testing::Value(boxes.boxes()[0], coxBox(coxKern1, 67, "memory"));
        }
        kernel.reset();
        EXPECT_EQ(live.leaked(), 0);
    }
    EXPECT_TRUE(readerRefused);
    EXPECT_TRUE(completed);
}

// Once modules are loaded, an exception that leaves the constructor takes them down again:
// their objects point at the kernel that is going away.
TEST_F(coxKernelStartupTest, ExceptionAfterTheModuleScanUnloadsTheLoadedModules) {
    writeMif();
    copy("fkRoles.dll", "timer.dll");
    copy("fkRoles.dll", "files.dll");
    const oxLiveAllocations live;
    sp.slot[coxSlotListComponents].effect = [](const oxRecordedCall&) {
        throw std::runtime_error("provider failure");
    };
    EXPECT_THROW(make(), std::runtime_error);
    EXPECT_EQ(destructed(), (coxNames{"files.dll", "timer.dll"}));
    EXPECT_EQ(live.leaked(), 0);
}

} // namespace
