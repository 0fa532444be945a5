#include "platform/oxpVersion.h"
#include "tests/platform/oxpTestFolder.h"
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The block of a file, or an empty buffer when it has none.
std::vector<unsigned char> blockOf(const std::string& file) {
    std::uint32_t size = oxp::getFileVersionInfoSize(file.c_str());
    std::vector<unsigned char> block(size);
    if (size == 0 || !oxp::getFileVersionInfo(file.c_str(), size, block.data()))
        block.clear();
    return block;
}

std::string value(const std::vector<unsigned char>& block, const char* path) {
    const void* text = nullptr;
    std::uint32_t length = 0;
    if (!oxp::verQueryValue(block.data(), path, &text, &length))
        return "<none>";
    EXPECT_EQ(length, std::strlen(static_cast<const char*>(text)) + 1) << path;
    return static_cast<const char*>(text);
}

const std::string versioned = std::string(OX_BIN_DIR) + "/fxVersioned.dll";

TEST(VersionBlock, FixedPartAndValuesAnswerTheirPathsInAnyCase) {
    std::vector<unsigned char> block = blockOf(versioned);
    ASSERT_GT(block.size(), sizeof(oxp::FixedFileInfo));
    const void* fixed = nullptr;
    std::uint32_t length = 0;
    ASSERT_TRUE(oxp::verQueryValue(block.data(), "\\", &fixed, &length));
    EXPECT_EQ(length, sizeof(oxp::FixedFileInfo));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(fixed) % alignof(oxp::FixedFileInfo), 0u);
    const auto& f = *static_cast<const oxp::FixedFileInfo*>(fixed);
    EXPECT_EQ(std::vector<std::uint32_t>({f.signature, f.structVersion, f.fileVersionMS,
                                          f.fileVersionLS, f.productVersionMS, f.productVersionLS,
                                          f.fileType, f.fileOS}),
              std::vector<std::uint32_t>({0xFEEF04BD, 0x00010000, 0x00010002, 0x00030004,
                                          0x00050006, 0x00070008, 2, 0x00040004}));
    EXPECT_EQ(value(block, "\\OXInfo\\coxBaseTag"), "coxBaseTag");
    EXPECT_EQ(value(block, "\\oxinfo\\COXBASETAG"), "coxBaseTag");
    EXPECT_EQ(value(block, "\\StringFileInfo\\040904E4\\FileVersion"), "1.2.3.4");
    EXPECT_EQ(value(block, "\\StringFileInfo\\040904e4\\Comments"), "");
    for (const char* missing : {"\\OXInfo", "\\OXInfo\\coxBase", "OXInfo\\coxBaseTag", ""})
        EXPECT_EQ(value(block, missing), "<none>") << missing;
    std::vector<std::string> paths;
    const char *path = nullptr, *text = nullptr;
    for (std::uint32_t i = 0; oxp::versionValueAt(block.data(), i, &path, &text); ++i)
        paths.push_back(path);
    EXPECT_EQ(paths, (std::vector<std::string>{"\\StringFileInfo\\040904e4\\FileVersion",
                                               "\\OXInfo\\coxBaseTag",
                                               "\\StringFileInfo\\040904e4\\Comments"}));
    // The buffer must hold the block.
    std::vector<unsigned char> small(block.size());
    const auto size = static_cast<std::uint32_t>(block.size());
    EXPECT_FALSE(oxp::getFileVersionInfo(versioned.c_str(), size - 1, small.data()));
    EXPECT_FALSE(oxp::getFileVersionInfo(versioned.c_str(), size, nullptr));
    EXPECT_FALSE(oxp::verQueryValue(small.data(), "\\", &fixed, nullptr)); // never filled
}

// Replaces the first occurrence of from (same length) in a copy of the fixture.
std::string patched(const oxpTestFolder& folder, const std::string& from, const std::string& to) {
    std::string bytes = oxpReadFile(versioned);
    std::size_t at = bytes.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        bytes.replace(at, from.size(), to);
    return folder.write("patched.dll", bytes);
}

TEST(VersionBlock, FilesWithoutAGoodBlockHaveNone) {
    oxpTestFolder folder;
    std::string bytes = oxpReadFile(versioned);
    ASSERT_GT(bytes.size(), 64u);
    std::vector<std::string> files = {
        std::string(OX_BIN_DIR) + "/fxPlain.dll", // a module without one
        folder.write("text.dll", "MZ not an ELF file\n"),
        folder.write("empty.dll", ""),
        folder / "missing.dll",
        folder.path().string(), // a folder
        folder.write("elfonly.dll", bytes.substr(0, 16)),
    };
    for (std::size_t cut : {bytes.size() / 2, bytes.size() - 1, std::size_t(64), std::size_t(20)})
        files.push_back(folder.write("cut" + std::to_string(cut) + ".dll", bytes.substr(0, cut)));
    for (const std::string& file : files) {
        EXPECT_EQ(oxp::getFileVersionInfoSize(file.c_str()), 0u) << file;
        std::vector<unsigned char> buffer(4096);
        EXPECT_FALSE(oxp::getFileVersionInfo(file.c_str(), 4096, buffer.data())) << file;
    }
    EXPECT_EQ(oxp::getFileVersionInfoSize(nullptr), 0u);
}

TEST(VersionBlock, AWrongMagicOrFixedPartMakesTheBlockMalformed) {
    oxpTestFolder folder;
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
             {"oxVersionBlock", "oxVersionBlocX"},
             {std::string("oxVersionBlock\0" "1", 16), std::string("oxVersionBlock\0" "2", 16)},
             {"1.2.3.4 5.6.0x7.8 2", "1.2.3.4 5.6.0x7.Q 2"},
             {"1.2.3.4 5.6.0x7.8 2", "1.2.3.4 5.6.0x7.8 x"}}) {
        std::string file = patched(folder, from, to);
        EXPECT_EQ(oxp::getFileVersionInfoSize(file.c_str()), 0u) << to;
        std::filesystem::remove(file);
    }
    // Windows-form paths in any case name the file.
    folder.copyBuilt("fxVersioned.dll", "Sub/osComp.dll");
    const std::string windowsForm = (folder.path() / "SUB").string() + "\\OSCOMP.DLL";
    EXPECT_EQ(oxp::getFileVersionInfoSize(windowsForm.c_str()),
              oxp::getFileVersionInfoSize(versioned.c_str()));
    // The string table's section is not the version block's.
    EXPECT_GT(oxp::getFileVersionInfoSize(patched(folder, "oxStringTable", "oxStringTablX").c_str()), 0u);
}

} // namespace
