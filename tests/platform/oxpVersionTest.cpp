// Version blocks read from module files without loading them, and the oxversion tool that
// prints them.
#include "platform/oxpVersion.h"
#include "tests/platform/oxpTestFolder.h"
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

const std::string versioned = std::string(OX_BIN_DIR) + "/fxVersioned.dll";

// The values themselves, their order and the fixed part's versions show in the tool's output.
TEST(VersionBlock, TheFixedPartAndValuesAnswerTheirPaths) {
    std::vector<unsigned char> block(oxp::getFileVersionInfoSize(versioned.c_str()));
    const auto size = static_cast<std::uint32_t>(block.size());
    ASSERT_GT(size, sizeof(oxp::FixedFileInfo));
    ASSERT_TRUE(oxp::getFileVersionInfo(versioned.c_str(), size, block.data()));
    const void* value = nullptr;
    std::uint32_t length = 0;
    ASSERT_TRUE(oxp::verQueryValue(block.data(), "\\", &value, &length));
    EXPECT_EQ(length, sizeof(oxp::FixedFileInfo));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(value) % alignof(oxp::FixedFileInfo), 0u);
    const auto& f = *static_cast<const oxp::FixedFileInfo*>(value);
    EXPECT_EQ(std::tuple(f.signature, f.structVersion, f.fileOS),
              std::tuple(0xFEEF04BDu, 0x00010000u, 0x00040004u));
    ASSERT_TRUE(oxp::verQueryValue(block.data(), "\\stringFileInfo\\040904E4\\FileVersion", &value,
                                   &length));
    EXPECT_EQ(std::pair(std::string(static_cast<const char*>(value)), length),
              std::pair(std::string("1.2.3.4"), 8u));
    for (const char* missing : {"\\OXInfo", "\\OXInfo\\coxBase", "OXInfo\\coxBaseTag", ""})
        EXPECT_FALSE(oxp::verQueryValue(block.data(), missing, &value, &length)) << missing;
    // The buffer must hold the block.
    std::vector<unsigned char> small(size);
    EXPECT_FALSE(oxp::getFileVersionInfo(versioned.c_str(), size - 1, small.data()));
    EXPECT_FALSE(oxp::getFileVersionInfo(versioned.c_str(), size, nullptr));
    EXPECT_FALSE(oxp::verQueryValue(small.data(), "\\", &value, nullptr)); // never filled
}

TEST(VersionBlock, FilesWithoutAWellFormedBlockHaveNone) {
    oxpTestFolder folder;
    const std::string bytes = oxpReadFile(versioned);
    ASSERT_GT(bytes.size(), 64u);
    // A copy of the fixture with the first occurrence of from replaced (same length).
    const auto patched = [&](const std::string& from, const std::string& to) {
        std::string copy = bytes;
        const std::size_t at = copy.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos)
            copy.replace(at, from.size(), to);
        return folder.write("patched" + std::to_string(at) + to.back() + ".dll", copy);
    };
    std::vector<std::string> files = {std::string(OX_BIN_DIR) + "/fxPlain.dll",
                                      folder.write("text.dll", "MZ not an ELF file\n"),
                                      folder.write("empty.dll", ""),
                                      folder / "missing.dll",
                                      folder.path().string(),
                                      folder.write("elfonly.dll", bytes.substr(0, 16)),
                                      patched("oxVersionBlock", "oxVersionBlocX"),
                                      patched(std::string("oxVersionBlock\0"
                                                          "1",
                                                          16),
                                              std::string("oxVersionBlock\0"
                                                          "2",
                                                          16)),
                                      patched("1.2.3.4 5.6.0x7.8 2", "1.2.3.4 5.6.0x7.Q 2"),
                                      patched("1.2.3.4 5.6.0x7.8 2", "1.2.3.4 5.6.0x7.8 x")};
    for (std::size_t cut : {bytes.size() / 2, bytes.size() - 1, std::size_t(64), std::size_t(20)})
        files.push_back(folder.write("cut" + std::to_string(cut) + ".dll", bytes.substr(0, cut)));
    for (const std::string& file : files) {
        std::vector<unsigned char> buffer(4096);
        EXPECT_EQ(oxp::getFileVersionInfoSize(file.c_str()), 0u) << file;
        EXPECT_FALSE(oxp::getFileVersionInfo(file.c_str(), 4096, buffer.data())) << file;
    }
    EXPECT_EQ(oxp::getFileVersionInfoSize(nullptr), 0u);
    // Windows-form paths in any case name the file; the string table is not the version block.
    folder.copyBuilt("fxVersioned.dll", "Sub/osComp.dll");
    EXPECT_EQ(
        oxp::getFileVersionInfoSize(((folder.path() / "SUB").string() + "\\OSCOMP.DLL").c_str()),
        oxp::getFileVersionInfoSize(versioned.c_str()));
    EXPECT_GT(oxp::getFileVersionInfoSize(patched("oxStringTable", "oxStringTablX").c_str()), 0u);
}

// The tool prints the whole block or one value; files without one and bad calls fail.
TEST(OxversionTool, PrintsTheBlockOrOneValueAndReportsFilesWithoutOne) {
    oxpTestFolder folder;
    // Exit status, output and errors of oxversion run with the (shell-quoted) arguments.
    const auto run = [&](const std::string& arguments) {
        const int raw = std::system(("'" + std::string(OX_BIN_DIR) + "/oxversion' " + arguments +
                                     " >'" + (folder / "out") + "' 2>'" + (folder / "err") + "'")
                                        .c_str());
        return std::tuple(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, oxpReadFile(folder / "out"),
                          oxpReadFile(folder / "err"));
    };
    const std::string file = "'" + versioned + "'";
    const std::string fixedPart = "FileVersion    1.2.3.4\nProductVersion 5.6.7.8\n"
                                  "FileType       2 (DLL)\n";
    EXPECT_EQ(run(file),
              std::tuple(0,
                         fixedPart + "\\StringFileInfo\\040904e4\\FileVersion = 1.2.3.4\n"
                                     "\\OXInfo\\coxBaseTag = coxBaseTag\n"
                                     "\\StringFileInfo\\040904e4\\Comments = \n",
                         ""));
    EXPECT_EQ(run(file + " '\\oxinfo\\COXBASETAG'"), std::tuple(0, "coxBaseTag\n", ""));
    EXPECT_EQ(run(file + " '\\'"), std::tuple(0, fixedPart, ""));
    for (auto [arguments, status, message] :
         {std::tuple{file + " '\\OXInfo\\none'", 1, "no value"},
          {"'" + folder.write("text.dll", "hello\n") + "'", 1, "no version block"},
          {"'" + (folder / "missing.dll") + "'", 2, "cannot open"},
          {"", 2, "usage"}}) {
        const auto [exitStatus, out, err] = run(arguments);
        EXPECT_EQ(std::pair(exitStatus, out), std::pair(status, std::string())) << arguments;
        EXPECT_NE(err.find(message), std::string::npos) << err;
    }
}

} // namespace
