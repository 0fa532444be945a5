// The SQLite service provider through the interface the kernel holds, and how it answers
// requests: the kernel of the component asked first, the MIF's static value otherwise, in
// linear time over a group.
#include "framework/diag/oxMessages.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "framework/model/oxAttribValue.h"
#include "sp/oxSpRequests.h"
#include "sp/oxSpStatus.h"
#include "sp/oxSpValueText.h"
#include "sp/oxSqliteServiceProvider.h"
#include "tests/sp/oxSpTestFolder.h"
#include "tests/support/oxAllocationSeam.h"
#include "tests/support/oxBoxRecorder.h"
#include <chrono>
#include <ctime>
#include <gtest/gtest.h>
#include <thread>

namespace {

class oxSqliteServiceProviderTest : public ::testing::Test {
  protected:
    oxSqliteServiceProviderTest() { folder.write("Os.mif", oxSpExampleMif()); }

    // The kernel names a file as directory, backslash, name (in any case).
    oxString_c kernelPath(const std::string& name) const {
        return oxString_c((folder.path.string() + "\\" + name).c_str());
    }
    bool install(oxComponent_c& c, const char* file = "OS.MIF") {
        return sp.installFromMIF(c, kernelPath(file), context, &status);
    }
    // The slot's result and status both say what was wanted.
    void expectStatus(bool done, std::uint32_t wanted) {
        EXPECT_EQ(done, wanted == 0) << provider.lastError();
        EXPECT_EQ(status, wanted) << provider.lastError();
    }
    oxSpAnswer ask(std::uint32_t component, std::uint32_t group, std::uint32_t attribute,
                   bool keyed = false) {
        oxKey_c key;
        if (keyed)
            key.add(oxAttribValue_c(1));
        return oxSpRequests_c(provider.database()).request(kernels, component, group, attribute, key);
    }

    oxSpTestFolder folder;
    oxSqliteServiceProvider_c provider{":memory:"};
    coxServiceProvider_c& sp = provider;
    oxOctetString_c context;
    std::uint32_t status = 0x5555;
    oxComponent_c own{0, "Unknown", "", ""};
    std::vector<coxKernel_c*> kernels;
};

TEST_F(oxSqliteServiceProviderTest, InstallsDescribesAttachesDeletesAndAnnounces) {
    oxGroupList_c groups;
    expectStatus(install(own), 0);
    EXPECT_EQ(std::string(own.thirdText.text()), "Os.mif");
    // Refreshing gives what installing gave, so the duplicate check can match it.
    oxComponent_c stale(own.id, "old", "old", "old");
    expectStatus(sp.refreshDescription(stale, stale, context, &status), 0);
    EXPECT_TRUE(stale == own);
    std::filesystem::current_path(folder.path); // the name form is relative to it
    oxComponent_c second = stale, attached = stale;
    expectStatus(sp.installFromMIFName(second, oxString_c("Os.mif"), context, &status), 0);
    EXPECT_TRUE(oxComponent_c(own.id, second.name, second.firstText, second.thirdText) == own);
    expectStatus(sp.installByName(attached, oxString_c("Operating System"), context, &status), 0);
    EXPECT_TRUE(attached == second); // the latest of that name
    expectStatus(sp.installByName(attached, oxString_c("Printer"), context, &status),
                 oxSpStatusNoComponent);
    expectStatus(sp.deleteComponent(own.id, context, &status), 0);
    expectStatus(sp.deleteComponent(own.id, context, &status), oxSpStatusNoComponent);
    expectStatus(sp.refreshDescription(own, own, context, &status), oxSpStatusNoComponent);
    expectStatus(sp.listGroups(own, groups, context, &status), oxSpStatusNoComponent);

    alignas(8) char places[2] = {};
    coxKernel_c *one = reinterpret_cast<coxKernel_c*>(&places[0]), // never dereferenced
                *two = reinterpret_cast<coxKernel_c*>(&places[1]);
    for (coxKernel_c* kernel : {one, two, one})
        expectStatus(sp.announceComponents(kernel, context, &status), 0);
    EXPECT_EQ(provider.announcedKernels(), (std::vector<coxKernel_c*>{one, two}));
    expectStatus(sp.withdrawComponents(one, context, &status), 0);
    EXPECT_EQ(provider.announcedKernels(), std::vector<coxKernel_c*>{two});
    EXPECT_TRUE(provider.isAnnounced(two) && !provider.isAnnounced(one));
}

// Slot 11 hides a copy a running process holds; one whose process ended (its ID gone or reused by a
// later process, or never recorded) is a leftover offered to the duplicate check, and a leftover
// another process deleted first counts as deleted.
TEST_F(oxSqliteServiceProviderTest, OffersOnlyCopiesNoOtherRunningProcessHolds) {
    const std::string path = folder.file("sp.db");
    oxSqliteServiceProvider_c other(path), mine(path);
    ASSERT_TRUE(other.installFromMIF(own, kernelPath("Os.mif"), context, &status));
    const oxSpProcess init = oxSpProcess::withId(1);
    ASSERT_NE(init.start, 0);
    for (const auto& [owner, offered] : {std::pair{init, 0u}, std::pair{oxSpProcess{1, init.start + 1}, 1u},
                                         std::pair{oxSpProcess{}, 1u}}) {
        SCOPED_TRACE(owner.start);
        oxSpRunSql(path, "UPDATE component SET owner_pid = " + std::to_string(owner.pid) +
                             ", owner_start = " + std::to_string(owner.start));
        oxComponentList_c listed;
        EXPECT_TRUE(mine.listComponents(listed, context, &status));
        EXPECT_EQ(listed.count(), offered);
    }
    EXPECT_TRUE(other.database().deleteComponent(own.id));
    EXPECT_TRUE(mine.deleteComponent(own.id, context, &status)) << mine.lastError();
    EXPECT_FALSE(mine.deleteComponent(own.id, context, &status));
    EXPECT_EQ(status, oxSpStatusNoComponent);
}

TEST_F(oxSqliteServiceProviderTest, ABadOrMissingFileInstallsNothingAndSaysWhy) {
    folder.write("bad.mif", "Start Component\nName = \"X\"\nStart Group\n");
    for (const auto& [file, wanted, where] : {std::tuple{"bad.mif", oxSpStatusBadMif, "bad.mif:3:"},
                                              std::tuple{"no.mif", oxSpStatusUnreadableFile, "no.mif"}}) {
        SCOPED_TRACE(file);
        expectStatus(install(own, file), wanted);
        EXPECT_NE(provider.lastError().find(where), std::string::npos) << provider.lastError();
        EXPECT_EQ(own.id, 0u);
    }
    EXPECT_TRUE(provider.database().components().empty());
}

TEST_F(oxSqliteServiceProviderTest, AddsGroupsUnderAFreeIdAndDeletesThem) {
    ASSERT_TRUE(install(own));
    const std::string rest = "Class = \"ACME|OsEvents|001\"\nStart Attribute Name = \"Code\" "
                             "ID = 1 Type = Integer End Attribute\nEnd Group\n";
    folder.write("a.evt", "Start Group Name = \"Os Events\" ID = 1 " + rest); // 1 is taken
    folder.write("b.evt", "Start Group Name = \"Os Events\" ID = 9 " + rest); // 9 is free
    oxGroup_c added, kept;
    expectStatus(sp.addGroupFromFile(own, added, kernelPath("a.evt"), context, &status), 0);
    expectStatus(sp.addGroupFromFile(own, kept, kernelPath("B.EVT"), context, &status), 0);
    EXPECT_EQ(std::tuple(added.id, kept.id, std::string(added.groupClass.text())),
              std::tuple(2u, 9u, "ACME|OsEvents|001"));
    oxGroupList_c groups;
    expectStatus(sp.listGroups(own, groups, context, &status), 0);
    ASSERT_EQ(groups.count(), 3u);
    EXPECT_TRUE(*groups.find(2) == added);
    EXPECT_EQ(std::string(groups.find(9)->fourthText.text()), "b.evt");
    expectStatus(sp.deleteGroup(own, added, context, &status), 0);
    expectStatus(sp.deleteGroup(own, added, context, &status), oxSpStatusNoGroup);
    expectStatus(sp.listGroups(own, groups, context, &status), 0);
    EXPECT_EQ(groups.count(), 2u);
}

TEST_F(oxSqliteServiceProviderTest, RecordsEventsFromSeveralThreads) {
    ASSERT_TRUE(install(own));
    oxAttribValueList_c values;
    values.add(oxAttribValue_c(5, oxString_c("x")));
    oxGroup_c group(3, oxString_c("A|E|1"), oxString_c(), oxIdList_c(), oxString_c(), oxString_c());
    expectStatus(sp.originateEvent(values, own, group, 1, 2, 3, &status), 0);
    auto raise = [&] {
        for (int i = 0; i < 20; ++i) {
            oxAttribValueList_c none;
            oxGroup_c unnamed;
            std::uint32_t mine = 0;
            EXPECT_TRUE(sp.originateEvent(none, own, unnamed, 0, 0, 0, &mine));
        }
    };
    std::thread other(raise);
    raise();
    other.join();
    const auto stored = provider.database().events();
    ASSERT_EQ(stored.size(), 41u);
    const oxSpEvent& e = stored[0];
    EXPECT_EQ(std::tuple(e.groupClass, e.groupId, e.a, e.b, e.c, stored[40].groupClass),
              std::tuple("A|E|1", 3u, 1u, 2u, 3u, ""));
    EXPECT_EQ(provider.database().events(stored[39].id).size(), 1u); // those after an ID
    EXPECT_EQ(std::tuple(e.values.at(0).attributeId, e.values.at(0).kind, e.values.at(0).text),
              std::tuple(5u, 8u, "x"));
}

// Values keep their type's sign and range: a row keyed -1 is found by that text, its values show
// signed or unsigned as their types are, and a key outside its type's range is refused.
TEST_F(oxSqliteServiceProviderTest, ValuesKeepTheSignAndRangeOfTheirType) {
    folder.write("signed.mif", R"(Start Component Name = "Signed" Start Group Name = "G" Class = "A|G|1" ID = 1
  Key = 1 Start Attribute Name = "K" ID = 1 Type = Integer End Attribute
  Start Attribute Name = "I" ID = 2 Type = Integer64 End Attribute Start Attribute Name = "C" ID = 3
  Type = Counter64 End Attribute Start Attribute Name = "G" ID = 4 Type = Gauge End Attribute End Group
  Start Table Class = "A|G|1" {-1, -9223372036854775808, 18446744073709551615, 4294967295} End Table
End Component)");
    ASSERT_TRUE(install(own, "signed.mif")) << provider.lastError();
    const oxSpRequests_c requests(provider.database());
    for (const auto& [attribute, text] : {std::pair{1u, "-1"}, std::pair{2u, "-9223372036854775808"},
                                          std::pair{3u, "18446744073709551615"}, std::pair{4u, "4294967295"}}) {
        const oxSpAnswer a = requests.request({}, own.id, 1, attribute, requests.makeKey(own.id, 1, {"-1"}));
        EXPECT_EQ(std::tuple(a.status, oxSpTextOfValue(a.value.value)), std::tuple(0u, text)) << a.error;
    }
    for (const char* outside : {"2147483648", "-2147483649"})
        EXPECT_THROW(requests.makeKey(own.id, 1, {outside}), oxSpError_c) << outside;
}

// Only the kernel of a component answers for it; otherwise the MIF answers or says what is missing.
TEST_F(oxSqliteServiceProviderTest, RequestsGoToTheComponentsOwnKernelOrElseToTheMif) {
    oxMessages_c::instance(); // language modules from the build
    std::filesystem::copy_file(std::string(OX_BIN_DIR) + "/osComp.dll", folder.file("osComp.dll"));
    coxKernel_c kernel(oxString_c(folder.path.c_str()), &provider, &status);
    ASSERT_EQ(status, 0u) << provider.lastError();
    kernels.push_back(&kernel);
    const oxSpAnswer refused = ask(kernel.ownDescription().id, 1, 6, true); // the component has no rows
    EXPECT_EQ(std::tuple(refused.status, refused.error), std::tuple(oxStatusInvalidRowKey,
                         "the component failed to answer (status 0x9005)"));
    ASSERT_TRUE(install(own)); // another copy of the same description
    for (const auto& [component, group, attribute, keyed, wanted] :
         {std::tuple{own.id, 1u, 6u, false, oxSpStatusNoValue}, // not the kernel's: no static value
          std::tuple{own.id, 5u, 1u, false, oxSpStatusNoGroup},
          std::tuple{own.id + 1, 1u, 1u, false, oxSpStatusNoComponent},
          std::tuple{own.id, 1u, 1u, true, oxStatusInvalidRowKey}}) { // no rows to pick from
        SCOPED_TRACE(wanted);
        const oxSpAnswer a = ask(component, group, attribute, keyed);
        EXPECT_EQ(a.status, wanted);
        EXPECT_FALSE(a.error.empty());
    }
}

// Memory running out at every step of a start-up on the example directory, then of its
// teardown, with this provider: no abort, nothing leaks, and the sweep ends in a start-up that
// completes and answers.
TEST_F(oxSqliteServiceProviderTest, StartUpAndTeardownOnTheExampleSurviveEveryAllocationFailure) {
    oxMessages_c::instance();
    folder.copyBuilt("osComp.dll", "osComp.dll");
    oxBoxRecorder boxes;
    const auto start = [&] {
        return std::make_unique<coxKernel_c>(oxString_c(folder.path.c_str()), &provider, &(status = 0));
    };
    for (const bool teardown : {false, true}) {
        bool reached = true;
        for (std::uint32_t k = 1; reached; ++k) {
            SCOPED_TRACE(testing::Message() << (teardown ? "teardown " : "start-up ") << k);
            const oxLiveAllocations live;
            std::unique_ptr<coxKernel_c> kernel;
            try {
                if (teardown)
                    kernel = start();
                const oxFailAllocation fail(k);
                teardown ? kernel.reset() : (void)(kernel = start());
                reached = fail.reached();
            } catch (const oxInsufficientMemory_c&) {
            }
            if (!reached && !teardown) {
                kernels = {kernel.get()};
                EXPECT_EQ(oxSpTextOfValue(ask(kernel->ownDescription().id, 1, 6).value.value), "7");
            }
            kernel.reset();
            EXPECT_EQ(live.leaked(), 0);
        }
    }
}

// A component of the given attributes, one group per groupSize of them, each with a static value.
std::string bigMif(std::uint32_t count, std::uint32_t groupSize) {
    std::string mif = "Start Component Name = \"Big\"";
    for (std::uint32_t id = 1; id <= count; ++id) {
        const std::string n = std::to_string(id), group = std::to_string((id - 1) / groupSize + 1);
        if ((id - 1) % groupSize == 0)
            mif += (id > 1 ? " End Group" : "") + (" Start Group Name = \"G\" Class = \"A|G|" + group + "\" ID = ") + group;
        mif += "\nStart Attribute Name = \"A\" ID = " + n + " Type = Gauge Value = " + n + " End Attribute";
    }
    return mif + " End Group End Component";
}

// A large group is installed, listed and answered in linear time: installing it (slot 13) takes
// about the processor time of the same attributes in twenty groups, listing it (slot 18) a small
// part of that, and answering each attribute far less than a scan of the group per request. A
// change, by this or another connection, is seen at once.
TEST_F(oxSqliteServiceProviderTest, InstallsListsAndAnswersALargeGroupInLinearTimeAndSeesChangesAtOnce) {
    constexpr std::uint32_t count = 20000;
    oxSqliteServiceProvider_c onFile(folder.file("sp.db"));
    oxSpDatabase_c other(folder.file("sp.db"));
    auto cpuSeconds = [start = std::clock()]() mutable {
        return static_cast<double>(std::clock() - std::exchange(start, std::clock())) / CLOCKS_PER_SEC;
    };
    // Processor seconds of installing (slot 13) and of listing the groups (slot 18).
    const auto install = [&](oxComponent_c& c, std::uint32_t groupSize) {
        folder.write("big.mif", bigMif(count, groupSize));
        oxGroupList_c groups;
        cpuSeconds();
        EXPECT_TRUE(onFile.installFromMIF(c, kernelPath("big.mif"), context, &status)) << onFile.lastError();
        const double installing = cpuSeconds();
        EXPECT_TRUE(onFile.listGroups(c, groups, context, &status));
        return std::pair{installing, cpuSeconds()};
    };
    oxComponent_c big = own, twenty = own;
    const double installTwenty = install(twenty, count / 20).first;
    const auto [installOne, listOne] = install(big, count);
    EXPECT_LT(installOne, 3 * installTwenty);
    EXPECT_LT(listOne, installOne / 4);
    const oxSpRequests_c requests(onFile.database());
    const auto begin = std::chrono::steady_clock::now();
    const auto late = [&] { return std::chrono::steady_clock::now() - begin > std::chrono::seconds(30); };
    std::uint32_t answered = 0;
    for (std::uint32_t id = 1; id <= count && !late(); ++id)
        answered += oxSpTextOfValue(requests.request({}, big.id, 1, id, oxKey_c()).value.value) == std::to_string(id);
    EXPECT_EQ(answered, count);
    EXPECT_TRUE(other.deleteComponent(big.id));
    EXPECT_EQ(requests.request({}, big.id, 1, 1, oxKey_c()).status, oxSpStatusNoComponent);
    EXPECT_EQ(requests.request({}, twenty.id, 1, 1, oxKey_c()).status, 0u);
    EXPECT_TRUE(onFile.database().deleteGroup(twenty.id, 1));
    EXPECT_EQ(requests.request({}, twenty.id, 1, 1, oxKey_c()).status, oxSpStatusNoGroup);
}

} // namespace
