// The osComp module: its exports and static objects; the Operating System component made and
// destroyed through its entry points, with its groups, answers and storage.
#include "tests/framework/base/coxBaseFixture.h"
#include "framework/model/oxAttribValue.h"
#include "platform/oxpModule.h"
#include <cstdio>
#include <memory>

namespace {
const std::string module = std::string(OX_BIN_DIR) + "/osComp.dll";

// Loads the built module through the platform layer and finds its entry points.
struct osCompModule {
    osCompModule() : handle(oxp::loadModule(module.c_str())) {}
    ~osCompModule() { oxp::freeModule(handle); }
    const oxp::ModuleHandle handle;
    void (*construct)(oxString_c*, coxKernel_c*, std::uint32_t*, coxBase_c**) =
        reinterpret_cast<decltype(construct)>(oxp::findSymbol(handle, "coxBaseConstruct"));
    void (*destruct)(coxBase_c*) =
        reinterpret_cast<decltype(destruct)>(oxp::findSymbol(handle, "coxBaseDestruct"));
};

TEST(osCompModuleFile, ExportsOnlyTheTwoEntryPointsAndUnloadsWithoutLeaks) {
#ifndef _WIN32 // Windows: the osCompExportTable test reads the PE export table
    const std::string nm = "nm -D --defined-only '" + module + "' | awk '$2 ~ /^[TtWwi]$/ {print $3}'";
    FILE* pipe = popen(nm.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string exported;
    for (char buffer[512]; std::fgets(buffer, sizeof buffer, pipe);)
        exported += buffer;
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(exported, "coxBaseConstruct\ncoxBaseDestruct\n");
#endif
    oxLiveAllocations live;
    {
        osCompModule loaded;
        ASSERT_NE(loaded.handle, 0u);
        EXPECT_GT(live.leaked(), 0); // the served-attribute list and the message object
    }
    EXPECT_EQ(live.leaked(), 0);
}

using osComponentTest = coxBaseTest;

// Made and destroyed through the entry points: the served group found, the event group added,
// the served list shared; attribute 6 answered and fixed answers for the rest; no storage kept.
TEST_F(osComponentTest, ServesItsGroupsAndAnswersAttributeSix) {
    osCompModule module;
    ASSERT_TRUE(module.handle && module.construct && module.destruct);
    oxString_c directory("D");
    const auto create = [&] {
        coxBase_c* object = nullptr;
        std::uint32_t status = 0x5A5A; // the loader's: neither read nor written
        module.construct(&directory, &kernel, &status, &object);
        EXPECT_EQ(status, 0x5A5Au);
        return object;
    };
    coxBase_c* c = create();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->servedGroup().id == 11 && c->servedGroup().groupClass == oxString_c(coxServed));
    EXPECT_TRUE(c->eventGroup().id == 100 && !c->groupsAdded());
    EXPECT_EQ(sp.slots(), (coxSlots{20, 18}));
    EXPECT_EQ(sp.calls[0].text, "D\\osComp.evt");
    coxBase_c* other = create();
    EXPECT_TRUE(other->attributeIds() == (oxIdList_c{1, 2, 3, 4, 6}) &&
                &other->attributeIds() != &c->attributeIds());
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
                 {&coxBase_c::reserveAttribute, 6, 0x1111, 0, true, false},
                 {&coxBase_c::releaseAttribute, 6, 0x1111, 0, true, false},
                 {&coxBase_c::setAttribute, 6, 0x1111, 0x2006, false, false},
                 {&coxBase_c::addRow, 6, 0x1111, 0x7002, false, false},
                 {&coxBase_c::deleteRow, 6, 0x1111, 0x7003, false, false}};
    for (const auto& k : cases) {
        SCOPED_TRACE(::testing::Message() << "case " << &k - cases);
        oxAttribValue_c value(k.id);
        value.value.kind = 0;
        oxKey_c key;
        std::uint32_t status = k.statusBefore;
        EXPECT_EQ(((*c).*k.op)(value, key, 1, 2, &status), k.result);
        EXPECT_EQ(std::tuple(status, value.value.kind, value.value.number6),
                  std::tuple(k.statusAfter, k.answered ? 6u : 0u, k.answered ? 7u : 0u));
    }
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
} // namespace
