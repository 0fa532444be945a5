#include "platform/oxpModule.h"
#include "tests/platform/oxpTestFolder.h"
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

using CountFn = int (*)();
using HandleFn = oxp::ModuleHandle (*)();

// A program folder and a current folder of their own, so each search step can be seen.
class ModuleLoading : public testing::Test {
  protected:
    void SetUp() override {
        oxp::seam::setProgramDirectory(program.path().c_str());
        std::filesystem::current_path(current.path());
    }
    void TearDown() override { oxp::seam::setProgramDirectory(""); }

    std::string real(const std::string& path) { return std::filesystem::canonical(path).string(); }

    oxpKeepCurrentFolder keep;
    oxpTestFolder program;
    oxpTestFolder current;
};

// A bare name: program folder, then current folder, in any case, ".dll" added when there is no
// extension; a path: relative to the current folder, never searched.
TEST_F(ModuleLoading, NamesAreSearchedAndPathsTakenAsWindowsDoes) {
    const std::string inProgram = program.copyBuilt("fxPlain.dll", "fxBoth.dll");
    current.copyBuilt("fxVersioned.dll", "fxBoth.dll");
    const std::string inCurrent = current.copyBuilt("fxVersioned.dll", "fxCurrent.dll");
    std::filesystem::create_directory(current.path() / "Inner");
    const struct {
        const char* name;
        std::string file;
        const char* inner; // loaded with the current folder one level down
    } cases[] = {{"fxBoth.dll", inProgram, nullptr},     {"FXBOTH.DLL", inProgram, nullptr},
                 {"fxboth", inProgram, nullptr},         {"fxCurrent.dll", inCurrent, nullptr},
                 {"FxCurrent.Dll", inCurrent, nullptr},  {"fxBoth.", "", nullptr},
                 {"..\\FXCURRENT.DLL", inCurrent, "Inner"}, {".\\fxCurrent.dll", "", "Inner"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::current_path(c.inner ? current.path() / c.inner : current.path());
        const oxp::ModuleHandle h = oxp::loadModule(c.name);
        EXPECT_EQ(h != 0, !c.file.empty());
        if (h) {
            EXPECT_EQ(oxp::moduleFileName(h), real(c.file));
            EXPECT_TRUE(oxp::freeModule(h));
        }
    }
    std::filesystem::current_path(current.path());
    const oxp::ModuleHandle both = oxp::loadModule("fxBoth.dll"), cur = oxp::loadModule("fxCurrent.dll");
    ASSERT_TRUE(both && cur && both != cur);
    EXPECT_NE(oxp::findSymbol(both, "fxCount"), nullptr);
    EXPECT_EQ(oxp::findSymbol(both, "fxAnswer"), nullptr);
    auto answer = reinterpret_cast<CountFn>(oxp::findSymbol(cur, "fxAnswer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_TRUE(oxp::freeModule(cur) && oxp::freeModule(both));
}

TEST_F(ModuleLoading, TheSameFileSharesOneHandleWithAReferenceCount) {
    oxpTestFolder elsewhere;
    std::string file = elsewhere.copyBuilt("fxPlain.dll", "fxShared.dll");
    oxp::ModuleHandle byPath = oxp::loadModule(file.c_str());
    ASSERT_NE(byPath, 0u);
    // Not in any searched folder: found because it is loaded.
    EXPECT_EQ(oxp::loadModule("FXSHARED.dll"), byPath);
    EXPECT_EQ(oxp::loadModule(file.c_str()), byPath);
    auto count = reinterpret_cast<CountFn>(oxp::findSymbol(byPath, "fxCount"));
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count(), 1);
    EXPECT_TRUE(oxp::freeModule(byPath));
    EXPECT_TRUE(oxp::freeModule(byPath));
    EXPECT_EQ(count(), 2); // one reference left: still loaded, same statics
    EXPECT_TRUE(oxp::freeModule(byPath));
    EXPECT_FALSE(oxp::freeModule(byPath));
    EXPECT_EQ(oxp::findSymbol(byPath, "fxCount"), nullptr);
    EXPECT_EQ(oxp::moduleFileName(byPath), "");
    EXPECT_EQ(oxp::loadModule("fxShared.dll"), 0u); // forgotten after the last free

    oxp::ModuleHandle again = oxp::loadModule(file.c_str());
    ASSERT_NE(again, 0u);
    count = reinterpret_cast<CountFn>(oxp::findSymbol(again, "fxCount"));
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count(), 1); // unloaded at the last free: fresh statics
    EXPECT_TRUE(oxp::freeModule(again));
}

TEST_F(ModuleLoading, BadNamesFilesAndHandlesFailCleanly) {
    program.write("text.dll", "not a module\n");
    program.write("empty.dll", "");
    for (const char* name : {"text.dll", "empty.dll", "missing.dll", "", ".\\missing.dll"})
        EXPECT_EQ(oxp::loadModule(name), 0u) << name;
    EXPECT_EQ(oxp::loadModule(nullptr), 0u);
    for (oxp::ModuleHandle unknown : {0u, 77777u}) {
        EXPECT_FALSE(oxp::freeModule(unknown));
        EXPECT_EQ(oxp::findSymbol(unknown, "fxCount"), nullptr);
        EXPECT_EQ(oxp::moduleFileName(unknown), "");
    }
    oxp::ModuleHandle h = oxp::loadModule(program.copyBuilt("fxPlain.dll", "fxBad.dll").c_str());
    ASSERT_NE(h, 0u);
    EXPECT_EQ(oxp::findSymbol(h, "noSuchSymbol"), nullptr);
    EXPECT_EQ(oxp::findSymbol(h, nullptr), nullptr);
    EXPECT_TRUE(oxp::freeModule(h));
}

TEST_F(ModuleLoading, AModuleMayLoadAndFreeModulesWhileItLoadsAndUnloads) {
    program.copyBuilt("fxPlain.dll", "fxPlain.dll");
    program.copyBuilt("fxNested.dll", "fxNested.dll");
    oxp::ModuleHandle nested = oxp::loadModule("fxNested.dll");
    ASSERT_NE(nested, 0u);
    auto inner = reinterpret_cast<HandleFn>(oxp::findSymbol(nested, "fxNestedHandle"));
    ASSERT_NE(inner, nullptr);
    oxp::ModuleHandle plain = inner();
    ASSERT_NE(plain, 0u);
    EXPECT_NE(plain, nested);
    EXPECT_EQ(oxp::loadModule("fxPlain.dll"), plain);
    EXPECT_TRUE(oxp::freeModule(plain));
    EXPECT_TRUE(oxp::freeModule(nested)); // its static destructor frees fxPlain.dll
    EXPECT_FALSE(oxp::freeModule(plain));
}

TEST_F(ModuleLoading, ConcurrentLoadsAndFreesKeepTheCountsRight) {
    std::string file = program.copyBuilt("fxPlain.dll", "fxThreads.dll");
    oxp::ModuleHandle held = oxp::loadModule("fxThreads.dll");
    ASSERT_NE(held, 0u);
    std::vector<std::thread> threads;
    std::atomic<int> mismatches{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                oxp::ModuleHandle h = oxp::loadModule("fxThreads.dll");
                mismatches += h != held;
                mismatches += !oxp::freeModule(h);
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_TRUE(oxp::freeModule(held));
    EXPECT_FALSE(oxp::freeModule(held));
}

} // namespace
