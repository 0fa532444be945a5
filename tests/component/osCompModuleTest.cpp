// The osComp module: its exports, version block and static objects (with and without the
// language modules beside it); the Operating System component made and destroyed through its
// entry points, with its groups, answers and storage; and the allocation pair it lives in.
#include "tests/framework/base/coxBaseFixture.h"
#include "framework/model/oxAttribValue.h"
#include "framework/types/oxMemory.h"
#include "platform/oxpModule.h"
#include "platform/oxpVersion.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <sstream>

namespace {
namespace fs = std::filesystem;

// Loads the built module (or a copy) through the platform layer and finds its entry points.
struct osCompModule {
    explicit osCompModule(const std::string& path = std::string(OX_BIN_DIR) + "/osComp.dll")
        : handle(oxp::loadModule(path.c_str())) {}
    ~osCompModule() {
        if (handle)
            oxp::freeModule(handle);
    }
    osCompModule(const osCompModule&) = delete;
    osCompModule& operator=(const osCompModule&) = delete;

    const oxp::ModuleHandle handle;
    void (*construct)(oxString_c*, coxKernel_c*, std::uint32_t*, coxBase_c**) =
        reinterpret_cast<decltype(construct)>(oxp::findSymbol(handle, "coxBaseConstruct"));
    void (*destruct)(coxBase_c*) =
        reinterpret_cast<decltype(destruct)>(oxp::findSymbol(handle, "coxBaseDestruct"));
};

const std::string module = std::string(OX_BIN_DIR) + "/osComp.dll";

// Runs a command; its standard output and exit code.
std::pair<std::string, int> run(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[512];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    const int rc = pipe ? pclose(pipe) : -1;
    return {output, WIFEXITED(rc) ? WEXITSTATUS(rc) : -1};
}

TEST(osCompModuleFile, ExportsOnlyTheTwoEntryPointsAndUnloadsWithoutLeaks) {
    const auto [output, rc] = run("nm -D --defined-only '" + module + "'");
    ASSERT_EQ(rc, 0) << output;
    std::set<std::string> functions;
    std::istringstream lines(output);
    std::string address, type, name;
    while (lines >> address >> type >> name)
        if (std::string("TtWwi").find(type) != std::string::npos)
            functions.insert(name);
    EXPECT_EQ(functions, (std::set<std::string>{"coxBaseConstruct", "coxBaseDestruct"}));
    oxLiveAllocations live;
    {
        osCompModule loaded;
        ASSERT_NE(loaded.handle, 0u);
        EXPECT_GT(live.leaked(), 0); // the served-attribute list and the message object
    }
    EXPECT_EQ(live.leaked(), 0);
}

TEST(osCompModuleFile, VersionBlockHoldsEveryStringAndTheFixedPart) {
    std::vector<char> block(oxp::getFileVersionInfoSize(module.c_str()));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(oxp::getFileVersionInfo(module.c_str(), block.size(), block.data()));
    const std::pair<const char*, const char*> strings[] = {
        {"Component Name", "Operating System"}, {"FileVersion", "1.88.01"},
        {"FileDescription", "DMI 2.0 Operating System Component"}, {"InternalName", ""},
        {"Language", "en|US|iso8859-1"}, {"MIF Name", "Os.mif"}, {"OS Target", "Win32"},
        {"OriginalFilename", ""}, {"ProductVersion", "1, 8, 8, 0"}, {"Security", "Security"},
        {"Stepping", "0"}, {"coxBaseTag", "coxBaseTag"}};
    const void* value = nullptr;
    std::uint32_t length = 0;
    for (const auto& [key, expected] : strings) {
        const std::string path = std::string("\\StringFileInfo\\040904e4\\") + key;
        ASSERT_TRUE(oxp::verQueryValue(block.data(), path.c_str(), &value, &length)) << key;
        EXPECT_STREQ(static_cast<const char*>(value), expected);
    }
    EXPECT_TRUE(oxp::verQueryValue(block.data(), "\\OXInfo\\coxBaseTag", &value, &length));
    ASSERT_TRUE(oxp::verQueryValue(block.data(), "\\", &value, &length));
    const auto& f = *static_cast<const oxp::FixedFileInfo*>(value);
    EXPECT_EQ(std::vector<std::uint32_t>({f.fileVersionMS, f.fileVersionLS, f.productVersionMS,
                                          f.productVersionLS, f.fileType}),
              std::vector<std::uint32_t>({0x00010000, 0x00010000, 0x00010008, 0x00080000, 2}));
}

// Runs in a process of its own, started by the next test from a folder without language
// modules, so that neither the program's folder nor the library path supplies them.
TEST(osCompModuleFile, DISABLED_LoadWithoutLanguageModules) {
    oxBoxRecorder boxes;
    oxLiveAllocations live;
    {
        osCompModule loaded(std::getenv("OX_OSCOMP_COPY"));
        ASSERT_NE(loaded.handle, 0u);
    }
    ASSERT_EQ(boxes.count(), 2u); // unloading shows nothing more
    EXPECT_EQ(boxes.boxes()[0].text, "Unable to load language file : oxLng.dll");
    EXPECT_EQ(boxes.boxes()[1].text, "Unable to load language file : oxOemLng.dll");
    EXPECT_EQ(live.leaked(), 0); // the static objects released all they held
    std::printf("language boxes checked\n");
}

TEST(osCompModuleFile, LoadWithoutLanguageModulesWarnsTwiceInOrder) {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path bin(OX_BIN_DIR),
        folder = fs::temp_directory_path() / ("osComp-nolang-" + std::to_string(stamp));
    fs::create_directories(folder / "work");
    for (const char* file : {"test_component", "liboxplatform.so", "osComp.dll"})
        fs::copy_file(bin / file, folder / file);
    const auto [output, rc] = run("cd '" + (folder / "work").string() + "' && OX_OSCOMP_COPY='" +
        (folder / "osComp.dll").string() + "' '" + (folder / "test_component").string() +
        "' --gtest_also_run_disabled_tests --gtest_filter=*DISABLED_LoadWithoutLanguageModules");
    fs::remove_all(folder);
    EXPECT_EQ(rc, 0) << output;
    EXPECT_NE(output.find("language boxes checked"), std::string::npos) << output;
}

class osComponentTest : public coxBaseTest {
  protected:
    coxBase_c* create() {
        coxBase_c* object = nullptr;
        std::uint32_t status = 0x5A5A; // the loader's: neither read nor written
        module.construct(&directory, &kernel, &status, &object);
        EXPECT_EQ(status, 0x5A5Au);
        return object;
    }
    osCompModule module;
    oxString_c directory{"D"};
};

TEST_F(osComponentTest, FindsTheServedGroupAddsTheEventGroupAndSharesTheServedList) {
    ASSERT_TRUE(module.handle && module.construct && module.destruct);
    coxBase_c* c = create();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->servedGroup().id == 11 && c->servedGroup().groupClass == oxString_c(coxServed));
    EXPECT_TRUE(c->eventGroup().id == 100 && !c->groupsAdded());
    EXPECT_EQ(sp.slots(), (coxSlots{20, 18}));
    EXPECT_EQ(sp.calls[0].text, "D\\osComp.evt");
    coxBase_c* other = create();
    EXPECT_TRUE(other->attributeIds() == (oxIdList_c{1, 2, 3, 4, 6}) &&
                &other->attributeIds() != &c->attributeIds());
    sp.calls.clear();
    module.destruct(c);
    module.destruct(other);
    module.destruct(nullptr);
    EXPECT_TRUE(sp.calls.empty()); // the served group was found, not added: nothing deleted
    module.construct(nullptr, &kernel, nullptr, nullptr); // nowhere to hand it: freed at once
    EXPECT_EQ(sp.calls[0].text, "\\osComp.evt");
    relist();
    {
        oxFailAllocation fail(1);
        c = reinterpret_cast<coxBase_c*>(&directory); // anything but null
        module.construct(&directory, &kernel, nullptr, &c);
    }
    EXPECT_TRUE(c == nullptr && sp.calls.empty());
    EXPECT_EQ(live.leaked(), 0);
}

TEST_F(osComponentTest, AnswersAttributeSixAndGivesTheFixedAnswersOfTheRest) {
    std::unique_ptr<coxBase_c, void (*)(coxBase_c*)> c(create(), module.destruct);
    ASSERT_NE(c, nullptr);
    using Op = bool (coxBase_c::*)(oxAttribValue_c&, oxKey_c&, std::uint32_t, std::uint32_t,
                                   std::uint32_t*);
    const Op get = &coxBase_c::getAttribute;
    const struct {
        Op op;
        std::uint32_t id, statusBefore, statusAfter;
        bool result, answered; // answered: kind 6 with the number 7
    } cases[] = {{get, 0, 0, 0x2007, false, false},     {get, 1, 0, 0x2008, false, false},
                 {get, 5, 0, 0x2008, false, false},     {get, 6, 0, 0, true, true},
                 {get, 6, 0x9005, 0x9005, false, true}, {get, 7, 0, 0x2007, false, false},
                 {get, 0xFFFFFFFF, 0, 0x2007, false, false},
                 {&coxBase_c::reserveAttribute, 6, 0x1111, 0, true, false},
                 {&coxBase_c::releaseAttribute, 6, 0x1111, 0, true, false},
                 {&coxBase_c::setAttribute, 6, 0x1111, 0x2006, false, false},
                 {&coxBase_c::addRow, 6, 0x1111, 0x7002, false, false},
                 {&coxBase_c::deleteRow, 6, 0x1111, 0x7003, false, false}};
    for (const auto& k : cases) {
        SCOPED_TRACE(::testing::Message() << "case " << &k - cases);
        oxAttribValue_c value(k.id);
        value.value.kind = 0;
        value.value.number6 = 99;
        oxKey_c key(oxIdList_c{1});
        std::uint32_t status = k.statusBefore;
        EXPECT_EQ(((*c).*k.op)(value, key, 1, 2, &status), k.result);
        EXPECT_EQ(status, k.statusAfter);
        EXPECT_TRUE(value.value.kind == (k.answered ? 6u : 0u) && value.id == k.id);
        EXPECT_EQ(value.value.number6, k.answered ? 7u : 99u);
    }
}

TEST(osAllocationPair, SmallRequestsGetThirtyTwoZeroBytesLargerOnesTheirOwnSize) {
    for (const auto& [asked, usable] :
         {std::pair<std::size_t, std::size_t>{1, 32}, {0, 32}, {31, 32}, {100, 100}}) {
        auto* p = static_cast<unsigned char*>(oxAllocate(asked));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(std::count(p, p + usable, 0), static_cast<std::ptrdiff_t>(usable)) << asked;
        std::memset(p, 0xA5, usable); // the sanitizer build checks the block's size
        oxRelease(p);
    }
    oxRelease(nullptr);
    oxFailAllocation fail(1);
    EXPECT_EQ(oxAllocate(8), nullptr);
}
} // namespace
