#include "tests/platform/oxpTestFolder.h"
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

// Runs the built oxversion through the shell (std::system answers a wait status) with the arguments (already shell-quoted).
ToolRun oxversion(const oxpTestFolder& folder, const std::string& arguments) {
    std::string command = std::string("'") + OX_BIN_DIR + "/oxversion' " + arguments + " >'" +
                          (folder / "out") + "' 2>'" + (folder / "err") + "'";
    int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, oxpReadFile(folder / "out"), oxpReadFile(folder / "err")};
}

const std::string versioned = std::string("'") + OX_BIN_DIR + "/fxVersioned.dll'";

TEST(OxversionTool, PrintsTheWholeBlockOrOneValue) {
    oxpTestFolder folder;
    ToolRun all = oxversion(folder, versioned);
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.out, "FileVersion    1.2.3.4\n"
                       "ProductVersion 5.6.7.8\n"
                       "FileType       2 (DLL)\n"
                       "\\StringFileInfo\\040904e4\\FileVersion = 1.2.3.4\n"
                       "\\OXInfo\\coxBaseTag = coxBaseTag\n"
                       "\\StringFileInfo\\040904e4\\Comments = \n");
    ToolRun one = oxversion(folder, versioned + " '\\oxinfo\\COXBASETAG'");
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.out, "coxBaseTag\n");
    ToolRun missing = oxversion(folder, versioned + " '\\OXInfo\\none'");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no value"), std::string::npos);
}

TEST(OxversionTool, FilesWithoutABlockAndMissingFilesFail) {
    oxpTestFolder folder;
    std::string text = folder.write("text.dll", "hello\n");
    ToolRun none = oxversion(folder, "'" + text + "'");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("no version block"), std::string::npos);
    ToolRun missing = oxversion(folder, "'" + (folder / "missing.dll") + "'");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("cannot open"), std::string::npos);
    EXPECT_EQ(oxversion(folder, "").status, 2);
}

} // namespace
