// The component base object: its groups found by class or added from the definition files and
// deleted again, events, its storage, and the kernel's list of component objects.
#include "coxBaseFixture.h"
#include "framework/base/coxBaseList.h"
#include "framework/model/oxAttribValue.h"
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

namespace {

TEST_F(coxBaseTest, GroupsAreFoundByClassOrAddedFromFilesAndOnlyAddedOnesDeleted) {
    const struct {
        const char *what, *served, *event;
        std::uint32_t addStatus, servedId, eventId;
        std::vector<std::string> files; // each added as addGroupFromFile, then listGroups
        coxSlots destroyed;
    } cases[] = {
        {"both found: the first of the class", coxServed, coxEvent, 0, 11, 13, {}, {}},
        {"class texts are case-sensitive", "dmtf|componentid|001", "X|Y|001", 0, 0, 0, {}, {}},
        {"event group from its file is kept", coxServed, "", 0, 11, 100, {"D\\osComp.evt"}, {}},
        {"refused event file: ID 0", coxServed, "", 0x1234, 11, 0, {"D\\osComp.evt"}, {}},
        {"both added: event deleted first", "", "", 0, 100, 101,
         {"D\\osComp.grp", "D\\osComp.evt"}, {22, 22, 18}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        oxBoxRecorder boxes;
        sp.slot[coxSlotAddGroupFromFile].status = c.addStatus;
        std::unique_ptr<coxBase_c> o(new coxTestComponent_c(&kernel, c.served, c.event));
        EXPECT_TRUE(o->servedGroup().id == c.servedId && o->eventGroup().id == c.eventId);
        EXPECT_EQ(o->groupsAdded(), !c.destroyed.empty());
        ASSERT_EQ(sp.calls.size(), 2 * c.files.size());
        for (std::size_t i = 0; i < sp.calls.size(); ++i) { // the kernel's, in the object's context
            EXPECT_EQ(sp.calls[i].slot, i % 2 ? coxSlotListGroups : coxSlotAddGroupFromFile);
            EXPECT_EQ(sp.calls[i].text, i % 2 ? "" : c.files[i / 2]);
            EXPECT_TRUE(sp.calls[i].first == &kernel.ownDescription() &&
                        sp.calls[i].context == &o->spContext());
        }
        EXPECT_EQ(kernel.groups().count(), c.addStatus ? 4 : 4 + c.files.size()); // relisted
        sp.calls.clear();
        o.reset();
        EXPECT_EQ(sp.slots(), c.destroyed);
        if (!c.destroyed.empty()) {
            EXPECT_TRUE(sp.calls[0].id == 101 && sp.calls[1].id == 100);
            EXPECT_TRUE(sp.calls[2].second == &kernel.groups() && kernel.groups().count() == 4);
        }
        EXPECT_EQ(boxes.count(), 0u);
        relist();
        EXPECT_EQ(live.leaked(), 0);
    }
}

TEST_F(coxBaseTest, RefusedServedGroupIsFatalAndALaterFailureTakesItBack) {
    kernel.setLoadingModuleName(oxString_c("ups.dll.dll")); // only the first ".dll" goes
    sp.slot[coxSlotAddGroupFromFile].status = 0x7005;
    oxBoxRecorder boxes;
    EXPECT_THROW(new coxTestComponent_c(&kernel, "", ""), oxFatal_c);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text.rfind("..\\..\\coxBase::52\n", 0), 0u) << boxes.boxes()[0].text;
    EXPECT_EQ(sp.slots(), (coxSlots{20, 18})); // nothing deleted
    EXPECT_EQ(sp.calls[0].text, "D\\ups.dll.grp");
    EXPECT_EQ(live.leaked(), 0);
    relist();
    sp.slot[coxSlotAddGroupFromFile] = {true, 0, [&](const oxRecordedCall&) {
        if (sp.calls.size() == 3)
            throw std::runtime_error("provider failed on the event file");
    }};
    EXPECT_THROW(new coxTestComponent_c(&kernel, "", ""), std::runtime_error);
    EXPECT_EQ(sp.slots(), (coxSlots{20, 18, 20, 22, 22, 18}));
    EXPECT_EQ(live.leaked(), 0);
}

TEST_F(coxBaseTest, RaiseEventPutsTheServedClassIntoAttributeFive) {
    std::unique_ptr<coxBase_c> c(new coxTestComponent_c(&kernel, coxServed, coxEvent));
    oxAttribValueList_c values(oxAttribValue_c(1));
    std::uint32_t status = 0;
    EXPECT_TRUE(c->raiseEvent(values, 7, 8, 9, &status));
    ASSERT_EQ(values.count(), 2u);
    EXPECT_TRUE(values.find(5)->value.kind == 8 &&
                values.find(5)->value.string == oxString_c(coxServed));
    ASSERT_EQ(sp.slots(), (coxSlots{16}));
    const oxRecordedCall& call = sp.calls[0];
    EXPECT_TRUE(call.first == &kernel.ownDescription() && call.second == &c->eventGroup());
    EXPECT_EQ(call.text, coxServed);
    EXPECT_EQ((coxSlots{call.id, call.a, call.b, call.c}), (coxSlots{2, 7, 8, 9}));
    // Attribute 5 present: replaced, not added again; the provider's status wins.
    sp.slot[coxSlotOriginateEvent].status = 0x4321;
    values.find(5)->value.setString(oxString_c("old"));
    EXPECT_FALSE(c->raiseEvent(values, 0, 0, 0, &status));
    EXPECT_TRUE(status == 0x4321 && values.count() == 2);
    EXPECT_TRUE(values.find(5)->value.string == oxString_c(coxServed));
}

TEST_F(coxBaseTest, StorageComesFromTheAllocationPair) {
    {
        oxFailAllocation fail(1);
        EXPECT_EQ(new coxTestComponent_c(&kernel, coxServed, coxEvent), nullptr);
    }
    coxBase_c* c = new coxTestComponent_c(&kernel, coxServed, coxEvent);
    EXPECT_GT(live.leaked(), 0);
    delete c; // through the virtual destructor, released by the pair
    EXPECT_EQ(live.leaked(), 0);
}

TEST_F(coxBaseTest, ListAddsByModuleNameFindsTheFirstMatchAndNeverOwnsTheObjects) {
    const std::pair<const char*, const char*> made[] = {
        {"a.dll", "DMTF|Other|001"}, {"b.dll", coxServed}, {"c.dll", coxServed},
        {"a.dll", coxEvent}};
    std::unique_ptr<coxBase_c> o[4];
    for (int i = 0; i < 4; ++i) {
        o[i].reset(new coxTestComponent_c(&kernel, made[i].second, coxEvent));
        o[i]->setModuleName(oxString_c(made[i].first));
    }
    using Objects = std::vector<coxBase_c*>;
    const Objects abc{o[0].get(), o[1].get(), o[2].get()};
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
        EXPECT_TRUE(contents(list) == abc && list.count() == 3);
        EXPECT_TRUE(list.find(oxString_c("c.dll")) == o[2].get() && list.find(11u) == o[1].get());
        EXPECT_TRUE(list.contains(3u) && !list.contains(13u) && list.contains(oxString_c("b.dll")));
        EXPECT_FALSE(list.contains(oxString_c("B.DLL"))); // case-sensitive
        EXPECT_EQ(live.leaked(), 1);                       // the array
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
            std::optional<oxFailAllocation> fail;
            if (noMemory)
                fail.emplace(1);
            EXPECT_ANY_THROW(op());
            ASSERT_EQ(boxes.count(), 1u);
            const std::string head = "..\\..\\coxBase::" + std::to_string(line) + "\n";
            EXPECT_EQ(boxes.boxes()[0].text.rfind(head, 0), 0u) << boxes.boxes()[0].text;
            EXPECT_TRUE(contents(list) == abc && live.leaked() == 1);
        }
        // Removal keeps the order of the rest; the last one frees the array.
        const std::pair<const char*, Objects> removals[] = {{"a.dll", {o[1].get(), o[2].get()}},
                                                            {"x.dll", {o[1].get(), o[2].get()}},
                                                            {"c.dll", {o[1].get()}},
                                                            {"b.dll", {}}};
        for (const auto& [name, rest] : removals) {
            list.remove(oxString_c(name));
            EXPECT_EQ(contents(list), rest) << name;
        }
        EXPECT_EQ(live.leaked(), 0);
        list.add(o[0].get());
    }
    EXPECT_EQ(live.leaked(), 0); // the list frees its array, never the objects
    EXPECT_TRUE(o[0]->moduleName() == oxString_c("a.dll"));
}
} // namespace
