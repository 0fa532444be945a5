// The component base object: group registration against the recording provider, deletion at
// destruction, the default request operations, events, and its storage.
#include "coxBaseTestComponent.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxMessages.h"
#include "framework/model/oxAttribValue.h"
#include "framework/model/oxKey.h"
#include "tests/support/oxAllocationSeam.h"
#include "tests/support/oxBoxRecorder.h"
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace {

constexpr const char* served = "DMTF|ComponentID|001";
constexpr const char* event = "DMTF|Event|001";
using Slots = std::vector<std::uint32_t>;

class coxBaseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        kernel.setLoadingModuleName(oxString_c("osComp.dll"));
        sp.calls.clear(); // the kernel's start-up
        live = oxLiveAllocations();
    }
    std::unique_ptr<coxTestComponent_c> make(const char* servedClass, const char* eventClass) {
        return std::unique_ptr<coxTestComponent_c>(
            new coxTestComponent_c(oxString_c("D"), &kernel, servedClass, eventClass));
    }

    // The message object first: its lazy construction must not count as a leak.
    bool messagesReady = (oxMessages_c::instance(), true);
    oxRecordingServiceProvider sp;
    std::uint32_t kernelStatus = 0;
    coxEmptyFolder folder;
    coxKernel_c kernel{folder.name(), &sp, &kernelStatus};
    oxLiveAllocations live;
};

TEST_F(coxBaseTest, ClassFoundAmongKernelGroupsTakesItsIdWithoutAskingTheProvider) {
    coxFillGroups(sp, kernel, {{3, "Other|X|001"}, {11, served}, {12, served}, {13, event}});
    {
        auto c = make(served, event);
        EXPECT_EQ(c->servedGroup().id, 11u); // the first group of the class wins
        EXPECT_EQ(c->eventGroup().id, 13u);
        EXPECT_FALSE(c->groupsAdded());
    }
    EXPECT_TRUE(sp.calls.empty());
}

TEST_F(coxBaseTest, ClassMissingConstructsWithGroupIdZero) {
    coxFillGroups(sp, kernel, {{11, "dmtf|componentid|001"}}); // class texts are case-sensitive
    oxBoxRecorder boxes;
    {
        auto c = make(served, event);
        EXPECT_TRUE(c->servedGroup().id == 0 && c->eventGroup().id == 0 && !c->groupsAdded());
    }
    EXPECT_TRUE(sp.calls.empty());
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxBaseTest, RefusedGroupFileThrowsFatalWithOneBoxAndDeletesNothing) {
    sp.slot[coxSlotAddGroupFromFile].status = 0x7005;
    oxBoxRecorder boxes;
    EXPECT_THROW(make("", ""), oxFatal_c);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text.rfind("..\\..\\coxBase::52\n", 0), 0u) << boxes.boxes()[0].text;
    EXPECT_EQ(sp.slots(), (Slots{20, 18}));
    EXPECT_EQ(sp.calls[0].text, "D\\osComp.grp");
    EXPECT_EQ(sp.callsOf(coxSlotDeleteGroup).size(), 0u);
    EXPECT_EQ(live.leaked(), 0);
}

TEST_F(coxBaseTest, AcceptedGroupFilesAreDeletedEventFirstThenListRefilledOnce) {
    {
        auto c = make("", "");
        EXPECT_TRUE(c->groupsAdded() && c->servedGroup().id == 100 && c->eventGroup().id == 101);
        EXPECT_EQ(sp.slots(), (Slots{20, 18, 20, 18}));
        EXPECT_EQ(sp.calls[0].text, "D\\osComp.grp");
        EXPECT_EQ(sp.calls[2].text, "D\\osComp.evt");
        for (const oxRecordedCall& call : sp.calls) {
            EXPECT_EQ(call.first, &kernel.ownDescription());
            EXPECT_EQ(call.context, &c->spContext()); // the component's own context
        }
        EXPECT_EQ(sp.calls[1].second, &kernel.groups());
        EXPECT_EQ(kernel.groups().count(), 2u); // refilled with the new groups
        sp.calls.clear();
    }
    EXPECT_EQ(sp.slots(), (Slots{22, 22, 18}));
    EXPECT_TRUE(sp.calls[0].id == 101 && sp.calls[1].id == 100); // event group first
    EXPECT_EQ(sp.calls[2].second, &kernel.groups());
    EXPECT_EQ(kernel.groups().count(), 0u);
    EXPECT_EQ(live.leaked(), 0);
}

TEST_F(coxBaseTest, EventGroupFromItsFileIsNeverDeleted) {
    coxFillGroups(sp, kernel, {{11, served}});
    {
        auto c = make(served, "");
        EXPECT_EQ(sp.slots(), (Slots{20, 18}));
        EXPECT_EQ(sp.calls[0].text, "D\\osComp.evt");
        EXPECT_TRUE(c->servedGroup().id == 11 && c->eventGroup().id == 100 && !c->groupsAdded());
        sp.calls.clear();
    }
    EXPECT_TRUE(sp.calls.empty());
}

TEST_F(coxBaseTest, RefusedEventFileStillConstructsWithEventIdZero) {
    coxFillGroups(sp, kernel, {{11, served}});
    sp.slot[coxSlotAddGroupFromFile].status = 0x1234;
    oxBoxRecorder boxes;
    auto c = make(served, "");
    EXPECT_TRUE(c->eventGroup().id == 0 && c->servedGroup().id == 11 && boxes.count() == 0);
}

TEST_F(coxBaseTest, DefinitionFileNameComesFromTheModuleBeingLoaded) {
    kernel.setLoadingModuleName(oxString_c("ups.dll.dll"));
    auto c = make("", event);
    EXPECT_EQ(sp.calls[0].text, "D\\ups.dll.grp"); // only the first ".dll" goes
}

TEST_F(coxBaseTest, FailureAfterTheServedGroupWasAddedTakesItBack) {
    int added = 0;
    sp.slot[coxSlotAddGroupFromFile].effect = [&](const oxRecordedCall&) {
        if (++added == 2)
            throw std::runtime_error("provider failed on the event file");
    };
    EXPECT_THROW(make("", ""), std::runtime_error);
    EXPECT_EQ(sp.slots(), (Slots{20, 18, 20, 22, 22, 18}));
    EXPECT_EQ(live.leaked(), 0);
}

TEST_F(coxBaseTest, RaiseEventPutsTheServedClassIntoAttributeFive) {
    coxFillGroups(sp, kernel, {{11, served}, {13, event}});
    auto c = make(served, event);

    oxAttribValueList_c values;
    values.add(oxAttribValue_c(1));
    std::uint32_t status = 0;
    EXPECT_TRUE(c->raiseEvent(values, 7, 8, 9, &status));
    EXPECT_EQ(values.count(), 2u);
    ASSERT_TRUE(values.contains(5));
    EXPECT_EQ(values.find(5)->value.kind, 8u);
    EXPECT_STREQ(values.find(5)->value.string.text(), served);

    ASSERT_EQ(sp.slots(), (Slots{16}));
    const oxRecordedCall& call = sp.calls[0];
    EXPECT_EQ(call.first, &kernel.ownDescription());
    EXPECT_EQ(call.second, &c->eventGroup());
    EXPECT_EQ(call.text, served);
    EXPECT_EQ(std::vector<std::uint32_t>({call.id, call.a, call.b, call.c}),
              std::vector<std::uint32_t>({2, 7, 8, 9}));

    // Attribute 5 already present: replaced, not added again; the provider's status wins.
    sp.slot[coxSlotOriginateEvent].status = 0x4321;
    values.find(5)->value.setString(oxString_c("old"));
    EXPECT_FALSE(c->raiseEvent(values, 0, 0, 0, &status));
    EXPECT_EQ(status, 0x4321u);
    EXPECT_EQ(values.count(), 2u);
    EXPECT_STREQ(values.find(5)->value.string.text(), served);
}

TEST_F(coxBaseTest, StorageComesFromTheAllocationPair) {
    coxFillGroups(sp, kernel, {{11, served}});
    live = oxLiveAllocations();
    {
        oxFailAllocation fail(1);
        EXPECT_EQ(new coxTestComponent_c(oxString_c("D"), &kernel, served, event), nullptr);
    }
    coxBase_c* c = new coxTestComponent_c(oxString_c("D"), &kernel, served, event);
    ASSERT_NE(c, nullptr);
    EXPECT_GT(live.leaked(), 0);
    delete c; // through the virtual destructor, released by the pair
    EXPECT_EQ(live.leaked(), 0);
}

} // namespace
