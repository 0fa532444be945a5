// coxKernelList_c: kernels keyed by component ID and by name, set-like by name, order kept,
// its raise sites and its behaviour when the new array cannot be had.
#include "coxKernelFixture.h"
#include "framework/diag/oxExceptions.h"
#include "framework/kernel/coxKernelList.h"

namespace {

class coxKernelListTest : public coxKernelFixture {
  protected:
    // Kernels on the empty directory, then given the IDs and names the provider would.
    coxKernel_c* named(std::uint32_t id, const char* name) {
        owned.push_back(std::make_unique<coxKernel_c>(dir.directory(), &sp, &status));
        owned.back()->ownDescription().id = id;
        owned.back()->ownDescription().name.assign(name);
        return owned.back().get();
    }
    static std::vector<coxKernel_c*> items(const coxKernelList_c& list) {
        std::vector<coxKernel_c*> result;
        for (std::uint32_t i = 0; i < list.count(); ++i)
            result.push_back(list.at(i));
        return result;
    }

    std::vector<std::unique_ptr<coxKernel_c>> owned;
};

TEST_F(coxKernelListTest, AddKeepsOrderAndRefusesASecondKernelOfTheSameName) {
    coxKernel_c* a = named(1, "A");
    coxKernel_c* b = named(2, "B");
    coxKernel_c* sameName = named(3, "A");
    coxKernel_c* sameId = named(2, "C");
    coxKernelList_c list;
    EXPECT_EQ(list.count(), 0u);
    for (coxKernel_c* k : {a, b, sameName, sameId, static_cast<coxKernel_c*>(nullptr)})
        list.add(k);
    EXPECT_EQ(items(list), (std::vector<coxKernel_c*>{a, b, sameId}));
    EXPECT_TRUE(list.isValidIndex(2));
    EXPECT_FALSE(list.isValidIndex(3));
}

TEST_F(coxKernelListTest, LookupsByIdAndNameTakeTheFirstMatch) {
    coxKernel_c* a = named(1, "A");
    coxKernel_c* b = named(2, "B");
    coxKernel_c* c = named(2, "C"); // same ID as b
    coxKernelList_c list;
    for (coxKernel_c* k : {a, b, c})
        list.add(k);
    EXPECT_EQ(list.find(2u), b);
    EXPECT_EQ(list.find(oxString_c("C")), c);
    EXPECT_TRUE(list.contains(1u));
    EXPECT_FALSE(list.contains(9u));
    EXPECT_TRUE(list.contains(oxString_c("B")));
    EXPECT_FALSE(list.contains(oxString_c("b"))); // names compare exactly
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelListTest, LookupsThatFindNothingRaiseInvalidIndexFromTheirOwnLines) {
    coxKernelList_c list;
    list.add(named(1, "A"));
    struct Case {
        const char* name;
        void (*lookup)(const coxKernelList_c&);
        std::uint32_t line;
    };
    const Case cases[] = {
        {"find by ID", [](const coxKernelList_c& l) { l.find(7u); }, 1080},
        {"find by name", [](const coxKernelList_c& l) { l.find(oxString_c("Z")); }, 1092},
        {"at", [](const coxKernelList_c& l) { l.at(1); }, 1100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.clear();
        EXPECT_THROW(c.lookup(list), oxInvalidIndex_c);
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_TRUE(coxBoxIs(boxes.boxes()[0], coxKern, c.line, "found nothing"));
    }
}

TEST_F(coxKernelListTest, RemoveTakesOutTheFirstKernelOfThatNameOnly) {
    coxKernel_c* a = named(1, "A");
    coxKernel_c* b = named(2, "B");
    coxKernel_c* c = named(3, "C");
    coxKernelList_c list;
    for (coxKernel_c* k : {a, b, c})
        list.add(k);
    list.remove(oxString_c("Z")); // no such name
    EXPECT_EQ(items(list), (std::vector<coxKernel_c*>{a, b, c}));
    list.remove(oxString_c("B"));
    EXPECT_EQ(items(list), (std::vector<coxKernel_c*>{a, c}));
    list.remove(oxString_c("A"));
    list.remove(oxString_c("C"));
    EXPECT_EQ(list.count(), 0u);
    list.add(b); // usable again once empty
    EXPECT_EQ(items(list), (std::vector<coxKernel_c*>{b}));
}

TEST_F(coxKernelListTest, ArrayThatCannotBeHadRaisesAndLeavesTheListAsItWas) {
    coxKernel_c* a = named(1, "A");
    coxKernel_c* b = named(2, "B");
    coxKernel_c* c = named(3, "C");
    coxKernelList_c list;
    list.add(a);
    list.add(b);
    const oxString_c nameB("B");
    struct Case {
        const char* name;
        std::uint32_t line;
    };
    for (const Case& cs : {Case{"add", 1148}, Case{"remove", 1117}}) {
        SCOPED_TRACE(cs.name);
        boxes.clear();
        {
            const oxFailAllocation fail(1);
            if (cs.line == 1148)
                EXPECT_THROW(list.add(c), oxInsufficientMemory_c);
            else
                EXPECT_THROW(list.remove(nameB), oxInsufficientMemory_c);
        }
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_TRUE(coxBoxIs(boxes.boxes()[0], coxKern, cs.line, "not enough memory"));
        EXPECT_EQ(items(list), (std::vector<coxKernel_c*>{a, b}));
    }
    // Removing the last kernel needs no new array.
    list.remove(oxString_c("A"));
    const oxFailAllocation fail(1, true);
    EXPECT_NO_THROW(list.remove(nameB));
    EXPECT_EQ(list.count(), 0u);
}

} // namespace
