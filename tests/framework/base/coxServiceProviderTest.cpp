// The provider interface's slot positions, proven by calling through the table itself.
//
// Tied to the ABI on purpose: with the Itanium C++ ABI an object's first word points at its table
// of virtual functions, and entry N is called as a plain function with the object as its first
// argument. A shifted declaration (a virtual destructor, a missing placeholder) moves every
// later operation and makes the recorded slot numbers disagree.
#include "framework/base/coxServiceProvider.h"
#include "framework/model/oxAttribValue.h"
#include "framework/model/oxComponent.h"
#include "framework/model/oxGroup.h"
#include "framework/types/oxOctetString.h"
#include "tests/support/oxRecordingServiceProvider.h"
#include <gtest/gtest.h>
#include <functional>

namespace {

using Sp = coxServiceProvider_c;

void* entry(Sp& sp, std::uint32_t slot) {
    void** table = *reinterpret_cast<void***>(&sp);
    return table[slot];
}

template <class... Args> bool callSlot(Sp& sp, std::uint32_t slot, Args... args) {
    using Fn = bool (*)(Sp*, Args...);
    return reinterpret_cast<Fn>(entry(sp, slot))(&sp, args...);
}

struct Arguments {
    oxComponent_c own{1, oxString_c("Os"), oxString_c(), oxString_c()};
    oxComponentList_c components;
    oxGroupList_c groups;
    oxGroup_c group;
    oxAttribValueList_c values;
    oxOctetString_c context;
    oxString_c text{"D\\osComp.grp"};
    std::uint32_t id = 42;
    std::uint32_t status = 0;
};

TEST(coxServiceProviderSlots, EachOperationSitsAtItsSlot) {
    struct Case {
        std::uint32_t slot;
        std::function<bool(Sp&, Arguments&)> call;
    };
    const Case cases[] = {
        {9, [](Sp& sp, Arguments& a) {
             return callSlot(sp, 9, &a.own, &a.own, &a.context, &a.status); }},
        {11, [](Sp& sp, Arguments& a) {
             return callSlot(sp, 11, &a.components, &a.context, &a.status); }},
        {12, [](Sp& sp, Arguments& a) {
             return callSlot(sp, 12, &a.own, &a.text, &a.context, &a.status); }},
        {13, [](Sp& sp, Arguments& a) {
             return callSlot(sp, 13, &a.own, &a.text, &a.context, &a.status); }},
        {14, [](Sp& sp, Arguments& a) {
             return callSlot(sp, 14, &a.own, &a.text, &a.context, &a.status); }},
        {15, [](Sp& sp, Arguments& a) {
             return callSlot(sp, 15, &a.id, &a.context, &a.status); }},
        {16, [](Sp& sp, Arguments& a) {
             return callSlot(sp, 16, &a.values, &a.own, &a.group, 1u, 2u, 3u, &a.status); }},
        {18, [](Sp& sp, Arguments& a) {
             return callSlot(sp, 18, &a.own, &a.groups, &a.context, &a.status); }},
        {20, [](Sp& sp, Arguments& a) {
             return callSlot(sp, 20, &a.own, &a.group, &a.text, &a.context, &a.status); }},
        {22, [](Sp& sp, Arguments& a) {
             return callSlot(sp, 22, &a.own, &a.group, &a.context, &a.status); }},
        {27, [](Sp& sp, Arguments& a) {
             return callSlot(sp, 27, static_cast<coxKernel_c*>(nullptr), &a.context, &a.status); }},
        {31, [](Sp& sp, Arguments& a) {
             return callSlot(sp, 31, static_cast<coxKernel_c*>(nullptr), &a.context, &a.status); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slot);
        oxRecordingServiceProvider sp;
        Arguments a;
        sp.slot[c.slot].result = false; // the answer comes back through the table
        EXPECT_FALSE(c.call(sp, a));
        ASSERT_EQ(sp.calls.size(), 1u);
        EXPECT_EQ(sp.calls[0].slot, c.slot);
        EXPECT_EQ(sp.calls[0].statusIn, 0u);
    }
}

TEST(coxServiceProviderSlots, ReservedSlotsAnswerFalseAndReachNoOperation) {
    for (std::uint32_t slot : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 10u, 17u, 19u, 21u, 23u, 24u,
                               25u, 26u, 28u, 29u, 30u}) {
        SCOPED_TRACE(slot);
        oxRecordingServiceProvider sp;
        EXPECT_FALSE(callSlot(sp, slot));
        EXPECT_TRUE(sp.calls.empty());
    }
}

} // namespace
