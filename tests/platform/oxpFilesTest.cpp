// Windows-form paths on the host, the current folder, wildcard searches of a folder, and version
// blocks read from module files without loading them, as the oxversion tool prints them.
#include "platform/oxpDirectory.h"
#include "platform/oxpPath.h"
#include "platform/oxpVersion.h"
#include "tests/support/oxTestFolder.h"
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

using namespace std::string_literals;

// Backslashes separate; existing names resolve in any case; the current folder may be set in Windows
// form and is read back with the buffer conventions of GetCurrentDirectoryA.
TEST(Path, BackslashesSeparateNamesResolveInAnyCaseAndTheCurrentFolderFollows) {
    oxTestFolder folder;
    const std::string file = folder.write("Inner/osComp.dll", "x");
#ifndef _WIN32 // Windows paths mapped onto a case-sensitive POSIX file system
    for (auto [windows, host] : {std::pair{"..\\a.dll", "../a.dll"}, {"a/b\\c", "a/b/c"}, {"a.dll", ""}}) {
        EXPECT_EQ(oxp::hostPath(windows), *host ? host : windows) << windows;
        EXPECT_EQ(oxp::hasSeparator(windows), *host != 0) << windows;
    }
    EXPECT_TRUE(oxp::hostPath(nullptr).empty() && !oxp::hasSeparator(nullptr));
    EXPECT_EQ(oxp::resolveHostPath(folder / "INNER/OSCOMP.DLL"), file);
    // Nothing matches: the rest stays as written.
    EXPECT_EQ(oxp::resolveHostPath(folder / "INNER/none/OSCOMP.DLL"), folder / "Inner/none/OSCOMP.DLL");
#endif
    const std::string asSet = folder.path.string() + "\\inner";
    ASSERT_TRUE(oxp::setCurrentDirectory(asSet.c_str()));
    for (const std::string& bad : {std::string(), folder / "missing", file}) // the folder stays
        EXPECT_FALSE(oxp::setCurrentDirectory(bad.c_str())) << bad;
#ifdef _WIN32 // Windows answers the path as it was set, POSIX the folder's real one
    const std::string expected = asSet;
#else
    const std::string expected = std::filesystem::canonical(folder.path / "Inner").string();
#endif
    const auto length = static_cast<std::uint32_t>(expected.size());
    std::vector<char> buffer(length + 1, '#');
    EXPECT_EQ(oxp::getCurrentDirectory(length, buffer.data()), length + 1);
    EXPECT_EQ(buffer[0], '#'); // nothing written without room for the terminator
    EXPECT_EQ(oxp::getCurrentDirectory(length + 1, buffer.data()), length);
    EXPECT_EQ(std::string(buffer.data()), expected);
#ifndef _WIN32 // Windows does not remove a process's current folder
    std::filesystem::remove_all(expected); // a current folder that is gone has no path
    EXPECT_EQ(oxp::getCurrentDirectory(length + 1, buffer.data()), 0u);
#endif
}

// Only plain files, sorted in any case then by bytes; folders relative, Windows-form, any case.
TEST(DirectorySearch, WildcardsMatchPlainFilesCaseInsensitivelySorted) {
    oxTestFolder folder;
    for (const char* name : {"b.MIF", "A.mif", "c.txt", "noext", "Group.grp", "x.DLL"})
        folder.write(name, "12345");
    for (const char* name : {"ba.x", "b~.x", "B_a.x", "b.x", "b-a.x"}) // one order on every system
        folder.write("Order/"s + name, "12345");
    std::filesystem::create_directory(folder.path / "d.mif");
    folder.write("Sub/x.dll", "1");
    // All names a search hands out, in order (with "+" when the size is not 5).
    const auto search = [](const std::string& pattern) {
        std::vector<std::string> names;
        oxp::FindData data{};
        const oxp::FindHandle h = oxp::findFirstFile(pattern.c_str(), &data);
        for (bool more = h != oxp::invalidFindHandle; more; more = oxp::findNextFile(h, &data))
            names.push_back(data.fileName + std::string(data.fileSize == 5 ? "" : "+"));
        EXPECT_EQ(oxp::findClose(h), h != oxp::invalidFindHandle) << pattern;
        EXPECT_FALSE(oxp::findClose(h) || oxp::findNextFile(h, &data)); // the handle is gone
        return names;
    };
    using Names = std::vector<std::string>;
    // clang-format off
    for (auto [pattern, names] : {std::pair{"*.mif", Names{"A.mif", "b.MIF"}},
                                  {"?.MIF", Names{"A.mif", "b.MIF"}},
                                  {"g*p.*", Names{"Group.grp"}},
                                  {"*.*", Names{"A.mif", "b.MIF", "c.txt", "Group.grp", "noext", "x.DLL"}},
                                  {"order\\*", Names{"b-a.x", "b.x", "B_a.x", "ba.x", "b~.x"}},
                                  {"missing\\*.mif", Names{}},
                                  {"", Names{}},
                                  {"d.mif", Names{}}})
        EXPECT_EQ(search(folder / pattern), names) << pattern;
    // clang-format on
#ifndef _WIN32 // Wine makes no symbolic links
    // A link to a plain file is one, with the file's size; a link to a folder is not.
    std::filesystem::create_symlink(folder.path / "A.mif", folder.path / "a.lnk");
    std::filesystem::create_directory_symlink(folder.path / "d.mif", folder.path / "d.lnk");
    EXPECT_EQ(search(folder / "*.lnk"), Names{"a.lnk"});
#endif
    std::filesystem::current_path(folder.path);
    EXPECT_EQ(search("SUB\\*.DLL"), Names{"x.dll+"});
    oxp::FindData data{};
    EXPECT_EQ(oxp::findFirstFile(nullptr, &data), oxp::invalidFindHandle);
}

const std::string versioned = OX_BIN_DIR + "/fxVersioned.dll"s;

// The values themselves, their order and the fixed part's versions show in the tool's output.
TEST(VersionBlock, TheFixedPartAndValuesAnswerTheirPaths) {
    std::vector<unsigned char> block(oxp::getFileVersionInfoSize(versioned.c_str()));
    const auto size = static_cast<std::uint32_t>(block.size());
    const void* value = nullptr;
    std::uint32_t length = 0;
    ASSERT_GT(size, sizeof(oxp::FixedFileInfo));
    EXPECT_FALSE(oxp::getFileVersionInfo(versioned.c_str(), size - 1, block.data())); // too small
    EXPECT_FALSE(oxp::verQueryValue(block.data(), "\\", &value, nullptr)); // never filled
    ASSERT_TRUE(oxp::getFileVersionInfo(versioned.c_str(), size, block.data()));
    ASSERT_TRUE(oxp::verQueryValue(block.data(), "\\", &value, &length));
    EXPECT_EQ(length, sizeof(oxp::FixedFileInfo));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(value) % alignof(oxp::FixedFileInfo), 0u);
    const auto& f = *static_cast<const oxp::FixedFileInfo*>(value);
    EXPECT_EQ(std::tuple(f.signature, f.structVersion, f.fileOS),
              std::tuple(0xFEEF04BDu, 0x00010000u, 0x00040004u));
    ASSERT_TRUE(oxp::verQueryValue(block.data(), "\\stringFileInfo\\040904E4\\FileVersion", &value, &length));
    EXPECT_EQ(std::pair(std::string(static_cast<const char*>(value)), length), std::pair("1.2.3.4"s, 8u));
}

TEST(VersionBlock, FilesWithoutAWellFormedBlockHaveNone) {
#ifdef _WIN32
    GTEST_SKIP() << "Linux only: patches the ELF section the POSIX reader walks";
#endif
    oxTestFolder folder;
    const std::string bytes = oxReadFile(versioned);
    // A copy of the fixture with the first occurrence of from replaced (same length).
    const auto patched = [&](const std::string& from, const std::string& to) {
        std::string copy = bytes;
        const std::size_t at = copy.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        copy.replace(at, from.size(), to);
        return folder.write("patched" + std::to_string(at) + to.back() + ".dll", copy);
    };
    std::vector<std::string> files = {OX_BIN_DIR + "/fxPlain.dll"s,
                                      folder.write("text.dll", "MZ not an ELF file\n"),
                                      folder / "missing.dll",
                                      folder.path.string(),
                                      patched("oxVersionBlock", "oxVersionBlocX"),
                                      patched("oxVersionBlock\0001"s, "oxVersionBlock\0002"s),
                                      patched("1.2.3.4 5.6.0x7.8 2", "1.2.3.4 5.6.0x7.Q 2")};
    for (std::size_t cut : std::vector<std::size_t>{bytes.size() / 2, bytes.size() - 1, 64, 20, 16})
        files.push_back(folder.write("cut" + std::to_string(cut) + ".dll", bytes.substr(0, cut)));
    // 65535 section headers of 65535 bytes each: far more than the file holds.
    files.push_back(folder.write("huge.dll", bytes.substr(0, 0x3A) + "\xff\xff\xff\xff" + bytes.substr(0x3E)));
    for (const std::string& file : files)
        EXPECT_EQ(oxp::getFileVersionInfoSize(file.c_str()), 0u) << file;
    EXPECT_EQ(oxp::getFileVersionInfoSize(nullptr), 0u);
    // The string table is not the version block.
    EXPECT_GT(oxp::getFileVersionInfoSize(patched("oxStringTable", "oxStringTablX").c_str()), 0u);
}

// The copy call that follows a size call on the same path and thread answers what the size call
// read, even when the file was replaced in between; any other call reads the file.
TEST(VersionBlock, TheCopyAfterTheSizeAnswersWhatTheSizeRead) {
#ifdef _WIN32
    GTEST_SKIP() << "Linux only: Windows reads the file at each call";
#endif
    oxTestFolder folder;
    const std::string bytes = oxReadFile(versioned);
    std::string later = bytes;
    later.replace(later.find("1.2.3.4\0"s), 8, "9.8.7.6\0"s);
    const std::string file = folder.write("Module.dll", bytes), other = folder.write("other.dll", later);
    // The file version the copy call answers (empty when it fails), after the size call when sized.
    const auto copied = [](const std::string& path, const std::string& sized = "") {
        std::vector<char> block(sized.empty() ? 4096 : oxp::getFileVersionInfoSize(sized.c_str()) + 64u);
        const void* value = nullptr;
        return oxp::getFileVersionInfo(path.c_str(), static_cast<std::uint32_t>(block.size()), block.data()) &&
                       oxp::verQueryValue(block.data(), "\\StringFileInfo\\040904e4\\FileVersion", &value, nullptr)
                   ? std::string(static_cast<const char*>(value)) : "";
    };
    using Texts = std::vector<std::string>;
    EXPECT_EQ((Texts{copied(file, file), copied(other, file), copied(folder / "MODULE.DLL", folder / "MODULE.DLL")}),
              (Texts{"1.2.3.4", "9.8.7.6", "1.2.3.4"}));
    EXPECT_GT(oxp::getFileVersionInfoSize(file.c_str()), 0u);
    folder.write("Module.dll", later);
    EXPECT_EQ((Texts{copied(file), copied(file)}), (Texts{"1.2.3.4", "9.8.7.6"})); // kept once, then read again
    // Threads scanning at once each take their own.
    Texts seen(2);
    std::thread first([&] { for (int i = 0; i < 200; ++i) seen[0] += copied(other, other) == "9.8.7.6" ? "" : "x"; });
    for (int i = 0; i < 200; ++i)
        seen[1] += copied(versioned, versioned) == "1.2.3.4" ? "" : "x";
    first.join();
    EXPECT_EQ(seen, Texts(2));
}

// Windows module files carry the block as a VS_VERSIONINFO tree in an RT_VERSION resource.
void put(std::string& bytes, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> 8 * i);
}
std::string wide(const std::string& text) {
    std::string units;
    for (char c : text + '\0')
        units += std::string{c, '\0'};
    return units;
}
std::string node(const std::string& key, const std::string& value, bool text, const std::string& children) {
    std::string n = std::string(6, '\0') + wide(key);
    n.resize((n.size() + 3) & ~std::size_t{3}, '\0');
    n += value;
    if (!children.empty())
        n.resize((n.size() + 3) & ~std::size_t{3}, '\0');
    n += children;
    put(n, 0, static_cast<std::uint32_t>(n.size()), 2);
    put(n, 2, static_cast<std::uint32_t>(text ? value.size() / 2 : value.size()), 2);
    put(n, 4, text, 2);
    return n + std::string(n.size() % 4, '\0');
}
// A PE32+ file of one section at file offset 0x200, address 0x1000: the resource directory
// (type 16, name 1, language 0x409) and the block.
std::string peFile(const std::string& block) {
    std::string pe(0x258, '\0');
    pe.replace(0, 2, "MZ");
    put(pe, 0x3C, 0x40, 4);
    pe.replace(0x40, 4, "PE\0\0"s);
    put(pe, 0x44, 0x8664, 2);
    put(pe, 0x46, 1, 2);         // one section
    put(pe, 0x54, 240, 2);       // optional header size
    put(pe, 0x58, 0x20B, 2);     // PE32+
    put(pe, 0x58 + 108, 16, 4);  // data directories
    put(pe, 0x58 + 128, 0x1000, 4);
    put(pe, 0x58 + 132, 0x58 + static_cast<std::uint32_t>(block.size()), 4);
    const std::size_t section = 0x58 + 240;
    pe.replace(section, 5, ".rsrc");
    put(pe, section + 8, 0x58 + static_cast<std::uint32_t>(block.size()), 4);
    put(pe, section + 12, 0x1000, 4);
    put(pe, section + 16, 0x58 + static_cast<std::uint32_t>(block.size()), 4);
    put(pe, section + 20, 0x200, 4);
    for (auto [at, id, next] : {std::tuple{0x200u, 16u, 0x80000018u}, {0x218u, 1u, 0x80000030u}, {0x230u, 0x409u, 0x48u}}) {
        put(pe, at + 14, 1, 2);
        put(pe, at + 16, id, 4);
        put(pe, at + 20, next, 4);
    }
    put(pe, 0x248, 0x1058, 4);
    put(pe, 0x24C, static_cast<std::uint32_t>(block.size()), 4);
    return pe + block;
}

// Every host reads a PE file's block as the system would: the fixed part and the values in
// the tree's order; a cut or misdirected file has none.
TEST(VersionBlock, PeFilesAnswerFromTheirVersionResource) {
    std::string fixed(52, '\0');
    for (auto [at, value] : {std::pair{0, 0xFEEF04BDu}, {4, 0x10000u}, {8, 0x10002u}, {32, 0x40004u}, {36, 2u}})
        put(fixed, static_cast<std::size_t>(at), value, 4);
    const std::string block = node("VS_VERSION_INFO", fixed, false,
        node("StringFileInfo", "", true, node("040904e4", "", true,
            node("FileVersion", wide("1.2"), true, "") + node("Comments", wide(""), true, ""))) +
        node("VarFileInfo", "", true, node("Translation", "\x09\x04\xe4\x04", false, "")) +
        node("OXInfo", "", true, node("coxBaseTag", wide("coxBaseTag"), true, "")));
    oxTestFolder folder;
    const std::string good = folder.write("pe.dll", peFile(block));
    std::vector<unsigned char> buffer(oxp::getFileVersionInfoSize(good.c_str()));
    ASSERT_TRUE(oxp::getFileVersionInfo(good.c_str(), static_cast<std::uint32_t>(buffer.size()), buffer.data()));
    const void* value = nullptr;
    ASSERT_TRUE(oxp::verQueryValue(buffer.data(), "\\", &value, nullptr));
    EXPECT_EQ(static_cast<const oxp::FixedFileInfo*>(value)->fileVersionMS, 0x10002u);
    std::string listed;
    const char *path = nullptr, *text = nullptr;
    for (std::uint32_t i = 0; oxp::versionValueAt(buffer.data(), i, &path, &text); ++i)
        listed += path + " = "s + text + "\n";
    EXPECT_EQ(listed, "\\StringFileInfo\\040904e4\\FileVersion = 1.2\n\\StringFileInfo\\040904e4\\Comments = \n"
                      "\\OXInfo\\coxBaseTag = coxBaseTag\n");
    std::string misdirected = peFile(block);
    put(misdirected, 0x248, 0x9000, 4); // the block's address lies outside every section
    for (const std::string& bad : {peFile(block).substr(0, 0x260), misdirected})
        EXPECT_EQ(oxp::getFileVersionInfoSize(folder.write("bad.dll", bad).c_str()), 0u);
}

// The tool prints the whole block or one value; files without one and bad calls fail.
TEST(OxversionTool, PrintsTheBlockOrOneValueAndReportsFilesWithoutOne) {
#ifdef _WIN32
    GTEST_SKIP() << "Linux only: runs the tool through a POSIX shell";
#else
    oxTestFolder folder;
    // Exit status, output and errors of oxversion run with the (shell-quoted) arguments.
    const auto run = [&](const std::string& arguments) {
        const int raw = std::system((OX_BIN_DIR + "/oxversion "s + arguments + " >'" + (folder / "out") +
                                     "' 2>'" + (folder / "err") + "'").c_str());
        return std::tuple(WEXITSTATUS(raw), oxReadFile(folder / "out"), oxReadFile(folder / "err"));
    };
    const std::string file = "'" + versioned + "'";
    const std::string fixedPart = "FileVersion    1.2.3.4\nProductVersion 5.6.7.8\nFileType       2 (DLL)\n";
    const std::string values = "\\StringFileInfo\\040904e4\\FileVersion = 1.2.3.4\n"
                               "\\OXInfo\\coxBaseTag = coxBaseTag\n\\StringFileInfo\\040904e4\\Comments = \n";
    // clang-format off
    for (auto [arguments, status, output, message] : {
             std::tuple{file, 0, fixedPart + values, ""},
             {file + " '\\oxinfo\\COXBASETAG'", 0, "coxBaseTag\n"s, ""},
             {file + " '\\'", 0, fixedPart, ""},
             {file + " '\\OXInfo'", 1, ""s, "no value"},
             {file + " 'OXInfo\\coxBaseTag'", 1, ""s, "no value"},
             {"'" + folder.write("text.dll", "hello\n") + "'", 1, ""s, "no version block"},
             {"'" + (folder / "missing.dll") + "'", 2, ""s, "cannot open"},
             {""s, 2, ""s, "usage"}}) {
        // clang-format on
        const auto [exitStatus, out, err] = run(arguments);
        EXPECT_EQ(std::pair(exitStatus, out), std::pair(status, output)) << arguments;
        EXPECT_TRUE(*message ? err.find(message) != std::string::npos : err.empty()) << err;
    }
#endif
}

} // namespace
