#include "framework/model/oxAttribValue.h"
#include "framework/model/oxComponent.h"
#include "framework/model/oxGroup.h"
#include "sp/oxSpStatus.h"
#include "sp/oxSpValueText.h"
#include "sp/oxSqliteServiceProvider.h"
#include "tests/sp/oxSpTestFolder.h"
#include <filesystem>
#include <thread>
#include <gtest/gtest.h>

namespace {

const char* const eventFile = "Start Group\n  Name = \"Os Events\"\n  Class = \"ACME|OsEvents|001\"\n"
                              "  ID = 1\n  Start Attribute\n    Name = \"Code\"\n    ID = 1\n"
                              "    Type = Integer\n  End Attribute\nEnd Group\n";

// Every slot is called through the interface the kernel holds.
class oxSqliteServiceProviderTest : public ::testing::Test {
  protected:
    oxSqliteServiceProviderTest() { folder.write("Os.mif", oxSpExampleMif()); }

    // The kernel's way of naming a file: directory, backslash, name (in any case).
    oxString_c kernelPath(const std::string& name) const {
        return oxString_c((folder.path() + "\\" + name).c_str());
    }
    bool install(oxComponent_c& description, const std::string& name = "OS.MIF") {
        return sp.installFromMIF(description, kernelPath(name), context, &status);
    }

    oxSpTestFolder folder;
    oxSqliteServiceProvider_c provider{":memory:"};
    coxServiceProvider_c& sp = provider;
    oxOctetString_c context;
    std::uint32_t status = 0x5555;
    oxComponent_c own{0, "Unknown", "", ""};
};

TEST_F(oxSqliteServiceProviderTest, InstallsFromAMifAndDescribesTheComponentAlike) {
    ASSERT_TRUE(install(own)) << provider.lastError();
    EXPECT_EQ(status, 0u);
    EXPECT_NE(own.id, 0u);
    EXPECT_EQ(oxSpNarrow(own.name), "Operating System");
    EXPECT_EQ(std::string(own.thirdText.text()), "Os.mif");
    // Listing and refreshing give the same description, so the duplicate check can match it.
    oxComponentList_c list;
    ASSERT_TRUE(sp.listComponents(list, context, &status));
    ASSERT_EQ(list.count(), 1u);
    EXPECT_TRUE(*list.at(0) == own);
    oxComponent_c stale(own.id, "old", "old", "old");
    ASSERT_TRUE(sp.refreshDescription(stale, stale, context, &status));
    EXPECT_TRUE(stale == own);
    // The MIF name form is a path relative to the current directory.
    std::filesystem::current_path(folder.path());
    oxComponent_c second(0, "Unknown", "", "");
    ASSERT_TRUE(sp.installFromMIFName(second, oxString_c("Os.mif"), context, &status));
    EXPECT_NE(second.id, own.id);
    EXPECT_TRUE(oxComponent_c(own.id, second.name, second.firstText, second.thirdText) == own);
}

TEST_F(oxSqliteServiceProviderTest, ABadOrMissingFileInstallsNothingAndSaysWhy) {
    struct Case {
        const char* file;
        std::string bytes;
        std::uint32_t status;
        const char* where;
    };
    const Case cases[] = {
        {"bad.mif", "Start Component\nName = \"X\"\nStart Group\n", oxSpStatusBadMif, "bad.mif:3:"},
        {"odd.mif", std::string("\xFF\xFE" "S", 3), oxSpStatusBadMif, "odd.mif:1:"},
        {"missing.mif", "", oxSpStatusUnreadableFile, "missing.mif"},
    };
    for (const Case& c : cases) {
        if (!c.bytes.empty())
            folder.write(c.file, c.bytes);
        status = 0;
        EXPECT_FALSE(install(own, c.file));
        EXPECT_EQ(status, c.status) << c.file;
        EXPECT_NE(provider.lastError().find(c.where), std::string::npos) << provider.lastError();
        EXPECT_EQ(own.id, 0u);
    }
    EXPECT_TRUE(provider.database().components().empty());
}

TEST_F(oxSqliteServiceProviderTest, AttachesByNameAndDeletes) {
    ASSERT_TRUE(install(own));
    oxComponent_c attached(0, "Unknown", "", "");
    ASSERT_TRUE(sp.installByName(attached, oxString_c("Operating System"), context, &status));
    EXPECT_TRUE(attached == own);
    EXPECT_FALSE(sp.installByName(attached, oxString_c("Printer"), context, &status));
    EXPECT_EQ(status, oxSpStatusNoComponent);

    std::uint32_t id = own.id;
    EXPECT_TRUE(sp.deleteComponent(id, context, &status));
    EXPECT_EQ(status, 0u);
    EXPECT_FALSE(sp.deleteComponent(id, context, &status));
    EXPECT_EQ(status, oxSpStatusNoComponent);
    EXPECT_FALSE(sp.refreshDescription(own, own, context, &status));
    EXPECT_EQ(status, oxSpStatusNoComponent);
}

TEST_F(oxSqliteServiceProviderTest, ListsAddsAndDeletesGroups) {
    ASSERT_TRUE(install(own));
    oxGroupList_c groups;
    ASSERT_TRUE(sp.listGroups(own, groups, context, &status));
    ASSERT_EQ(groups.count(), 1u);
    EXPECT_EQ(groups.at(0)->id, 1u);
    EXPECT_TRUE(groups.contains(oxString_c("DMTF|ComponentID|001")));

    folder.write("osComp.evt", eventFile);
    oxGroup_c added;
    ASSERT_TRUE(sp.addGroupFromFile(own, added, kernelPath("osComp.evt"), context, &status))
        << provider.lastError();
    EXPECT_EQ(added.id, 2u); // the file's ID 1 is taken
    EXPECT_EQ(std::string(added.groupClass.text()), "ACME|OsEvents|001");
    ASSERT_TRUE(sp.listGroups(own, groups, context, &status));
    EXPECT_EQ(groups.count(), 2u);
    EXPECT_TRUE(*groups.find(2) == added);

    folder.write("bad.grp", "Start Group\nName = \"G\"\nClass = \"A|B|1\"\nEnd Grup\n");
    oxGroup_c refused;
    EXPECT_FALSE(sp.addGroupFromFile(own, refused, kernelPath("bad.grp"), context, &status));
    EXPECT_EQ(status, oxSpStatusBadMif);
    EXPECT_EQ(refused.id, 0u);

    ASSERT_TRUE(sp.deleteGroup(own, added, context, &status));
    EXPECT_FALSE(sp.deleteGroup(own, added, context, &status));
    EXPECT_EQ(status, oxSpStatusNoGroup);
    ASSERT_TRUE(sp.listGroups(own, groups, context, &status));
    EXPECT_EQ(groups.count(), 1u);

    oxComponent_c unknown(999, "", "", "");
    EXPECT_FALSE(sp.listGroups(unknown, groups, context, &status));
    EXPECT_EQ(status, oxSpStatusNoComponent);
    EXPECT_EQ(groups.count(), 0u);
    // A kernel that installed nothing asks with ID 0: no groups, and no failure.
    oxComponent_c nothing(0, "Unknown", "", "");
    ASSERT_TRUE(sp.listGroups(own, groups, context, &status));
    EXPECT_TRUE(sp.listGroups(nothing, groups, context, &status));
    EXPECT_EQ(groups.count(), 0u);
    EXPECT_TRUE(sp.refreshDescription(nothing, nothing, context, &status));
    EXPECT_EQ(std::string(nothing.name.text()), "Unknown");
}

TEST_F(oxSqliteServiceProviderTest, RecordsEventsAndHandsThemToTheHook) {
    ASSERT_TRUE(install(own));
    std::vector<oxSpEvent> seen;
    provider.setEventHook([&](const oxSpEvent& e) { seen.push_back(e); });
    oxAttribValueList_c values;
    oxAttribValue_c code(1);
    code.value.number6 = 42;
    values.add(code);
    values.add(oxAttribValue_c(5, oxString_c("DMTF|ComponentID|001")));
    oxGroup_c eventGroup(3, oxString_c("ACME|OsEvents|001"), oxString_c(), oxIdList_c(),
                         oxString_c(), oxString_c());
    EXPECT_TRUE(sp.originateEvent(values, own, eventGroup, 1, 2, 3, &status));
    EXPECT_EQ(status, 0u);
    ASSERT_EQ(seen.size(), 1u);
    const auto stored = provider.database().events();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].id, seen[0].id);
    EXPECT_EQ(stored[0].componentId, own.id);
    EXPECT_EQ(stored[0].groupClass, "ACME|OsEvents|001");
    EXPECT_EQ(stored[0].c, 3u);
    ASSERT_EQ(stored[0].values.size(), 2u);
    EXPECT_EQ(stored[0].values[0].text, "42");
    EXPECT_EQ(stored[0].values[1].text, "DMTF|ComponentID|001");
}

TEST_F(oxSqliteServiceProviderTest, RemembersAnnouncedKernels) {
    alignas(8) char places[2] = {};
    auto* first = reinterpret_cast<coxKernel_c*>(&places[0]); // never dereferenced
    auto* second = reinterpret_cast<coxKernel_c*>(&places[1]);
    EXPECT_TRUE(sp.announceComponents(first, context, &status));
    EXPECT_TRUE(sp.announceComponents(second, context, &status));
    EXPECT_TRUE(sp.announceComponents(first, context, &status));
    EXPECT_EQ(provider.announcedKernels(), (std::vector<coxKernel_c*>{first, second}));
    EXPECT_TRUE(sp.withdrawComponents(first, context, &status));
    EXPECT_FALSE(provider.isAnnounced(first));
    EXPECT_TRUE(provider.isAnnounced(second));
}

TEST_F(oxSqliteServiceProviderTest, ServesSeveralThreadsAtOnce) {
    ASSERT_TRUE(install(own));
    oxGroup_c eventGroup;
    auto raise = [&] {
        for (int i = 0; i < 20; ++i) {
            oxAttribValueList_c values;
            std::uint32_t mine = 0;
            EXPECT_TRUE(sp.originateEvent(values, own, eventGroup, 0, 0, 0, &mine));
            oxComponentList_c list;
            EXPECT_TRUE(sp.listComponents(list, context, &mine));
        }
    };
    std::thread other(raise);
    raise();
    other.join();
    EXPECT_EQ(provider.database().events().size(), 40u);
}

} // namespace
