// Module loading: the search order, shared handles and their counts, and the string tables
// modules carry.
#include "platform/oxpMemory.h"
#include "platform/oxpModule.h"
#include "platform/oxpResource.h"
#include "tests/support/oxTestFolder.h"
#include <cstring>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

using namespace std::string_literals;

// A program folder and a current folder of their own, so each search step can be seen.
class Modules : public testing::Test {
  protected:
    void SetUp() override {
        oxp::seam::setProgramDirectory(program.path.string().c_str());
        std::filesystem::current_path(current.path);
    }
    void TearDown() override { oxp::seam::setProgramDirectory(""); }
    static auto symbol(oxp::ModuleHandle h, const char* name = "fxCount") {
        return reinterpret_cast<int (*)()>(oxp::findSymbol(h, name));
    }

    oxTestFolder program, current;
};

// A bare name: program folder, then current folder, in any case, ".dll" added when there is no
// extension; a path: relative to the current folder, never searched.
TEST_F(Modules, NamesAreSearchedAndPathsTakenAsWindowsDoes) {
    const std::string inProgram = program.copyBuilt("fxPlain.dll", "fxBoth.dll");
    const std::string bothInCurrent = current.copyBuilt("fxVersioned.dll", "fxBoth.dll");
    const std::string inCurrent = current.copyBuilt("fxVersioned.dll", "fxCurrent.dll");
    std::filesystem::create_directory(current.path / "Inner");
    for (auto [name, file] : {std::pair{"fxBoth.dll", inProgram},
                              {"fxboth", inProgram},
                              {"FxCurrent.Dll", inCurrent},
                              {"fxBoth.", ""s},
                              {".\\FXBOTH.DLL", bothInCurrent},
                              {"inner\\..\\fxCurrent", inCurrent},
                              {"Inner\\fxCurrent.dll", ""s}}) {
        const oxp::ModuleHandle h = oxp::loadModule(name);
        const std::string expected = file.empty() ? "" : std::filesystem::canonical(file).string();
        EXPECT_EQ(oxp::moduleFileName(h), expected) << name;
        EXPECT_EQ(oxp::freeModule(h), !file.empty()) << name;
    }
    EXPECT_EQ(oxp::loadModule(nullptr), 0u);
}

// Loads share the handle; the module is unloaded at the last free and forgotten.
TEST_F(Modules, TheSameFileSharesOneHandleWithAReferenceCount) {
    oxTestFolder elsewhere;
    const std::string file = elsewhere.copyBuilt("fxPlain.dll", "fxShared.dll");
    const oxp::ModuleHandle h = oxp::loadModule(file.c_str());
    const auto count = symbol(h);
    ASSERT_TRUE(h && count);
    EXPECT_FALSE(symbol(h, "noSuchSymbol") || oxp::findSymbol(h, nullptr));
    EXPECT_EQ(oxp::loadModule("FXSHARED.dll"), h); // not in a searched folder: found as loaded
    EXPECT_EQ(count(), 1);
    EXPECT_TRUE(oxp::freeModule(h));
    EXPECT_EQ(count(), 2); // one reference left: still loaded, same statics
    EXPECT_TRUE(oxp::freeModule(h));
    EXPECT_FALSE(oxp::freeModule(h) || symbol(h) || oxp::loadModule("fxShared.dll"));
    EXPECT_EQ(oxp::moduleFileName(h), "");
    const oxp::ModuleHandle again = oxp::loadModule(file.c_str());
    ASSERT_NE(symbol(again), nullptr);
    EXPECT_EQ(symbol(again)(), 1); // unloaded at the last free: fresh statics
    EXPECT_TRUE(oxp::freeModule(again));
}

// A load the address space has no room for fails and counts as a shortage of memory; a file that
// is no module does not. Not under a sanitizer: its own allocator aborts when it cannot map.
#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
TEST_F(Modules, OnlyALoadWithoutRoomCountsAShortageOfMemory) {
    const std::string file = current.copyBuilt("fxPlain.dll", "fxRoomless.dll");
    const std::string text = current.write("fxText.dll", "no module");
    const std::uint64_t before = oxp::memoryShortages();
    const rlimit none{0, 0}; // in the child only: every mapping from then on fails
    EXPECT_EXIT(std::_Exit(oxp::loadModule(text.c_str()) || setrlimit(RLIMIT_AS, &none) ||
                           oxp::loadModule(file.c_str()) || oxp::memoryShortages() != before + 1),
                testing::ExitedWithCode(0), "");
}
#endif

// Texts are read at load (the file may go), cut to the buffer, and forgotten at the last free.
TEST_F(Modules, StringTablesAnswerNumbersCutToTheBuffer) {
    const std::string file = program.copyBuilt("fxVersioned.dll", "fxStrings.dll");
    const oxp::ModuleHandle strings = oxp::loadModule("fxStrings.dll");
#ifndef _WIN32 // Windows keeps a loaded module's file open
    std::filesystem::remove(file);
#endif
    // The count, then every byte of a 10-byte buffer of which size bytes were offered.
    const auto load = [](oxp::ModuleHandle module, std::uint32_t id, int size = 10) {
        char buffer[10];
        std::memset(buffer, '#', sizeof buffer);
        const int n = oxp::loadString(module, id, buffer, size);
        return std::to_string(n) + "|" + std::string(buffer, sizeof buffer);
    };
    EXPECT_EQ(load(strings, 4104) + load(strings, 4104, 4), "8|OX Error\0#3|OX \0######"s);
    EXPECT_EQ(load(strings, 4104, 1) + load(strings, 4104, 0), "0|\0#########0|##########"s);
    for (auto [module, id] : {std::pair{strings, 4098u}, {strings, 0u}, {99999u, 4104u}})
        EXPECT_EQ(load(module, id), "0|\0#########"s) << module << " " << id;
    EXPECT_EQ(oxp::loadString(strings, 4104, nullptr, 10), 0);
    EXPECT_TRUE(oxp::freeModule(strings));
    EXPECT_EQ(load(strings, 4104), "0|\0#########"s);
}

} // namespace
