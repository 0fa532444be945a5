// The component base object: its groups found by class or added from the definition files and
// deleted again, events, and the kernel's list of component objects; the provider interface's
// table of operations.
#include "coxBaseFixture.h"
#include <gmock/gmock.h>
#include "framework/base/coxBaseList.h"
#include "framework/model/oxAttribValue.h"
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>

namespace {

TEST_F(coxBaseTest, GroupsAreFoundByClassOrAddedFromFilesAndOnlyAddedOnesDeleted) {
    const struct {
        const char *what, *served, *event;
        std::uint32_t addStatus, servedId, eventId;
        coxSlots made, destroyed; // made: each file added, then the kernel's groups relisted
    } cases[] = {
        {"both found: the first of the class", coxServed, coxEvent, 0, 11, 13, {}, {}},
        {"class texts are case-sensitive", "dmtf|componentid|001", "X|Y|001", 0, 0, 0, {}, {}},
        {"event group from its file is kept", coxServed, "", 0, 11, 100, {20, 18}, {}},
        {"refused event file: ID 0", coxServed, "", 0x1234, 11, 0, {20, 18}, {}},
        {"both added: event deleted first", "", "", 0, 100, 101, {20, 18, 20, 18}, {22, 22, 18}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        oxBoxRecorder boxes;
        sp.slot[coxSlotAddGroupFromFile].status = c.addStatus;
        std::unique_ptr<coxBase_c> o(new coxTestComponent_c(&kernel, c.served, c.event));
        EXPECT_TRUE(o->servedGroup().id == c.servedId && o->eventGroup().id == c.eventId);
        EXPECT_EQ(o->groupsAdded(), !c.destroyed.empty());
        EXPECT_EQ(sp.slots(), c.made);
        for (const oxRecordedCall& call : sp.calls) // the kernel's, in the object's context
            EXPECT_TRUE(call.first == &kernel.ownDescription() && call.context == &o->spContext());
        EXPECT_EQ(kernel.groups().count(), c.addStatus ? 4 : 4 + c.made.size() / 2); // relisted
        sp.calls.clear();
        o.reset();
        EXPECT_EQ(sp.slots(), c.destroyed);
        EXPECT_TRUE(c.destroyed.empty() || (sp.calls[0].id == 101 && sp.calls[1].id == 100 &&
                                            kernel.groups().count() == 4));
        EXPECT_EQ(boxes.count(), 0u);
        relist();
        EXPECT_EQ(live.leaked(), 0);
    }
}

TEST_F(coxBaseTest, RefusedServedGroupIsFatalAndALaterFailureLeavesTheAddedGroups) {
    kernel.setLoadingModuleName(oxString_c("ups.dll.dll")); // only the first ".dll" goes
    sp.slot[coxSlotAddGroupFromFile].status = 0x7005;
    oxBoxRecorder boxes;
    EXPECT_THROW(new coxTestComponent_c(&kernel, "", ""), oxFatal_c);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text.rfind("..\\..\\coxBase::52" + oxBoxLineBreak, 0), 0u) << boxes.boxes()[0].text;
    EXPECT_EQ(sp.slots(), (coxSlots{20, 18})); // nothing deleted
    EXPECT_EQ(sp.calls[0].text, "D\\ups.dll.grp");
    EXPECT_EQ(live.leaked(), 0);
    relist();
    sp.slot[coxSlotAddGroupFromFile] = {true, 0, [&](const oxRecordedCall&) {
        if (sp.calls.size() == 3)
            throw std::runtime_error("provider failed on the event file");
    }};
    EXPECT_THROW(new coxTestComponent_c(&kernel, "", ""), std::runtime_error);
    EXPECT_EQ(sp.slots(), (coxSlots{20, 18, 20})); // the destructor's body does not run
    relist();
    EXPECT_EQ(live.leaked(), 0);
}

TEST_F(coxBaseTest, RaiseEventPutsTheServedClassIntoAttributeFive) {
    std::unique_ptr<coxBase_c> c(new coxTestComponent_c(&kernel, coxServed, coxEvent));
    oxAttribValueList_c values(oxAttribValue_c(1));
    std::uint32_t status = 0;
    EXPECT_TRUE(c->raiseEvent(values, 7, 8, 9, &status));
    ASSERT_EQ(values.count(), 2u);
    EXPECT_TRUE(values.find(5)->value.kind == 8 && values.find(5)->value.string == coxServed);
    ASSERT_EQ(sp.slots(), (coxSlots{16}));
    const oxRecordedCall& call = sp.calls[0];
    EXPECT_TRUE(call.first == &kernel.ownDescription() && call.second == &c->eventGroup());
    EXPECT_EQ(std::tuple(call.text, call.id, call.a, call.b, call.c), std::tuple(coxServed, 2u, 7u, 8u, 9u));
    // Attribute 5 present: replaced, not added again; the provider's status wins.
    sp.slot[coxSlotOriginateEvent].status = 0x4321;
    values.find(5)->value.setString(oxString_c("old"));
    EXPECT_FALSE(c->raiseEvent(values, 0, 0, 0, &status));
    EXPECT_TRUE(status == 0x4321 && values.count() == 2 && values.find(5)->value.string == coxServed);
}

TEST_F(coxBaseTest, ListAddsByModuleNameFindsTheFirstMatchAndNeverOwnsTheObjects) {
    const std::pair<const char*, const char*> made[] = {
        {"a.dll", "DMTF|Other|001"}, {"b.dll", coxServed}, {"c.dll", coxServed}, {"a.dll", coxEvent}};
    std::unique_ptr<coxBase_c> o[4];
    for (int i = 0; i < 4; ++i) {
        o[i].reset(new coxTestComponent_c(&kernel, made[i].second, coxEvent));
        o[i]->setModuleName(oxString_c(made[i].first));
    }
    using Objects = std::vector<coxBase_c*>;
    auto contents = [](const coxBaseList_c& list) {
        Objects out;
        for (std::uint32_t i = 0; list.isValidIndex(i); ++i)
            out.push_back(list.at(i));
        return out;
    };
    const oxString_c b("b.dll");
    live = oxLiveAllocations();
    {
        coxBaseList_c list;
        for (coxBase_c* p : Objects{o[0].get(), o[1].get(), o[3].get(), nullptr, o[2].get()})
            list.add(p); // the second "a.dll" and null are refused
        const Objects abc{o[0].get(), o[1].get(), o[2].get()};
        EXPECT_TRUE(contents(list) == abc && list.count() == 3);
        EXPECT_TRUE(list.find(oxString_c("c.dll")) == o[2].get() && list.find(11u) == o[1].get());
        EXPECT_TRUE(list.contains(3u) && !list.contains(13u) && list.contains(oxString_c("b.dll")));
        EXPECT_FALSE(list.contains(oxString_c("B.DLL"))); // case-sensitive
        // Failed lookups, and out of memory in add or remove, leave the list as it was.
        o[3]->setModuleName(oxString_c("d.dll"));
        const std::tuple<std::uint32_t, bool, std::function<void()>> sites[] = {
            {215, false, [&] { list.at(3); }},
            {195, false, [&] { list.find(oxString_c("x.dll")); }},
            {207, false, [&] { list.find(13u); }},
            {263, true, [&] { list.add(o[3].get()); }},
            {232, true, [&] { list.remove(b); }}};
        for (const auto& [line, noMemory, op] : sites) {
            SCOPED_TRACE(line);
            oxBoxRecorder boxes;
            EXPECT_ANY_THROW(noMemory ? (oxFailAllocation(1), op()) : op()); // armed while op runs
            ASSERT_EQ(boxes.count(), 1u);
            const std::string head = "..\\..\\coxBase::" + std::to_string(line) + oxBoxLineBreak;
            EXPECT_THAT(boxes.boxes()[0].text, ::testing::StartsWith(head));
            EXPECT_TRUE(contents(list) == abc && live.leaked() == 1); // the array
        }
        // Removal keeps the order of the rest; the last one frees the array.
        list.remove(oxString_c("a.dll"));
        list.remove(oxString_c("x.dll")); // absent: nothing happens
        EXPECT_EQ(contents(list), (Objects{o[1].get(), o[2].get()}));
        list.remove(oxString_c("c.dll"));
        list.remove(b);
        EXPECT_TRUE(list.count() == 0 && live.leaked() == 0);
        list.add(o[0].get());
    }
    EXPECT_EQ(live.leaked(), 0); // the list frees its array, never the objects
    EXPECT_TRUE(o[0]->moduleName() == oxString_c("a.dll"));
}

// Tied to the Itanium C++ ABI on purpose: an object's first word points at its table of virtual
// functions in declaration order, and a pointer to a virtual member holds 1 + the entry's byte
// offset. A shifted declaration (a virtual destructor, a missing placeholder) moves every later
// operation.
using Sp = coxServiceProvider_c;

template <class F> std::uint32_t slotOf(F member) {
    std::uintptr_t raw[2];
    static_assert(sizeof member == sizeof raw);
    std::memcpy(raw, &member, sizeof raw);
    return static_cast<std::uint32_t>((raw[0] - 1) / sizeof(void*));
}

TEST(coxServiceProviderSlots, EachOperationSitsAtItsSlotAndTheReservedOnesAnswerFalse) {
    EXPECT_EQ((std::vector<std::uint32_t>{
                  slotOf(&Sp::refreshDescription), slotOf(&Sp::listComponents),
                  slotOf(&Sp::installFromMIFName), slotOf(&Sp::installFromMIF),
                  slotOf(&Sp::installByName), slotOf(&Sp::deleteComponent),
                  slotOf(&Sp::originateEvent), slotOf(&Sp::listGroups),
                  slotOf(&Sp::addGroupFromFile), slotOf(&Sp::deleteGroup),
                  slotOf(&Sp::announceComponents), slotOf(&Sp::withdrawComponents)}),
              (std::vector<std::uint32_t>{9, 11, 12, 13, 14, 15, 16, 18, 20, 22, 27, 31}));
    oxRecordingServiceProvider sp;
    void** table = *reinterpret_cast<void***>(&sp);
    for (std::uint32_t slot : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 17, 19, 21, 23, 24, 25, 26, 28, 29, 30})
        EXPECT_FALSE(reinterpret_cast<bool (*)(Sp*)>(table[slot])(&sp)) << slot;
    EXPECT_TRUE(sp.calls.empty());
}
} // namespace
