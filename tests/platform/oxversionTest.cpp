#include "tests/platform/oxpTestFolder.h"
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// Runs the built oxversion with the (shell-quoted) arguments: exit status, output, errors.
struct ToolRun {
    int status;
    std::string out, err;
};
ToolRun oxversion(const oxpTestFolder& folder, const std::string& arguments) {
    const std::string command = std::string("'") + OX_BIN_DIR + "/oxversion' " + arguments +
                                " >'" + (folder / "out") + "' 2>'" + (folder / "err") + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, oxpReadFile(folder / "out"),
            oxpReadFile(folder / "err")};
}

TEST(OxversionTool, PrintsTheBlockOrOneValueAndReportsFilesWithoutOne) {
    oxpTestFolder folder;
    const std::string versioned = std::string("'") + OX_BIN_DIR + "/fxVersioned.dll'";
    const ToolRun all = oxversion(folder, versioned);
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.out, "FileVersion    1.2.3.4\n"
                       "ProductVersion 5.6.7.8\n"
                       "FileType       2 (DLL)\n"
                       "\\StringFileInfo\\040904e4\\FileVersion = 1.2.3.4\n"
                       "\\OXInfo\\coxBaseTag = coxBaseTag\n"
                       "\\StringFileInfo\\040904e4\\Comments = \n");
    const ToolRun one = oxversion(folder, versioned + " '\\oxinfo\\COXBASETAG'");
    EXPECT_EQ(std::pair(one.status, one.out), std::pair(0, std::string("coxBaseTag\n")));
    const struct {
        std::string arguments;
        int status;
        const char* message;
    } failures[] = {{versioned + " '\\OXInfo\\none'", 1, "no value"},
                    {"'" + folder.write("text.dll", "hello\n") + "'", 1, "no version block"},
                    {"'" + (folder / "missing.dll") + "'", 2, "cannot open"},
                    {"", 2, ""}};
    for (const auto& f : failures) {
        const ToolRun run = oxversion(folder, f.arguments);
        EXPECT_EQ(run.status, f.status) << f.arguments;
        EXPECT_EQ(run.out, "") << f.arguments;
        EXPECT_NE(run.err.find(f.message), std::string::npos) << run.err;
    }
}

} // namespace
