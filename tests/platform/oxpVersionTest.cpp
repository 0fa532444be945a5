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

TEST(VersionBlock, TheFixedPartIsAFixedFileInfo) {
    std::vector<unsigned char> block = blockOf(versioned);
    ASSERT_FALSE(block.empty());
    const void* fixed = nullptr;
    std::uint32_t length = 0;
    ASSERT_TRUE(oxp::verQueryValue(block.data(), "\\", &fixed, &length));
    EXPECT_EQ(length, sizeof(oxp::FixedFileInfo));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(fixed) % alignof(oxp::FixedFileInfo), 0u);
    const auto& info = *static_cast<const oxp::FixedFileInfo*>(fixed);
    EXPECT_EQ(info.signature, 0xFEEF04BDu);
    EXPECT_EQ(info.structVersion, 0x00010000u);
    EXPECT_EQ(info.fileVersionMS, 0x00010002u);
    EXPECT_EQ(info.fileVersionLS, 0x00030004u);
    EXPECT_EQ(info.productVersionMS, 0x00050006u);
    EXPECT_EQ(info.productVersionLS, 0x00070008u);
    EXPECT_EQ(info.fileType, 2u);
    EXPECT_EQ(info.fileOS, 0x00040004u);
}

TEST(VersionBlock, ValuesAnswerTheirPathsInAnyCase) {
    std::vector<unsigned char> block = blockOf(versioned);
    ASSERT_FALSE(block.empty());
    EXPECT_EQ(value(block, "\\OXInfo\\coxBaseTag"), "coxBaseTag");
    EXPECT_EQ(value(block, "\\oxinfo\\COXBASETAG"), "coxBaseTag");
    EXPECT_EQ(value(block, "\\StringFileInfo\\040904E4\\FileVersion"), "1.2.3.4");
    EXPECT_EQ(value(block, "\\StringFileInfo\\040904e4\\Comments"), "");
    for (const char* missing : {"\\OXInfo", "\\OXInfo\\coxBase", "OXInfo\\coxBaseTag", ""})
        EXPECT_EQ(value(block, missing), "<none>") << missing;
    std::vector<std::string> paths;
    const char* path = nullptr;
    const char* text = nullptr;
    for (std::uint32_t i = 0; oxp::versionValueAt(block.data(), i, &path, &text); ++i)
        paths.push_back(path);
    EXPECT_EQ(paths, (std::vector<std::string>{"\\StringFileInfo\\040904e4\\FileVersion",
                                               "\\OXInfo\\coxBaseTag",
                                               "\\StringFileInfo\\040904e4\\Comments"}));
}

TEST(VersionBlock, TheBufferMustHoldTheBlock) {
    std::uint32_t size = oxp::getFileVersionInfoSize(versioned.c_str());
    ASSERT_GT(size, sizeof(oxp::FixedFileInfo));
    std::vector<unsigned char> buffer(size);
    EXPECT_FALSE(oxp::getFileVersionInfo(versioned.c_str(), size - 1, buffer.data()));
    EXPECT_FALSE(oxp::getFileVersionInfo(versioned.c_str(), size, nullptr));
    const void* answer = nullptr;
    EXPECT_FALSE(oxp::verQueryValue(buffer.data(), "\\", &answer, nullptr)); // never filled
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
    // The string table's section is not the version block's.
    EXPECT_GT(oxp::getFileVersionInfoSize(patched(folder, "oxStringTable", "oxStringTablX").c_str()), 0u);
}

TEST(VersionBlock, WindowsFormPathsAndAnyCaseNameTheFile) {
    oxpTestFolder folder;
    folder.copyBuilt("fxVersioned.dll", "Sub/osComp.dll");
    std::string windowsForm = (folder.path() / "SUB").string() + "\\OSCOMP.DLL";
    EXPECT_EQ(oxp::getFileVersionInfoSize(windowsForm.c_str()),
              oxp::getFileVersionInfoSize(versioned.c_str()));
}

} // namespace
