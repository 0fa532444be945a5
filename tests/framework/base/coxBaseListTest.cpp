// The kernel's list of component objects: set-like add by module name, order-keeping remove,
// first-match lookups, its raise sites, and that it never touches the objects themselves.
#include "coxBaseTestComponent.h"
#include "framework/base/coxBaseList.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxMessages.h"
#include "tests/support/oxAllocationSeam.h"
#include "tests/support/oxBoxRecorder.h"
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<coxBase_c*> contents(const coxBaseList_c& list) {
    std::vector<coxBase_c*> out;
    for (std::uint32_t i = 0; i < list.count(); ++i)
        out.push_back(list.at(i));
    return out;
}

class coxBaseListTest : public ::testing::Test {
  protected:
    coxBaseListTest() {
        coxFillGroups(sp, kernel, {{10, "A|B|001"}, {20, "C|D|001"}, {30, "E|F|001"}});
        a = component("a.dll", "A|B|001");
        b = component("b.dll", "C|D|001");
        c = component("c.dll", "E|F|001");
        live = oxLiveAllocations();
    }
    std::unique_ptr<coxBase_c> component(const char* module, const char* cls) {
        std::unique_ptr<coxBase_c> p(new coxTestComponent_c(oxString_c("D"), &kernel, cls, "X|Event|001"));
        p->setModuleName(oxString_c(module));
        return p;
    }

    bool messagesReady = (oxMessages_c::instance(), true);
    oxRecordingServiceProvider sp;
    std::uint32_t status = 0;
    coxEmptyFolder folder;
    coxKernel_c kernel{folder.name(), &sp, &status};
    std::unique_ptr<coxBase_c> a, b, c;
    oxLiveAllocations live;
};

TEST_F(coxBaseListTest, AddIsSetLikeByModuleNameAndLookupsTakeTheFirstMatch) {
    coxBaseList_c list;
    auto twin = component("a.dll", "E|F|001");     // same module name as a
    auto sameGroup = component("z.dll", "C|D|001"); // same served group as b
    for (coxBase_c* p : {a.get(), b.get(), twin.get(), sameGroup.get(), c.get()})
        list.add(p);
    EXPECT_EQ(contents(list), (std::vector<coxBase_c*>{a.get(), b.get(), sameGroup.get(), c.get()}));
    EXPECT_TRUE(list.isValidIndex(3));
    EXPECT_FALSE(list.isValidIndex(4));
    EXPECT_EQ(list.find(oxString_c("a.dll")), a.get());
    EXPECT_EQ(list.find(20u), b.get());
    EXPECT_EQ(list.find(30u), c.get());
    EXPECT_TRUE(list.contains(oxString_c("z.dll")));
    EXPECT_FALSE(list.contains(oxString_c("B.DLL"))); // names compare case-sensitively
    EXPECT_TRUE(list.contains(10u));
    EXPECT_FALSE(list.contains(40u));
}

TEST_F(coxBaseListTest, RemoveKeepsOrderLeavesNoArrayAndNeverTouchesTheObjects) {
    for (const char* gone : {"a.dll", "b.dll", "c.dll", "x.dll"}) {
        SCOPED_TRACE(gone);
        coxBaseList_c list;
        std::vector<coxBase_c*> rest;
        for (coxBase_c* p : {a.get(), b.get(), c.get()}) {
            list.add(p);
            if (!(p->moduleName() == oxString_c(gone)))
                rest.push_back(p);
        }
        list.remove(oxString_c(gone));
        EXPECT_EQ(contents(list), rest);
    }
    {
        coxBaseList_c list;
        list.add(a.get());
        EXPECT_EQ(live.leaked(), 1); // the array of one
        list.remove(oxString_c("a.dll"));
        EXPECT_EQ(list.count(), 0u);
        EXPECT_EQ(live.leaked(), 0);
        list.add(a.get());
        list.add(b.get());
    }
    EXPECT_EQ(live.leaked(), 0); // the destructor frees the array, not the objects
    EXPECT_TRUE(a->moduleName() == oxString_c("a.dll"));
}

// Failed lookups change nothing; out of memory in add or remove leaves the list unchanged.
TEST_F(coxBaseListTest, RaiseSitesLeaveTheListUnchanged) {
    coxBaseList_c list;
    list.add(a.get());
    list.add(b.get());
    const oxString_c first("a.dll");
    const struct {
        std::uint32_t line, k; // k: which allocation fails; 0 for a failed lookup
        std::function<void()> op;
    } cases[] = {
        {215, 0, [&] { list.at(2); }},
        {195, 0, [&] { list.find(oxString_c("c.dll")); }},
        {207, 0, [&] { list.find(99u); }},
        {263, 1, [&] { list.add(c.get()); }},
        {232, 1, [&] { list.remove(first); }},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.line);
        oxBoxRecorder boxes;
        oxLiveAllocations before;
        if (k.k) {
            oxFailAllocation fail(k.k);
            EXPECT_THROW(k.op(), oxInsufficientMemory_c);
        } else {
            EXPECT_THROW(k.op(), oxInvalidIndex_c);
        }
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text.rfind("..\\..\\coxBase::" + std::to_string(k.line) + "\n", 0), 0u);
        EXPECT_EQ(contents(list), (std::vector<coxBase_c*>{a.get(), b.get()}));
        EXPECT_EQ(before.leaked(), 0);
    }
}

} // namespace
