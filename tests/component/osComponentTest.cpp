// The Operating System component, created and destroyed through the built module's entry
// points with the recording provider: its registration, its answers and its storage.
#include "osCompTestModule.h"
#include "tests/framework/base/coxBaseTestComponent.h"
#include "framework/diag/oxStatus.h"
#include "framework/model/oxAttribValue.h"
#include "framework/model/oxGroup.h"
#include "framework/model/oxKey.h"
#include "framework/types/oxMemory.h"
#include "tests/support/oxAllocationSeam.h"
#include "tests/support/oxRecordingServiceProvider.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

using Slots = std::vector<std::uint32_t>;

class osComponentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(module.handle, 0u);
        ASSERT_NE(module.construct, nullptr);
        ASSERT_NE(module.destruct, nullptr);
        kernel.setLoadingModuleName(oxString_c("osComp.dll"));
        relist();
        live = oxLiveAllocations();
    }
    // The provider's groups back to the two the tests start with, listed into the kernel.
    void relist() {
        sp.groups = {{4, "DMTF|Other|001"}, {11, "DMTF|ComponentID|001"}};
        std::uint32_t status = 0;
        sp.listGroups(kernel.ownDescription(), kernel.groups(), kernel.spContext(), &status);
        sp.calls.clear();
    }
    coxBase_c* create(std::uint32_t* status) {
        coxBase_c* object = nullptr;
        module.construct(&directory, &kernel, status, &object);
        return object;
    }

    osCompModule module;
    oxRecordingServiceProvider sp;
    std::uint32_t kernelStatus = 0;
    oxString_c directory{"D"};
    coxEmptyFolder folder;
    coxKernel_c kernel{folder.name(), &sp, &kernelStatus};
    oxLiveAllocations live;
};

TEST_F(osComponentTest, ConstructFindsTheServedGroupAndAddsTheEventGroupFromItsFile) {
    std::uint32_t status = 0x5A5A; // the loader's status is neither read nor written
    coxBase_c* c = create(&status);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(status, 0x5A5Au);
    EXPECT_EQ(c->servedGroup().id, 11u);
    EXPECT_STREQ(c->servedGroup().groupClass.text(), "DMTF|ComponentID|001");
    EXPECT_TRUE(c->eventGroup().id == 100 && !c->groupsAdded());
    EXPECT_TRUE(c->attributeIds() == (oxIdList_c{1, 2, 3, 4, 6}));
    EXPECT_EQ(sp.slots(), (Slots{20, 18}));
    EXPECT_EQ(sp.calls[0].text, "D\\osComp.evt");
    EXPECT_EQ(kernel.groups().count(), 3u);
    sp.calls.clear();

    module.destruct(c);
    EXPECT_TRUE(sp.calls.empty()); // the served group was found, not added: nothing deleted
    module.destruct(nullptr);      // ignored
    relist();
    EXPECT_EQ(live.leaked(), 0);
}

TEST_F(osComponentTest, GetAttributeAnswersAttributeSixAndRefusesTheRest) {
    std::uint32_t unused = 0;
    coxBase_c* c = create(&unused);
    ASSERT_NE(c, nullptr);
    struct Case {
        std::uint32_t id;
        std::uint32_t statusBefore;
        bool result;
        std::uint32_t statusAfter;
        bool answered; // kind 6 with the number 7
    };
    const Case cases[] = {{0, 0, false, 0x2007, false}, {1, 0, false, 0x2008, false},
                          {2, 0, false, 0x2008, false}, {3, 0, false, 0x2008, false},
                          {4, 0, false, 0x2008, false}, {5, 0, false, 0x2008, false},
                          {6, 0, true, 0, true},        {6, 0x9005, false, 0x9005, true},
                          {7, 0, false, 0x2007, false}, {0xFFFFFFFF, 0, false, 0x2007, false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(::testing::Message() << "attribute " << k.id << ", status " << k.statusBefore);
        oxAttribValue_c value(k.id);
        value.value.kind = 0;
        value.value.number6 = 99;
        oxKey_c key;
        std::uint32_t status = k.statusBefore;
        EXPECT_EQ(c->getAttribute(value, key, 1, 2, &status), k.result);
        EXPECT_EQ(status, k.statusAfter);
        EXPECT_EQ(value.value.kind, k.answered ? 6u : 0u);
        EXPECT_EQ(value.value.number6, k.answered ? 7u : 99u);
        EXPECT_EQ(value.id, k.id);
    }
    module.destruct(c);
}

TEST_F(osComponentTest, InheritedOperationsGiveTheirFixedAnswers) {
    std::uint32_t unused = 0;
    coxBase_c* c = create(&unused);
    ASSERT_NE(c, nullptr);
    struct Case {
        const char* name;
        bool (coxBase_c::*operation)(oxAttribValue_c&, oxKey_c&, std::uint32_t, std::uint32_t,
                                     std::uint32_t*);
        std::uint32_t status;
        bool result;
    };
    const Case cases[] = {
        {"reserve", &coxBase_c::reserveAttribute, 0, true},
        {"release", &coxBase_c::releaseAttribute, 0, true},
        {"set", &coxBase_c::setAttribute, 0x2006, false},
        {"addRow", &coxBase_c::addRow, 0x7002, false},
        {"deleteRow", &coxBase_c::deleteRow, 0x7003, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        oxAttribValue_c value(6);
        oxKey_c key;
        key.add(oxAttribValue_c(1));
        std::uint32_t status = 0x1111;
        EXPECT_EQ((c->*k.operation)(value, key, 3, 4, &status), k.result);
        EXPECT_EQ(status, k.status);
    }
    module.destruct(c);
}

TEST_F(osComponentTest, TwoComponentsShareTheServedListEachWithItsOwnCopy) {
    std::uint32_t unused = 0;
    coxBase_c* a = create(&unused);
    coxBase_c* b = create(&unused);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(&a->attributeIds(), &b->attributeIds());
    module.destruct(a);
    EXPECT_TRUE(b->attributeIds() == (oxIdList_c{1, 2, 3, 4, 6}));
    module.destruct(b);
    coxBase_c* again = create(&unused); // the module's list outlives its objects
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->attributeIds() == (oxIdList_c{1, 2, 3, 4, 6}));
    module.destruct(again);
}

TEST_F(osComponentTest, FailedAllocationStoresNullAndLeavesTheStatus) {
    static char sentinel;
    coxBase_c* object = reinterpret_cast<coxBase_c*>(&sentinel); // anything but null
    std::uint32_t status = 0x77;
    {
        oxFailAllocation fail(1);
        module.construct(&directory, &kernel, &status, &object);
    }
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(status, 0x77u);
    EXPECT_TRUE(sp.calls.empty());
    EXPECT_EQ(live.leaked(), 0);
}

TEST(osAllocationPair, SmallRequestsGetThirtyTwoZeroBytesLargerOnesTheirOwnSize) {
    struct Case {
        std::size_t asked;
        std::size_t usable;
    };
    for (const Case k : {Case{1, 32}, Case{0, 32}, Case{31, 32}, Case{100, 100}}) {
        SCOPED_TRACE(k.asked);
        auto* p = static_cast<unsigned char*>(oxAllocate(k.asked));
        ASSERT_NE(p, nullptr);
        for (std::size_t i = 0; i < k.usable; ++i)
            ASSERT_EQ(p[i], 0u) << "byte " << i;
        std::memset(p, 0xA5, k.usable); // the sanitizer build checks the block's size
        oxRelease(p);
    }
    oxRelease(nullptr);
    {
        oxFailAllocation fail(1);
        EXPECT_EQ(oxAllocate(8), nullptr);
    }
}

} // namespace
