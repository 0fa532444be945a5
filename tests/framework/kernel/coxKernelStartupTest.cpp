// Kernel start-up on real directories: MIF and MIX discovery, installation, description and
// group refresh, module scan, duplicate check and group comparison, with the provider's calls
// in order and the boxes of refused installations.
#include "coxKernelFixture.h"
#include <set>

namespace {

using coxKernelStartupTest = coxKernelTest;

// The MIF file wins over the MIX file, which names the component when there is no MIF file;
// a component installed from a MIF file is deleted again at teardown.
TEST_F(coxKernelStartupTest, ComponentIsInstalledFromItsFilesAndItsModulesLoaded) {
    const char* german = "Language = \"de|DE|iso8859-1\"\nName = \"Operating System\"\n";
    // clang-format off
    const struct {
        const char *mif, *mix; // the directory's files
        std::uint32_t install; // slot, 0 for none
        const char *name, *language;
        coxSlots slots; // the last listing of a MIF-installed component is the group comparison's
    } cases[] = {
        {"Os.mif", "no language statement", 13, "Os.mif", "en|US|iso8859-1", {13, 9, 18, 20, 18, 11, 18}},
        {nullptr, german, 14, "Operating System", "de|DE|iso8859-1", {14, 9, 18, 20, 18, 11}},
        {nullptr, nullptr, 0, "Unknown", "en|US|iso8859-1", {9, 18, 20, 18, 11}},
    };
    // clang-format on
    copy("osComp.dll");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.install);
        std::filesystem::remove(dir / "Os.mif");
        std::filesystem::remove(dir / "Os.mix");
        if (c.mif)
            writeMif(c.mif);
        if (c.mix)
            write("Os.mix", c.mix);
        sp.calls.clear();
        coxKernel_c& k = make();
        EXPECT_EQ(std::pair(status, sp.slots()), std::pair(0u, c.slots));
        EXPECT_EQ(sp.calls[0].text, c.mif ? dir.string() + "\\Os.mif" : c.name);
        EXPECT_EQ(std::pair(k.installedFromMIF(), k.ownDescription().id),
                  std::pair(c.mif != nullptr, c.install ? sp.componentId : 0u));
        EXPECT_TRUE(k.ownDescription().name == oxString_c(c.name) &&
                    k.language() == oxString_c(c.language));
        kernel.reset();
        EXPECT_EQ(sp.callsOf(coxSlotDeleteComponent).size(), c.mif ? 1u : 0u);
    }
}

// A refusal is reported; with a status the start-up ends there.
TEST_F(coxKernelStartupTest, RefusedInstallationIsReportedAndAStatusEndsTheStartUp) {
    const std::string mifPath = dir.string() + "\\Os.mif";
    // clang-format off
    const struct {
        std::uint32_t slot, refusal, line;
        std::string piece; // of the box
        coxSlots slots;
    } cases[] = {
        {coxSlotInstallFromMIF, 0x6A, 55, "install the component from " + mifPath + ".", {13}},
        {coxSlotInstallFromMIF, 0, 55, mifPath, {13, 9, 18, 20, 18, 11, 18}},
        {coxSlotInstallByName, 0x6A, 59, "refused the component Named One named in the MIX", {14}},
        {coxSlotInstallFromMIFName, 0x6A, 93, "from the given MIF name.", {12}},
    };
    // clang-format on
    copy("osComp.dll");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::filesystem::remove(dir / "Os.mif");
        if (c.slot == coxSlotInstallFromMIF)
            writeMif();
        if (c.slot == coxSlotInstallByName)
            write("Os.mix", "Language = \"en\"\nName = \"Named One\"\n");
        sp = oxRecordingServiceProvider();
        sp.slot[c.slot] = {false, c.refusal, nullptr};
        boxes.clear();
        status = 0;
        kernel = c.slot == coxSlotInstallFromMIFName
                     ? std::make_unique<coxKernel_c>("given.mif", dir.string().c_str(), &sp, &status)
                     : std::make_unique<coxKernel_c>(dir.string().c_str(), &sp, &status);
        EXPECT_EQ(std::pair(status, sp.slots()), std::pair(c.refusal, c.slots));
        EXPECT_THAT(boxes.boxes(), ElementsAre(coxBox(coxKern, c.line, c.piece)));
        kernel.reset();
    }
}

// Older copies (equal texts, other IDs) are deleted for a MIF-installed component and fail any
// other start-up; the groups no loaded object serves are kept, and not acted on.
TEST_F(coxKernelStartupTest, DuplicatesAreDeletedOrFailTheStartUpAndUnservedGroupsAreKept) {
    sp.components = {{7, "Os.mif"}, {3, "Os.mif"}, {4, "Other.mif"}, {5, "Os.mif"}};
    sp.slot[coxSlotDeleteComponent].status = 0x33; // refused deletions do not stop the check
    sp.groups.emplace_back(15, "FK|Timer|001");    // a second group of a served class stays
    writeMif();
    copy("osComp.dll");
    copy("fkRoles.dll", "timer.dll");
    const oxGroupList_c& rest = make().unservedGroups();
    const std::vector<oxRecordedCall> deleted = sp.callsOf(coxSlotDeleteComponent);
    ASSERT_EQ(std::pair(status, deleted.size()), std::pair(0x33u, std::size_t{2})); // not 7
    EXPECT_EQ(std::pair(deleted[0].id, deleted[1].id), std::pair(3u, 5u));
    // 11 and 12/13 are served, 100 is osComp's event group from its file.
    EXPECT_TRUE(rest.count() == 4 && rest.at(0)->id == coxTableGroup && rest.at(3)->id == 15);
    kernel.reset();
    std::filesystem::remove(dir / "Os.mif");
    write("Os.mix", "Language = \"en\"\nName = \"Os\"\n");
    sp = oxRecordingServiceProvider();
    sp.components = {{7, "Os"}, {3, "Other"}, {4, "Os"}, {5, "Os"}};
    make();
    EXPECT_EQ(status, oxStatusDuplicateComponent);
    EXPECT_THAT(boxes.boxes(), // the check stops at the first duplicate
                ElementsAre(coxBox(coxKern, 876, "An equal component is already")));
    sp.slot[coxSlotListComponents].status = 0x77; // a refused list ends the check
    make();
    EXPECT_EQ(std::pair(status, boxes.count()), std::pair(0x77u, std::size_t{1}));
}

// Memory running out at every step of a MIX start-up with its modules, then of its teardown:
// the reader's own raise, a module whose static objects cannot be built fails to load (line
// 111) while the scan goes on, and nothing leaks or stays loaded. A provider failure after the
// module scan takes the modules down again.
TEST_F(coxKernelStartupTest, FailuresDuringStartUpAndTeardownLeakNothingAndUnloadTheModules) {
    write("Os.mix", "Language = \"en\"\nName = \"Os\"\n");
    copy("osComp.dll");
    copy("fkRoles.dll", "timer.dll");
    std::set<std::string> seen;
    const auto groups = sp.groups; // osComp adds its event group from its file every time
    for (const bool teardown : {false, true}) {
        bool reached = true;
        for (std::uint32_t k = 1; reached; ++k) {
            SCOPED_TRACE(testing::Message() << (teardown ? "teardown " : "start-up ") << k);
            boxes.clear();
            sp.groups = groups;
            const oxLiveAllocations live;
            try {
                if (teardown)
                    make();
                const oxFailAllocation fail(k);
                teardown ? kernel.reset() : (void)make();
                reached = fail.reached();
            } catch (const oxInsufficientMemory_c&) {
            }
            const auto refused = testing::Contains(coxBox(coxKern1, 111, "osComp"));
            if (!teardown && testing::Value(boxes.boxes(), refused)) {
                EXPECT_EQ(loaded(), coxNames{"timer.dll"}); // the scan went on
            }
            kernel.reset();
            EXPECT_EQ(live.leaked(), 0);
            for (const oxRecordedBox& box : boxes.boxes())
                seen.insert(box.text.substr(0, box.text.find(oxBoxLineBreak)));
        }
    }
    EXPECT_TRUE(seen.contains(coxKern1 + "::67") && seen.contains(coxKern1 + "::111"));
    copy("fkRoles.dll", "files.dll");
    sp.calls.clear();
    const oxLiveAllocations live;
    sp.slot[coxSlotListComponents].effect = [](const oxRecordedCall&) {
        throw std::runtime_error("provider");
    };
    EXPECT_THROW(make(), std::runtime_error);
    EXPECT_EQ(destructed(), (coxNames{"files.dll", "timer.dll"}));
    EXPECT_EQ(live.leaked(), 0);
}

} // namespace
