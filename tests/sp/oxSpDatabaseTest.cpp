// The provider's database: a failed installation leaves nothing, what belongs to a component
// goes with it, and files it cannot use are refused by name.
#include "sp/oxMifReader.h"
#include "sp/oxSpDatabase.h"
#include "sp/oxSpStatus.h"
#include "tests/sp/oxSpTestFolder.h"
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// The status and text of the error the body throws; 0 and "" when it throws none.
template <class Body> std::pair<std::uint32_t, std::string> errorOf(Body body) {
    try {
        body();
    } catch (const oxSpError_c& e) {
        return {e.status(), e.what()};
    }
    return {0, ""};
}

TEST(oxSpDatabaseTest, AFailedInstallationLeavesNothingAndADeletionTakesAllThatBelongs) {
    oxSpDatabase_c db(":memory:");
    oxMifComponent os = oxMifReader_c::parseComponent(oxSpExampleMif(), "Os.mif");
    os.groups.push_back(os.groups[0]); // the second group's insert breaks the primary key
    EXPECT_THROW(db.installComponent(os, "Os.mif"), oxSpError_c);
    EXPECT_TRUE(db.components().empty());
    os.groups.pop_back();
    const std::uint32_t id = db.installComponent(os, "Os.mif");
    EXPECT_EQ(db.attributes(id, 1).size(), 6u);
    oxSpEvent event;
    event.componentId = id;
    db.recordEvent(event);
    EXPECT_TRUE(db.deleteComponent(id));
    EXPECT_FALSE(db.deleteComponent(id));
    EXPECT_TRUE(db.groups(id).empty());
    EXPECT_TRUE(db.attributes(id, 1).empty());
    EXPECT_TRUE(db.events().empty());
    EXPECT_EQ(errorOf([&] { db.addGroup(id, os.groups[0], "x.grp"); }).first, oxSpStatusNoComponent);
}

TEST(oxSpDatabaseTest, RefusesFilesItCannotUseAndNamesThem) {
    oxSpTestFolder folder;
    const std::string newer = folder.file("newer.db"), foreign = folder.file("foreign.db");
    { oxSpDatabase_c created(newer); }
    // A database of a later version, and one of another program's tables only.
    const std::string sql = "PRAGMA user_version = 99; ATTACH '" + foreign + "' AS f; CREATE TABLE f.t(x)";
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(newer.c_str(), &raw), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);
    for (const auto& [path, status] :
         {std::pair{folder.file("no/such/folder/sp.db"), oxSpStatusDatabase},
          std::pair{newer, oxSpStatusSchemaVersion}, std::pair{foreign, oxSpStatusSchemaVersion}}) {
        SCOPED_TRACE(path);
        const auto [got, text] = errorOf([&, &path = path] { oxSpDatabase_c db(path); });
        EXPECT_EQ(got, status);
        EXPECT_NE(text.find(path), std::string::npos) << text;
    }
}

} // namespace
