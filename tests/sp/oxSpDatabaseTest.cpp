// The provider's database: a failed installation leaves nothing, what belongs to a component
// goes with it, files it cannot use are refused by name and left alone, older ones migrated.
#include "sp/oxMifReader.h"
#include "sp/oxSpDatabase.h"
#include "sp/oxSpStatus.h"
#include "tests/sp/oxSpTestFolder.h"
#include <filesystem>
#include <gtest/gtest.h>

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

// A refused file is left byte for byte, with no -wal or -shm beside it, whichever way it is opened.
TEST(oxSpDatabaseTest, RefusesFilesItCannotUseNamesThemAndLeavesThemAsTheyWere) {
    oxSpTestFolder folder;
    const std::string newer = folder.file("newer.db"), foreign = folder.file("foreign.db");
    { oxSpDatabase_c created(newer); }
    // A database of a later version, and one of another program's tables only.
    oxSpRunSql(newer, "PRAGMA user_version = 99; ATTACH '" + foreign + "' AS f; CREATE TABLE f.t(x)");
    using enum oxSpDatabase_c::Access;
    for (const auto& [path, status, access] :
         {std::tuple{folder.file("no/such/folder/sp.db"), oxSpStatusDatabase, readWrite},
          std::tuple{newer, oxSpStatusSchemaVersion, readWrite}, std::tuple{newer, oxSpStatusSchemaVersion, readOnly},
          std::tuple{foreign, oxSpStatusSchemaVersion, readWrite}, std::tuple{foreign, oxSpStatusSchemaVersion, readOnly}}) {
        SCOPED_TRACE(path + (access == readOnly ? " read-only" : ""));
        const std::string before = oxReadFile(path);
        const auto [got, text] = errorOf([&, &path = path, &access = access] { oxSpDatabase_c db(path, access); });
        EXPECT_EQ(got, status);
        EXPECT_NE(text.find(path), std::string::npos) << text;
        EXPECT_EQ(oxReadFile(path), before);
        EXPECT_FALSE(std::filesystem::exists(path + "-wal") || std::filesystem::exists(path + "-shm"));
    }
}

// A file of the first version (no owners) is read as it is and migrated when opened for writing.
TEST(oxSpDatabaseTest, ReadsAndMigratesTheFirstVersion) {
    oxSpTestFolder folder;
    const std::string path = folder.file("first.db");
    const oxMifComponent os = oxMifReader_c::parseComponent(oxSpExampleMif(), "Os.mif");
    oxSpDatabase_c(path).installComponent(os, "Os.mif");
    oxSpRunSql(path, "ALTER TABLE component DROP COLUMN owner_pid; ALTER TABLE component DROP COLUMN "
                     "owner_start; PRAGMA user_version = 1");
    EXPECT_EQ(oxSpDatabase_c(path, oxSpDatabase_c::Access::readOnly).components().at(0).owner, oxSpProcess{});
    oxSpDatabase_c db(path);
    EXPECT_EQ(db.component(db.installComponent(os, "Os.mif"))->owner, db.owner());
    EXPECT_EQ(db.components().size(), 2u);
}

} // namespace
