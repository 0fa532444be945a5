// The module file itself: what it exports, its version block, and its static objects when the
// language modules are missing.
#include "osCompTestModule.h"
#include "platform/oxpDirectory.h"
#include "platform/oxpVersion.h"
#include "tests/support/oxAllocationSeam.h"
#include "tests/support/oxBoxRecorder.h"
#include <gtest/gtest.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;
const std::string module = std::string(OX_BIN_DIR) + "/osComp.dll";

// Runs a command; its standard output and exit code.
std::pair<std::string, int> run(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {"", -1};
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    const int rc = pclose(pipe);
    return {output, WIFEXITED(rc) ? WEXITSTATUS(rc) : -1};
}

TEST(osCompModuleFile, ExportsNoFunctionButTheTwoEntryPoints) {
    const auto [output, rc] = run("nm -D --defined-only '" + module + "'");
    ASSERT_EQ(rc, 0) << output;
    std::set<std::string> functions;
    std::istringstream lines(output);
    std::string address, type, name;
    while (lines >> address >> type >> name)
        if (type == "T" || type == "t" || type == "W" || type == "w" || type == "i")
            functions.insert(name);
    EXPECT_EQ(functions, (std::set<std::string>{"coxBaseConstruct", "coxBaseDestruct"}));
}

TEST(osCompModuleFile, UnloadReleasesWhatTheStaticObjectsHeld) {
    oxLiveAllocations live;
    {
        osCompModule loaded;
        ASSERT_NE(loaded.handle, 0u);
        EXPECT_GT(live.leaked(), 0); // the served-attribute list and the message object
    }
    EXPECT_EQ(live.leaked(), 0);
}

TEST(osCompModuleFile, VersionToolFindsTheComponentTag) {
    const auto [output, rc] =
        run("'" + std::string(OX_BIN_DIR) + "/oxversion' '" + module + "' '\\OXInfo\\coxBaseTag'");
    EXPECT_EQ(rc, 0);
    EXPECT_NE(output.find("coxBaseTag"), std::string::npos) << output;
}

TEST(osCompModuleFile, VersionBlockHoldsEveryStringAndTheFixedPart) {
    const std::uint32_t size = oxp::getFileVersionInfoSize(module.c_str());
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(oxp::getFileVersionInfo(module.c_str(), size, block.data()));

    const std::pair<const char*, const char*> strings[] = {
        {"Component Name", "Operating System"}, {"FileVersion", "1.88.01"},
        {"FileDescription", "DMI 2.0 Operating System Component"}, {"InternalName", ""},
        {"Language", "en|US|iso8859-1"}, {"MIF Name", "Os.mif"}, {"OS Target", "Win32"},
        {"OriginalFilename", ""}, {"ProductVersion", "1, 8, 8, 0"}, {"Security", "Security"},
        {"Stepping", "0"}, {"coxBaseTag", "coxBaseTag"}};
    for (const auto& [key, expected] : strings) {
        SCOPED_TRACE(key);
        const std::string path = std::string("\\StringFileInfo\\040904e4\\") + key;
        const void* value = nullptr;
        std::uint32_t length = 0;
        ASSERT_TRUE(oxp::verQueryValue(block.data(), path.c_str(), &value, &length));
        EXPECT_STREQ(static_cast<const char*>(value), expected);
    }
    const void* fixed = nullptr;
    std::uint32_t length = 0;
    EXPECT_TRUE(oxp::verQueryValue(block.data(), "\\OXInfo\\coxBaseTag", &fixed, &length));
    ASSERT_TRUE(oxp::verQueryValue(block.data(), "\\", &fixed, &length));
    const auto& f = *static_cast<const oxp::FixedFileInfo*>(fixed);
    EXPECT_EQ(std::vector<std::uint32_t>({f.fileVersionMS, f.fileVersionLS, f.productVersionMS,
                                          f.productVersionLS, f.fileType}),
              std::vector<std::uint32_t>({0x00010000, 0x00010000, 0x00010008, 0x00080000, 2}));
}

// Runs in a process of its own, started by the next test from a folder without language
// modules, so that neither the program's folder nor the library path supplies them.
TEST(osCompModuleFile, DISABLED_LoadWithoutLanguageModules) {
    const char* moduleCopy = std::getenv("OX_OSCOMP_COPY");
    ASSERT_NE(moduleCopy, nullptr);
    oxBoxRecorder boxes;
    oxLiveAllocations live;
    {
        osCompModule loaded(moduleCopy);
        ASSERT_NE(loaded.handle, 0u);
        ASSERT_EQ(boxes.count(), 2u);
        EXPECT_EQ(boxes.boxes()[0].text, "Unable to load language file : oxLng.dll");
        EXPECT_EQ(boxes.boxes()[1].text, "Unable to load language file : oxOemLng.dll");
    }
    EXPECT_EQ(boxes.count(), 2u); // unloading shows nothing more
    EXPECT_EQ(live.leaked(), 0);  // and the static objects released all they held
    std::printf("language boxes checked\n");
}

TEST(osCompModuleFile, LoadWithoutLanguageModulesWarnsTwiceInOrder) {
    const fs::path bin(OX_BIN_DIR);
    const fs::path folder = fs::temp_directory_path() / ("osComp-nolang-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::remove_all(folder);
    fs::create_directories(folder / "work");
    for (const char* file : {"test_component", "liboxplatform.so", "osComp.dll"})
        fs::copy_file(bin / file, folder / file);
    const std::string command = "cd '" + (folder / "work").string() + "' && OX_OSCOMP_COPY='" +
                                (folder / "osComp.dll").string() + "' '" +
                                (folder / "test_component").string() +
                                "' --gtest_also_run_disabled_tests"
                                " --gtest_filter=osCompModuleFile.DISABLED_LoadWithoutLanguageModules";
    const auto [output, rc] = run(command);
    fs::remove_all(folder);
    EXPECT_EQ(rc, 0) << output;
    EXPECT_NE(output.find("language boxes checked"), std::string::npos) << output;
}

} // namespace
