// Module loading: the search order, shared handles and their counts, failures, modules that load
// modules, threads, and the string tables modules carry.
#include "platform/oxpModule.h"
#include "platform/oxpResource.h"
#include "tests/platform/oxpTestFolder.h"
#include <atomic>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

using CountFn = int (*)();

// A program folder and a current folder of their own, so each search step can be seen.
class Modules : public testing::Test {
  protected:
    void SetUp() override {
        oxp::seam::setProgramDirectory(program.path().c_str());
        std::filesystem::current_path(current.path());
    }
    void TearDown() override { oxp::seam::setProgramDirectory(""); }
    static CountFn counter(oxp::ModuleHandle h, const char* name = "fxCount") {
        return reinterpret_cast<CountFn>(oxp::findSymbol(h, name));
    }

    oxpKeepCurrentFolder keep;
    oxpTestFolder program, current;
};

// A bare name: program folder, then current folder, in any case, ".dll" added when there is no
// extension; a path: relative to the current folder, never searched.
TEST_F(Modules, NamesAreSearchedAndPathsTakenAsWindowsDoes) {
    const std::string inProgram = program.copyBuilt("fxPlain.dll", "fxBoth.dll");
    current.copyBuilt("fxVersioned.dll", "fxBoth.dll");
    const std::string inCurrent = current.copyBuilt("fxVersioned.dll", "fxCurrent.dll");
    std::filesystem::create_directory(current.path() / "Inner");
    const struct {
        const char* name;
        std::string file; // empty: not found
        bool inner;       // loaded with the current folder one level down
    } cases[] = {{"fxBoth.dll", inProgram, false},       {"FXBOTH.DLL", inProgram, false},
                 {"fxboth", inProgram, false},           {"fxCurrent.dll", inCurrent, false},
                 {"FxCurrent.Dll", inCurrent, false},    {"fxBoth.", "", false},
                 {"..\\FXCURRENT.DLL", inCurrent, true}, {".\\fxCurrent.dll", "", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::current_path(current.path() / (c.inner ? "Inner" : ""));
        const oxp::ModuleHandle h = oxp::loadModule(c.name);
        EXPECT_EQ(oxp::moduleFileName(h),
                  c.file.empty() ? "" : std::filesystem::canonical(c.file).string());
        EXPECT_EQ(oxp::freeModule(h), !c.file.empty());
    }
    std::filesystem::current_path(current.path());
    const oxp::ModuleHandle both = oxp::loadModule("fxBoth.dll"),
                            cur = oxp::loadModule("fxCurrent");
    ASSERT_TRUE(both && cur && both != cur && counter(cur, "fxAnswer"));
    EXPECT_TRUE(counter(both) && !counter(both, "fxAnswer") && !counter(both, "noSuchSymbol"));
    EXPECT_EQ(counter(cur, "fxAnswer")(), 42);
    EXPECT_EQ(oxp::findSymbol(cur, nullptr), nullptr);
    EXPECT_TRUE(oxp::freeModule(cur) && oxp::freeModule(both));
    program.write("text.dll", "not a module\n");
    program.write("empty.dll", "");
    for (const char* name : {"text.dll", "empty.dll", "missing.dll", "", ".\\missing.dll"})
        EXPECT_EQ(oxp::loadModule(name), 0u) << name;
    EXPECT_EQ(oxp::loadModule(nullptr), 0u);
}

TEST_F(Modules, TheSameFileSharesOneHandleWithAReferenceCount) {
    oxpTestFolder elsewhere;
    const std::string file = elsewhere.copyBuilt("fxPlain.dll", "fxShared.dll");
    const oxp::ModuleHandle h = oxp::loadModule(file.c_str());
    ASSERT_NE(h, 0u);
    // Not in any searched folder: found because it is loaded.
    EXPECT_EQ(oxp::loadModule("FXSHARED.dll"), h);
    EXPECT_EQ(oxp::loadModule(file.c_str()), h);
    CountFn count = counter(h);
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count(), 1);
    EXPECT_TRUE(oxp::freeModule(h) && oxp::freeModule(h));
    EXPECT_EQ(count(), 2); // one reference left: still loaded, same statics
    EXPECT_TRUE(oxp::freeModule(h));
    EXPECT_FALSE(oxp::freeModule(h));
    EXPECT_EQ(counter(h), nullptr);
    EXPECT_EQ(oxp::moduleFileName(h), "");
    EXPECT_EQ(oxp::loadModule("fxShared.dll"), 0u); // forgotten after the last free
    const oxp::ModuleHandle again = oxp::loadModule(file.c_str());
    ASSERT_TRUE(again && counter(again));
    EXPECT_EQ(counter(again)(), 1); // unloaded at the last free: fresh statics
    EXPECT_TRUE(oxp::freeModule(again));
}

TEST_F(Modules, AModuleMayLoadAndFreeModulesWhileItLoadsAndUnloads) {
    program.copyBuilt("fxPlain.dll", "fxPlain.dll");
    program.copyBuilt("fxNested.dll", "fxNested.dll");
    const oxp::ModuleHandle nested = oxp::loadModule("fxNested.dll");
    const auto inner =
        reinterpret_cast<oxp::ModuleHandle (*)()>(oxp::findSymbol(nested, "fxNestedHandle"));
    ASSERT_NE(inner, nullptr);
    const oxp::ModuleHandle plain = inner();
    EXPECT_TRUE(plain && plain != nested);
    EXPECT_EQ(oxp::loadModule("fxPlain.dll"), plain);
    EXPECT_TRUE(oxp::freeModule(plain));
    EXPECT_TRUE(oxp::freeModule(nested)); // its static destructor frees fxPlain.dll
    EXPECT_FALSE(oxp::freeModule(plain));
}

TEST_F(Modules, ConcurrentLoadsAndFreesKeepTheCountsRight) {
    program.copyBuilt("fxPlain.dll", "fxThreads.dll");
    const oxp::ModuleHandle held = oxp::loadModule("fxThreads.dll");
    ASSERT_NE(held, 0u);
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                const oxp::ModuleHandle h = oxp::loadModule("fxThreads.dll");
                mismatches += (h != held) + !oxp::freeModule(h);
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_TRUE(oxp::freeModule(held));
    EXPECT_FALSE(oxp::freeModule(held));
}

// Texts are read at load (the file may go), cut to the buffer, and forgotten at the last free.
TEST_F(Modules, StringTablesAnswerNumbersCutToTheBuffer) {
    const std::string file = program.copyBuilt("fxVersioned.dll", "fxStrings.dll");
    const oxp::ModuleHandle strings = oxp::loadModule("fxStrings.dll"),
                            none =
                                oxp::loadModule(program.copyBuilt("fxPlain.dll", "x.dll").c_str());
    ASSERT_TRUE(strings && none);
    std::filesystem::remove(file);
    // Text and count into a buffer of size bytes, and whether a byte past it was written.
    const auto load = [](oxp::ModuleHandle module, std::uint32_t id, int size = 64) {
        char buffer[65];
        std::memset(buffer, '#', sizeof buffer);
        const int n = oxp::loadString(module, id, buffer, size);
        return (size ? std::string(buffer) : "") + "|" + std::to_string(n) +
               (buffer[size] == '#' ? "" : "|overrun");
    };
    EXPECT_EQ(load(strings, 4097), "Component module %1 failed.|27");
    EXPECT_EQ(load(strings, 0x2001), "Hex numbered|12");
    EXPECT_EQ(load(strings, 4104) + load(strings, 4104, 4) + load(strings, 4104, 1),
              "OX Error|8OX |3|0");
    EXPECT_EQ(load(strings, 4104, 0), "|0");
    for (auto [module, id] :
         {std::pair{strings, 4098u}, {strings, 0u}, {none, 4097u}, {99999u, 4097u}})
        EXPECT_EQ(load(module, id), "|0") << module << " " << id;
    EXPECT_EQ(oxp::loadString(strings, 4104, nullptr, 10), 0);
    EXPECT_TRUE(oxp::freeModule(strings) && oxp::freeModule(none));
    EXPECT_EQ(load(strings, 4104), "|0");
}

} // namespace
