// The provider suites' scratch folder is the shared one; the example description comes from the tree;
// SQL run on a file from outside the provider.
#pragma once
#include "tests/support/oxTestFolder.h"
#include <gtest/gtest.h>
#include <sqlite3.h>

using oxSpTestFolder = oxTestFolder;

inline std::string oxSpExampleMif() { return oxReadFile(OX_SOURCE_DIR "/examples/os/Os.mif"); }

// Runs SQL on a database file through a connection of its own, as another program would.
inline void oxSpRunSql(const std::string& path, const std::string& sql) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(raw);
    sqlite3_close(raw);
}
