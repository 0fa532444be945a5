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

namespace {

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
    coxKernel_c kernel{oxString_c("D"), &sp, &status};
    std::unique_ptr<coxBase_c> a, b, c;
    oxLiveAllocations live;
};

TEST_F(coxBaseListTest, AddIsSetLikeByModuleNameAndLookupsTakeTheFirstMatch) {
    coxBaseList_c list;
    auto twin = component("a.dll", "E|F|001");     // same module name as a
    auto sameGroup = component("z.dll", "C|D|001"); // same served group as b
    for (coxBase_c* p : {a.get(), b.get(), twin.get(), sameGroup.get(), c.get()})
        list.add(p);
    ASSERT_EQ(list.count(), 4u);
    EXPECT_EQ(list.at(0), a.get());
    EXPECT_EQ(list.at(1), b.get());
    EXPECT_EQ(list.at(2), sameGroup.get());
    EXPECT_EQ(list.at(3), c.get());
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

TEST_F(coxBaseListTest, RemoveKeepsTheOthersInOrder) {
    struct Case {
        const char* removed;
        std::vector<coxBase_c*> rest;
    };
    const Case cases[] = {
        {"a.dll", {b.get(), c.get()}},
        {"b.dll", {a.get(), c.get()}},
        {"c.dll", {a.get(), b.get()}},
        {"x.dll", {a.get(), b.get(), c.get()}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.removed);
        coxBaseList_c list;
        list.add(a.get());
        list.add(b.get());
        list.add(c.get());
        list.remove(oxString_c(k.removed));
        ASSERT_EQ(list.count(), k.rest.size());
        for (std::uint32_t i = 0; i < list.count(); ++i)
            EXPECT_EQ(list.at(i), k.rest[i]);
    }
}

TEST_F(coxBaseListTest, RemovingTheOnlyObjectLeavesNoArrayAndTheObjectAlive) {
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

TEST_F(coxBaseListTest, FailedLookupsRaiseInvalidIndexFromTheirLines) {
    coxBaseList_c list;
    list.add(a.get());
    struct Case {
        const char* header;
        std::function<void()> lookup;
    };
    const Case cases[] = {
        {"..\\..\\coxBase::215\n", [&] { list.at(1); }},
        {"..\\..\\coxBase::195\n", [&] { list.find(oxString_c("b.dll")); }},
        {"..\\..\\coxBase::207\n", [&] { list.find(99u); }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.header);
        oxBoxRecorder boxes;
        EXPECT_THROW(k.lookup(), oxInvalidIndex_c);
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text.rfind(k.header, 0), 0u) << boxes.boxes()[0].text;
        EXPECT_EQ(list.count(), 1u);
    }
}

TEST_F(coxBaseListTest, OutOfMemoryLeavesTheListUnchanged) {
    coxBaseList_c list;
    list.add(a.get());
    list.add(b.get());
    const oxString_c first("a.dll");
    struct Case {
        const char* header;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"..\\..\\coxBase::263\n", [&] { list.add(c.get()); }},
        {"..\\..\\coxBase::232\n", [&] { list.remove(first); }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.header);
        oxBoxRecorder boxes;
        {
            oxFailAllocation fail(1);
            EXPECT_THROW(k.change(), oxInsufficientMemory_c);
        }
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text.rfind(k.header, 0), 0u) << boxes.boxes()[0].text;
        ASSERT_EQ(list.count(), 2u);
        EXPECT_EQ(list.at(0), a.get());
        EXPECT_EQ(list.at(1), b.get());
    }
}

} // namespace
