// Kernel start-up on real directories: MIF and MIX discovery, installation, description and
// group refresh, module scan, duplicate check and group comparison, with the provider's calls
// in order and the boxes of refused installations.
#include "coxKernelFixture.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxStatus.h"
#include "framework/model/oxComponent.h"
#include "framework/types/oxAccessList.h"
#include <filesystem>
#include <stdexcept>

namespace {

class coxKernelStartupTest : public coxKernelFixture {
  protected:
    void ordinaryDirectory() {
        dir.copyModule("osComp.dll");
        dir.addLanguageModules();
    }
};

TEST_F(coxKernelStartupTest, MifDirectoryInstallsFromItsMifFileAndLoadsItsComponentModules) {
    dir.writeMif();
    ordinaryDirectory();
    coxKernel_c& k = make();

    EXPECT_EQ(status, 0u);
    EXPECT_EQ(sp.slots(), (coxSlots{13, 9, 18, 20, 18, 11, 18}));
    EXPECT_EQ(sp.calls[0].text, dir.kernelPath("Os.mif"));
    EXPECT_EQ(sp.calls[3].text, dir.kernelPath("osComp.evt")); // the object's event group
    for (std::size_t i : {0, 1, 2, 5, 6}) // the kernel's calls pass its own context
        EXPECT_EQ(sp.calls[i].context, &k.spContext()) << i;
    EXPECT_TRUE(k.installedFromMIF());
    EXPECT_FALSE(k.wideStrings());
    EXPECT_FALSE(k.started());
    EXPECT_FALSE(k.reannounce());
    EXPECT_EQ(k.ownDescription().id, sp.componentId);
    EXPECT_STREQ(k.ownDescription().name.text(), "Os.mif");
    EXPECT_STREQ(k.language().text(), "en|US|iso8859-1");
    EXPECT_EQ(k.groups().count(), 4u); // three listed, the event group added
    EXPECT_EQ(loaded(), (coxNames{"osComp.dll"})); // language modules skipped silently
    EXPECT_EQ(boxes.count(), 0u);

    const coxBase_c* os = object("osComp.dll");
    EXPECT_EQ(oxp::moduleFileName(os->moduleHandle()), std::filesystem::canonical(dir / "osComp.dll"));
    EXPECT_EQ(os->servedGroup().id, coxComponentIdGroup);
    EXPECT_EQ(k.accessTable().count(), 5u);
    for (std::uint32_t id : {1u, 2u, 3u, 4u, 6u})
        EXPECT_TRUE(k.accessTable().contains(oxAccessEntry_c(id, coxComponentIdGroup))) << id;
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir.path()));
    EXPECT_EQ(k.loadingModuleName().length(), 0u);
}

TEST_F(coxKernelStartupTest, SeveralMifFilesTheFirstInCaseInsensitiveNameOrderIsInstalled) {
    dir.writeMif("b.mif");
    dir.writeMif("C.MIF");
    dir.writeMif("a.Mif");
    make();
    ASSERT_FALSE(sp.calls.empty());
    EXPECT_EQ(sp.calls[0].slot, coxSlotInstallFromMIF);
    EXPECT_EQ(sp.calls[0].text, dir.kernelPath("a.Mif"));
    EXPECT_STREQ(kernel->ownDescription().name.text(), "a.Mif");
}

TEST_F(coxKernelStartupTest, MifFileWinsAndTheMixFileIsNotRead) {
    dir.writeMif();
    dir.write("Os.mix", "no language statement here"); // reading it would throw
    EXPECT_NO_THROW(make());
    EXPECT_EQ(sp.callsOf(coxSlotInstallFromMIF).size(), 1u);
    EXPECT_EQ(sp.callsOf(coxSlotInstallByName).size(), 0u);
    EXPECT_STREQ(kernel->language().text(), "en|US|iso8859-1");
}

TEST_F(coxKernelStartupTest, MixDirectoryInstallsByTheNameItReadsAndComparesNoGroups) {
    dir.writeMix("os.MIX", "de|DE|iso8859-1", "Operating System");
    ordinaryDirectory();
    coxKernel_c& k = make();

    EXPECT_EQ(status, 0u);
    EXPECT_EQ(sp.slots(), (coxSlots{14, 9, 18, 20, 18, 11}));
    EXPECT_EQ(sp.calls[0].text, "Operating System");
    EXPECT_FALSE(k.installedFromMIF());
    EXPECT_FALSE(k.wideStrings());
    EXPECT_STREQ(k.language().text(), "de|DE|iso8859-1");
    EXPECT_STREQ(k.ownDescription().name.text(), "Operating System");
    EXPECT_EQ(k.ownDescription().id, sp.componentId);
    EXPECT_EQ(loaded(), (coxNames{"osComp.dll"}));
    EXPECT_EQ(k.unservedGroups().count(), 0u);
}

TEST_F(coxKernelStartupTest, SixteenBitMixFileMakesTheKernelWorkWithWideStrings) {
    const std::u16string text = u"\xFEFFLanguage = \"en\"\r\nName = \"Wide Component\"\r\n";
    dir.write("w.mix", std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
    coxKernel_c& k = make();
    EXPECT_TRUE(k.wideStrings());
    EXPECT_TRUE(k.ownDescription().name.isWide());
    EXPECT_TRUE(k.ownDescription().name == oxString_c(u"Wide Component"));
    EXPECT_TRUE(k.language() == oxString_c(u"en"));
}

TEST_F(coxKernelStartupTest, MixFilesTheReaderCannotUseThrowItsFatalErrorOutOfTheConstructor) {
    dir.write("bad.mix", "Language = \"en\"\n"); // no Name statement
    EXPECT_THROW(make(), oxFatal_c);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_NE(boxes.boxes()[0].text.find("Invalid 'mix' file format"), std::string::npos);
    EXPECT_EQ(sp.calls.size(), 0u);
}

TEST_F(coxKernelStartupTest, NeitherFileInstallsNothingButStillRefreshesListsAndLoads) {
    ordinaryDirectory();
    coxKernel_c& k = make();
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(sp.slots(), (coxSlots{9, 18, 20, 18, 11}));
    EXPECT_EQ(k.ownDescription().id, 0u);
    EXPECT_STREQ(k.ownDescription().name.text(), "Unknown");
    EXPECT_FALSE(k.installedFromMIF());
    EXPECT_EQ(loaded(), (coxNames{"osComp.dll"}));
}

TEST_F(coxKernelStartupTest, RefusedInstallationIsReportedAndEndsTheStartUp) {
    struct Case {
        const char* name;
        std::uint32_t slot;
        std::uint32_t line;
        std::string piece;
    };
    coxKernelDirectory* d = &dir;
    const Case cases[] = {
        {"mif", coxSlotInstallFromMIF, 55,
         "refused to install the component from " + d->kernelPath("Os.mif") + "."},
        {"mix", coxSlotInstallByName, 59, "refused the component Named One named in the MIX"},
        {"mif name", coxSlotInstallFromMIFName, 93, "from the given MIF name."},
    };
    ordinaryDirectory();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir / "Os.mif");
        std::filesystem::remove(dir / "Os.mix");
        if (c.slot == coxSlotInstallFromMIF)
            dir.writeMif();
        if (c.slot == coxSlotInstallByName)
            dir.writeMix("Os.mix", "en", "Named One");
        sp = oxRecordingServiceProvider();
        sp.slot[c.slot].status = 0x6A;
        boxes.clear();
        status = 0;
        if (c.slot == coxSlotInstallFromMIFName)
            makeFromMifName("given.mif");
        else
            make();
        EXPECT_EQ(status, 0x6Au);
        EXPECT_EQ(sp.slots(), (coxSlots{c.slot})); // nothing after the refusal
        EXPECT_EQ(kernel->componentObjects().count(), 0u);
        EXPECT_EQ(kernel->ownDescription().id, 0u);
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_TRUE(coxBoxIs(boxes.boxes()[0], coxKern, c.line, c.piece));
        kernel.reset();
    }
}

TEST_F(coxKernelStartupTest, RefusalThatLeavesTheStatusAtZeroIsReportedAndTheStartUpGoesOn) {
    dir.writeMif();
    ordinaryDirectory();
    sp.slot[coxSlotInstallFromMIF].result = false;
    make();
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_TRUE(coxBoxIs(boxes.boxes()[0], coxKern, 55, "Os.mif"));
    EXPECT_EQ(sp.slots(), (coxSlots{13, 9, 18, 20, 18, 11, 18}));
    EXPECT_EQ(loaded(), (coxNames{"osComp.dll"}));
}

TEST_F(coxKernelStartupTest, NonZeroCallerStatusOnEntryStopsAfterTheInstallation) {
    dir.writeMif();
    ordinaryDirectory();
    status = 0x42;
    make();
    EXPECT_EQ(status, 0x42u);
    ASSERT_EQ(sp.slots(), (coxSlots{13}));
    EXPECT_EQ(sp.calls[0].statusIn, 0x42u); // the caller's status goes to the provider as is
    EXPECT_EQ(kernel->componentObjects().count(), 0u);
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelStartupTest, DirectoryThatCannotBeMadeCurrentThrowsInvalidDirectory) {
    const oxString_c missing((dir / "missing").c_str());
    EXPECT_THROW(coxKernel_c(missing, &sp, &status), oxInvalidDirectory_c);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_TRUE(coxBoxIs(boxes.boxes()[0], coxKern1, 99, "cannot be read or made current"));
    EXPECT_TRUE(sp.calls.empty());
    // A file is no directory either.
    const oxString_c file(dir.writeMif().c_str());
    EXPECT_THROW(coxKernel_c(file, &sp, &status), oxInvalidDirectory_c);
}

TEST_F(coxKernelStartupTest, MifNameConstructorInstallsThatNameWithoutDiscovery) {
    dir.writeMif("Other.mif"); // present but not looked for
    ordinaryDirectory();
    coxKernel_c& k = makeFromMifName("..\\given\\Os.mif");
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(sp.slots(), (coxSlots{12, 9, 18, 20, 18, 11, 18}));
    EXPECT_EQ(sp.calls[0].text, "..\\given\\Os.mif"); // handed over unchanged
    EXPECT_TRUE(k.installedFromMIF());
    EXPECT_STREQ(k.ownDescription().name.text(), "Unknown");
    EXPECT_EQ(k.ownDescription().id, sp.componentId);
    EXPECT_EQ(loaded(), (coxNames{"osComp.dll"}));
    kernel.reset();
    EXPECT_EQ(sp.callsOf(coxSlotDeleteComponent).size(), 1u); // installed from a MIF: deleted
}

TEST_F(coxKernelStartupTest, DuplicateCheckDeletesOlderCopiesOfAMifInstalledComponent) {
    dir.writeMif();
    sp.components = {{7, "Os.mif"}, {3, "Os.mif"}, {4, "Other.mif"}, {5, "Os.mif"}};
    sp.slot[coxSlotDeleteComponent].status = 0x33; // refused deletions do not stop the check
    make();
    const auto deletions = sp.callsOf(coxSlotDeleteComponent);
    ASSERT_EQ(deletions.size(), 2u);
    EXPECT_EQ(deletions[0].id, 3u);
    EXPECT_EQ(deletions[1].id, 5u);
    EXPECT_EQ(status, 0x33u);
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelStartupTest, DuplicateOfAComponentNotInstalledFromMifFailsTheStartUp) {
    dir.writeMix("Os.mix", "en", "Os");
    sp.components = {{3, "Other"}, {4, "Os"}, {5, "Os"}};
    make();
    EXPECT_EQ(status, oxStatusDuplicateComponent);
    EXPECT_EQ(sp.callsOf(coxSlotDeleteComponent).size(), 0u);
    ASSERT_EQ(boxes.count(), 1u); // the check stops at the first duplicate
    EXPECT_TRUE(coxBoxIs(boxes.boxes()[0], coxKern, 876, "An equal component is already"));
}

TEST_F(coxKernelStartupTest, DuplicateCheckCompareSkipsTheOwnIdAndEndsWhenTheListIsRefused) {
    dir.writeMix("Os.mix", "en", "Os");
    sp.components = {{7, "Os"}}; // the kernel's own installation
    make();
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(boxes.count(), 0u);

    kernel.reset();
    sp = oxRecordingServiceProvider();
    sp.components = {{4, "Os"}};
    sp.slot[coxSlotListComponents].status = 0x77;
    make();
    EXPECT_EQ(status, 0x77u);
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelStartupTest, GroupComparisonKeepsTheGroupsNoLoadedObjectServes) {
    dir.writeMif();
    ordinaryDirectory();
    dir.copyModule("fkTimer.dll");
    sp.groups.emplace_back(14, "FK|Spare|001");
    sp.groups.emplace_back(15, "FK|Timer|001"); // a second group of a served class stays
    coxKernel_c& k = make();
    ASSERT_EQ(loaded(), (coxNames{"fkTimer.dll", "osComp.dll"}));
    // 11 and 12/13 are served, 100 is osComp's event group from its file.
    const oxGroupList_c& rest = k.unservedGroups();
    ASSERT_EQ(rest.count(), 2u);
    EXPECT_EQ(rest.at(0)->id, 14u);
    EXPECT_EQ(rest.at(1)->id, 15u);
    // The kernel does not act on them.
    EXPECT_EQ(sp.callsOf(coxSlotDeleteGroup).size(), 0u);
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelStartupTest, GroupComparisonRefusedByTheProviderLeavesNoRemainder) {
    dir.writeMif();
    sp.slot[coxSlotListComponents].effect = [&](const oxRecordedCall&) {
        sp.slot[coxSlotListGroups].status = 0x5; // only the comparison's listing is refused
    };
    coxKernel_c& k = make();
    EXPECT_EQ(status, 0u); // the comparison's outcome is dropped
    EXPECT_EQ(sp.slots(), (coxSlots{13, 9, 18, 11, 18}));
    EXPECT_EQ(k.unservedGroups().count(), 0u);
}

// Every allocation of a MIX start-up may fail: the constructor then throws
// oxInsufficientMemory_c and leaves nothing behind; one of them is the reader's storage.
TEST_F(coxKernelStartupTest, AllocationFailuresDuringMixStartUpThrowAndLeakNothing) {
    dir.writeMix("Os.mix", "en", "Os");
    bool readerRefused = false;
    bool completed = false;
    for (std::uint32_t k = 1; k <= 60 && !completed; ++k) {
        SCOPED_TRACE(k);
        boxes.clear();
        sp = oxRecordingServiceProvider();
        status = 0;
        const oxLiveAllocations live;
        try {
            const oxFailAllocation fail(k);
            coxKernel_c probe(dir.directory(), &sp, &status);
            completed = boxes.count() == 0;
        } catch (const oxInsufficientMemory_c&) {
            ASSERT_GE(boxes.count(), 1u);
            readerRefused = readerRefused || coxBoxIs(boxes.boxes()[0], coxKern1, 67, "memory");
        }
        EXPECT_EQ(live.leaked(), 0);
    }
    EXPECT_TRUE(readerRefused);
    EXPECT_TRUE(completed);
}

// Once modules are loaded, an exception that leaves the constructor takes them down again:
// their objects point at the kernel that is going away.
TEST_F(coxKernelStartupTest, ExceptionAfterTheModuleScanUnloadsTheLoadedModules) {
    dir.writeMif();
    dir.copyModule("fkTimer.dll");
    dir.copyModule("fkFileGroup.dll");
    const oxLiveAllocations live;
    sp.slot[coxSlotListComponents].effect = [](const oxRecordedCall&) {
        throw std::runtime_error("provider failure");
    };
    EXPECT_THROW(make(), std::runtime_error);
    EXPECT_EQ(destructed(), (coxNames{"fkFileGroup.dll", "fkTimer.dll"}));
    EXPECT_EQ(live.leaked(), 0);
}

} // namespace
