// Windows-form paths on the host, the current folder, and wildcard searches of a folder.
#include "platform/oxpDirectory.h"
#include "platform/oxpPath.h"
#include "tests/platform/oxpTestFolder.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(Path, BackslashesSeparateAndExistingNamesResolveInAnyCase) {
    for (auto [windows, host] : {std::pair{"..\\oxLng.dll", "../oxLng.dll"},
                                 {"dir\\osComp.grp", "dir/osComp.grp"},
                                 {"a/b\\c", "a/b/c"},
                                 {"osComp.dll", ""},
                                 {"", ""}}) {
        EXPECT_EQ(oxp::hostPath(windows), *host ? host : windows) << windows;
        EXPECT_EQ(oxp::hasSeparator(windows), *host != 0) << windows;
    }
    EXPECT_TRUE(oxp::hostPath(nullptr).empty() && !oxp::hasSeparator(nullptr));
    EXPECT_EQ(oxp::baseName("..\\dir/osComp.dll"), "osComp.dll");
    oxpTestFolder folder;
    const std::string file = folder.write("Sub/osComp.dll", "x");
    EXPECT_EQ(oxp::resolveHostPath(folder / "SUB/OSCOMP.DLL"), file);
    EXPECT_EQ(oxp::resolveHostPath(folder / "sub/../Sub/oscomp.dll"),
              folder / "Sub/../Sub/osComp.dll");
    // Nothing matches: the rest stays as written.
    EXPECT_EQ(oxp::resolveHostPath(folder / "SUB/none/OSCOMP.DLL"), folder / "Sub/none/OSCOMP.DLL");
}

TEST(CurrentDirectory, SetThenGetWithTheBufferConventionsAndFailuresKeepTheOldOne) {
    oxpKeepCurrentFolder keep;
    oxpTestFolder folder;
    const std::string file = folder.write("file.txt", "x");
    std::filesystem::create_directory(folder.path() / "Inner");
    for (const std::string& bad : {std::string(), folder / "missing", file})
        EXPECT_FALSE(oxp::setCurrentDirectory(bad.c_str())) << bad;
    EXPECT_FALSE(oxp::setCurrentDirectory(nullptr));
    std::string windowsForm = (folder.path() / "inner").string();
    std::replace(windowsForm.begin(), windowsForm.end(), '/', '\\');
    ASSERT_TRUE(oxp::setCurrentDirectory(windowsForm.c_str()));
    const std::string expected = std::filesystem::canonical(folder.path() / "Inner").string();
    const auto length = static_cast<std::uint32_t>(expected.size());
    std::vector<char> buffer(length + 1, '#');
    EXPECT_EQ(oxp::getCurrentDirectory(0, nullptr), length + 1);
    EXPECT_EQ(oxp::getCurrentDirectory(length, buffer.data()), length + 1);
    EXPECT_EQ(buffer[0], '#'); // nothing written without room for the terminator
    EXPECT_EQ(oxp::getCurrentDirectory(length + 1, buffer.data()), length);
    EXPECT_EQ(std::string(buffer.data()), expected);
    std::filesystem::remove(expected); // a current folder that is gone has no path
    EXPECT_EQ(oxp::getCurrentDirectory(length + 1, buffer.data()), 0u);
}

// All names a search hands out, in order; empty when it finds nothing.
std::vector<std::string> search(const std::string& pattern) {
    std::vector<std::string> names;
    oxp::FindData data{};
    const oxp::FindHandle h = oxp::findFirstFile(pattern.c_str(), &data);
    if (h == oxp::invalidFindHandle)
        return names;
    do
        names.push_back(data.fileName + std::string(data.fileSize == 5 ? "" : "+"));
    while (oxp::findNextFile(h, &data));
    EXPECT_FALSE(oxp::findNextFile(h, &data)); // stays exhausted
    EXPECT_TRUE(oxp::findClose(h));
    EXPECT_FALSE(oxp::findClose(h) || oxp::findNextFile(h, &data)); // the handle is gone
    return names;
}

// Only plain files, sorted in any case; folder parts may be relative, Windows-form, any case.
TEST(DirectorySearch, WildcardsMatchPlainFilesCaseInsensitivelySorted) {
    oxpKeepCurrentFolder keep;
    oxpTestFolder folder;
    for (const char* name : {"b.MIF", "A.mif", "c.txt", "noext", "Group.grp", "osComp.DLL"})
        folder.write(name, "12345");
    std::filesystem::create_directory(folder.path() / "d.mif");
    folder.write("Sub/x.dll", "1");
    using Names = std::vector<std::string>;
    const Names all{"A.mif", "b.MIF", "c.txt", "Group.grp", "noext", "osComp.DLL"};
    for (auto [pattern, names] : {std::pair{"*.mif", Names{"A.mif", "b.MIF"}},
                                  {"?.MIF", Names{"A.mif", "b.MIF"}},
                                  {"*.dll", Names{"osComp.DLL"}},
                                  {"g*p.*", Names{"Group.grp"}},
                                  {"OSCOMP.dll", Names{"osComp.DLL"}},
                                  {"*.*", all},
                                  {"*", all},
                                  {"*.xyz", Names{}},
                                  {"missing\\*.mif", Names{}},
                                  {"", Names{}},
                                  {"d.mif", Names{}}})
        EXPECT_EQ(search(folder / pattern), names) << pattern;
    std::filesystem::current_path(folder.path());
    EXPECT_EQ(search("SUB\\*.DLL"), Names{"x.dll+"});
    oxp::FindData data{};
    EXPECT_EQ(oxp::findFirstFile(nullptr, &data), oxp::invalidFindHandle);
    EXPECT_FALSE(oxp::findNextFile(oxp::invalidFindHandle, &data));
    EXPECT_FALSE(oxp::findClose(oxp::invalidFindHandle));
}

} // namespace
