#include "platform/oxpDirectory.h"
#include "platform/oxpPath.h"
#include "tests/platform/oxpTestFolder.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(Path, BackslashesBecomeTheHostSeparator) {
    struct Case {
        const char* windows;
        const char* host;
        bool separated;
    };
    for (const Case& c : std::vector<Case>{{"..\\oxLng.dll", "../oxLng.dll", true},
                                           {"dir\\osComp.grp", "dir/osComp.grp", true},
                                           {"a/b\\c", "a/b/c", true},
                                           {"osComp.dll", "osComp.dll", false},
                                           {"", "", false}}) {
        EXPECT_EQ(oxp::hostPath(c.windows), c.host) << c.windows;
        EXPECT_EQ(oxp::hasSeparator(c.windows), c.separated) << c.windows;
    }
    EXPECT_EQ(oxp::hostPath(nullptr), "");
    EXPECT_FALSE(oxp::hasSeparator(nullptr));
    EXPECT_EQ(oxp::baseName("..\\dir/osComp.dll"), "osComp.dll");
}

TEST(Path, ExistingNamesResolveCaseInsensitivelyPartByPart) {
    oxpTestFolder folder;
    std::string file = folder.write("Sub/osComp.dll", "x");
    EXPECT_EQ(oxp::resolveHostPath(folder / "SUB/OSCOMP.DLL"), file);
    EXPECT_EQ(oxp::resolveHostPath(folder / "sub/../Sub/oscomp.dll"), folder / "Sub/../Sub/osComp.dll");
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
}

// All names a search hands out, in order; empty when it finds nothing.
std::vector<std::string> search(const std::string& pattern) {
    std::vector<std::string> names;
    oxp::FindData data{};
    oxp::FindHandle h = oxp::findFirstFile(pattern.c_str(), &data);
    if (h == oxp::invalidFindHandle)
        return names;
    do
        names.push_back(data.fileName);
    while (oxp::findNextFile(h, &data));
    EXPECT_FALSE(oxp::findNextFile(h, &data)); // stays exhausted
    EXPECT_TRUE(oxp::findClose(h));
    return names;
}

class DirectorySearch : public testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"b.MIF", "A.mif", "c.txt", "noext", "Group.grp", "osComp.DLL"})
            folder.write(name, name);
        std::filesystem::create_directory(folder.path() / "d.mif"); // a folder: never found
        std::filesystem::create_directory(folder.path() / "Sub");
        folder.write("Sub/x.dll", "1");
    }
    oxpTestFolder folder;
};

TEST_F(DirectorySearch, WildcardsMatchCaseInsensitivelyPlainFilesSorted) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(search(folder / "*.mif"), (Names{"A.mif", "b.MIF"}));
    EXPECT_EQ(search(folder / "?.MIF"), (Names{"A.mif", "b.MIF"}));
    EXPECT_EQ(search(folder / "*.dll"), (Names{"osComp.DLL"}));
    EXPECT_EQ(search(folder / "g*p.*"), (Names{"Group.grp"}));
    EXPECT_EQ(search(folder / "OSCOMP.dll"), (Names{"osComp.DLL"}));
    EXPECT_EQ(search(folder / "*.*"),
              (Names{"A.mif", "b.MIF", "c.txt", "Group.grp", "noext", "osComp.DLL"}));
    EXPECT_EQ(search(folder / "*"), search(folder / "*.*"));
}

TEST_F(DirectorySearch, FolderPartsMayBeWindowsFormRelativeAndInAnyCase) {
    oxpKeepCurrentFolder keep;
    std::filesystem::current_path(folder.path());
    EXPECT_EQ(search("SUB\\*.DLL"), std::vector<std::string>{"x.dll"});
    oxp::FindData data{};
    oxp::FindHandle h = oxp::findFirstFile("c.txt", &data);
    ASSERT_NE(h, oxp::invalidFindHandle);
    EXPECT_EQ(data.fileSize, 5u);
    EXPECT_TRUE(oxp::findClose(h));
}

TEST_F(DirectorySearch, NoMatchAndUnknownHandlesFail) {
    oxp::FindData data{};
    for (const std::string& pattern : {folder / "*.xyz", folder / "missing\\*.mif", folder / "", folder / "d.mif"})
        EXPECT_EQ(oxp::findFirstFile(pattern.c_str(), &data), oxp::invalidFindHandle) << pattern;
    EXPECT_EQ(oxp::findFirstFile(nullptr, &data), oxp::invalidFindHandle);
    EXPECT_FALSE(oxp::findNextFile(oxp::invalidFindHandle, &data));
    EXPECT_FALSE(oxp::findClose(oxp::invalidFindHandle));
    oxp::FindHandle h = oxp::findFirstFile((folder / "*.mif").c_str(), &data);
    ASSERT_NE(h, oxp::invalidFindHandle);
    EXPECT_TRUE(oxp::findClose(h));
    EXPECT_FALSE(oxp::findClose(h));
    EXPECT_FALSE(oxp::findNextFile(h, &data));
}

} // namespace
