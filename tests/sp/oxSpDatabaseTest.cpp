#include "sp/oxMifReader.h"
#include "sp/oxSpDatabase.h"
#include "sp/oxSpStatus.h"
#include "tests/sp/oxSpTestFolder.h"
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

oxMifComponent example() { return oxMifReader_c::parseComponent(oxSpExampleMif(), "Os.mif"); }

std::uint32_t statusOfOpening(const std::string& path) {
    try {
        oxSpDatabase_c db(path);
    } catch (const oxSpError_c& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        return e.status();
    }
    return 0;
}

void rawSql(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

TEST(oxSpDatabaseTest, InstallsListsAndDeletesWithEverythingBelonging) {
    oxSpDatabase_c db(":memory:");
    const std::uint32_t first = db.installComponent(example(), "Os.mif");
    const std::uint32_t second = db.installComponent(example(), "Os.mif");
    EXPECT_NE(first, second);
    ASSERT_EQ(db.components().size(), 2u);
    EXPECT_EQ(db.components()[0].name, "Operating System");
    EXPECT_EQ(db.componentNamed("Operating System")->id, second); // the latest
    const auto groups = db.groups(first);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].groupClass, "DMTF|ComponentID|001");
    EXPECT_EQ(groups[0].attributeIds, (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6}));
    const auto attributes = db.attributes(first, 1);
    ASSERT_EQ(attributes.size(), 6u);
    EXPECT_EQ(attributes[1].value, "Operating System");
    EXPECT_EQ(attributes[5].enumeration.size(), 8u);
    EXPECT_EQ(attributes[5].value, std::nullopt);

    oxSpEvent event;
    event.componentId = first;
    event.values = {{5, 8, "x"}};
    db.recordEvent(event);
    EXPECT_TRUE(db.deleteComponent(first));
    EXPECT_FALSE(db.deleteComponent(first));
    EXPECT_FALSE(db.component(first));
    EXPECT_TRUE(db.groups(first).empty());
    EXPECT_TRUE(db.attributes(first, 1).empty());
    EXPECT_TRUE(db.events().empty());
    // IDs are not reused, so a remembered ID never names a newer component.
    EXPECT_GT(db.installComponent(example(), "Os.mif"), second);
}

TEST(oxSpDatabaseTest, KeepsTableRowsAndAddedGroups) {
    oxSpDatabase_c db(":memory:");
    oxMifComponent c = example();
    c.groups[0].rows = {{"a", std::nullopt, "1", "2", "3", "4"}, {"b", "x", "1", "2", "3", "4"}};
    const std::uint32_t id = db.installComponent(c, "Os.mif");
    const auto rows = db.rows(id, 1);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], "a");
    EXPECT_EQ(rows[0][1], std::nullopt);
    EXPECT_EQ(rows[1][1], "x");

    oxMifGroup extra = c.groups[0];
    extra.rows.clear();
    extra.id = 1; // taken: the next free ID is given
    EXPECT_EQ(db.addGroup(id, extra, "x.grp"), 2u);
    extra.id = 9; // free: kept
    EXPECT_EQ(db.addGroup(id, extra, "x.grp"), 9u);
    EXPECT_EQ(db.group(id, 9)->definitionFile, "x.grp");
    EXPECT_TRUE(db.deleteGroup(id, 2));
    EXPECT_FALSE(db.deleteGroup(id, 2));
    EXPECT_EQ(db.groups(id).size(), 2u);
    try {
        db.addGroup(id + 100, extra, "x.grp");
        FAIL();
    } catch (const oxSpError_c& e) {
        EXPECT_EQ(e.status(), oxSpStatusNoComponent);
    }
}

TEST(oxSpDatabaseTest, AFailedInstallationLeavesNothing) {
    oxSpDatabase_c db(":memory:");
    oxMifComponent c = example();
    c.groups.push_back(c.groups[0]); // the second group's insert breaks the primary key
    EXPECT_THROW(db.installComponent(c, "Os.mif"), oxSpError_c);
    EXPECT_TRUE(db.components().empty());
    const std::uint32_t id = db.installComponent(example(), "Os.mif");
    EXPECT_EQ(db.components().size(), 1u);
    EXPECT_EQ(db.groups(id).size(), 1u);
}

TEST(oxSpDatabaseTest, SurvivesReopeningAndIsSharedBetweenConnections) {
    oxSpTestFolder folder;
    const std::string path = folder.file("sp.db");
    std::uint32_t id = 0;
    {
        oxSpDatabase_c db(path);
        id = db.installComponent(example(), "Os.mif");
        oxSpDatabase_c reader(path); // as another process would open it
        EXPECT_EQ(reader.components().size(), 1u);
    }
    oxSpDatabase_c again(path);
    ASSERT_EQ(again.components().size(), 1u);
    EXPECT_EQ(again.components()[0].id, id);
    EXPECT_EQ(again.attributes(id, 1).size(), 6u);
}

TEST(oxSpDatabaseTest, RefusesWhatItCannotUse) {
    oxSpTestFolder folder;
    EXPECT_EQ(statusOfOpening(folder.file("no/such/folder/sp.db")), oxSpStatusDatabase);
    EXPECT_EQ(statusOfOpening(folder.write("junk.db", std::string(4096, 'j'))),
              oxSpStatusDatabase);
    const std::string newer = folder.file("newer.db");
    { oxSpDatabase_c db(newer); }
    rawSql(newer, "PRAGMA user_version = 99");
    EXPECT_EQ(statusOfOpening(newer), oxSpStatusSchemaVersion);
    const std::string foreign = folder.file("foreign.db");
    rawSql(foreign, "CREATE TABLE t(x)");
    EXPECT_EQ(statusOfOpening(foreign), oxSpStatusSchemaVersion);
}

TEST(oxSpDatabaseTest, ReturnsEventsInOrderAfterAnId) {
    oxSpDatabase_c db(":memory:");
    const std::uint32_t id = db.installComponent(example(), "Os.mif");
    oxSpEvent a, b;
    a.componentId = b.componentId = id;
    a.groupClass = "X|E|1";
    a.a = 1;
    a.values = {{1, 6, "7"}, {5, 8, "text"}};
    db.recordEvent(a);
    db.recordEvent(b);
    EXPECT_LT(a.id, b.id);
    EXPECT_FALSE(a.time.empty());
    const auto all = db.events();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].groupClass, "X|E|1");
    EXPECT_EQ(all[0].a, 1u);
    ASSERT_EQ(all[0].values.size(), 2u);
    EXPECT_EQ(all[0].values[1].text, "text");
    EXPECT_EQ(all[0].values[1].kind, 8u);
    EXPECT_EQ(db.events(a.id).size(), 1u);
}

} // namespace
