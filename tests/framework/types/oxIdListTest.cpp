// oxIdList_c: set-like add, order-keeping remove, first-match lookups, equality, copies, and
// every raise site with the list's state afterwards.
#include "framework/types/oxIdList.h"
#include "tests/framework/types/oxRaiseFixture.h"
#include <functional>
#include <vector>

namespace {
std::vector<std::uint32_t> numbersOf(const oxIdList_c& list) {
    std::vector<std::uint32_t> out;
    for (std::uint32_t i = 0; i < list.count(); ++i)
        out.push_back(list.at(i));
    return out;
}
using Numbers = std::vector<std::uint32_t>;
} // namespace

class oxIdListTest : public oxRaiseFixture {};

TEST_F(oxIdListTest, ServedAttributesAnswerContainsAndIndexOf) {
    const oxIdList_c served{1, 2, 3, 4, 6};
    EXPECT_TRUE(served.contains(6));
    EXPECT_FALSE(served.contains(5));
    EXPECT_EQ(served.indexOf(6), 4u);
    EXPECT_THROW(served.indexOf(5), oxInvalidIndex_c);
    expectOneBox("..\\..\\oxType", 222);
}

TEST_F(oxIdListTest, ConstructorsCopyNumbersWithDuplicates) {
    const std::uint32_t raw[] = {7, 7, 3};
    EXPECT_EQ(numbersOf(oxIdList_c(3, raw)), (Numbers{7, 7, 3}));
    EXPECT_EQ(numbersOf(oxIdList_c{9, 9}), (Numbers{9, 9}));
    EXPECT_EQ(oxIdList_c(0, raw).count(), 0u);
    EXPECT_EQ(oxIdList_c(3, nullptr).count(), 0u);
    EXPECT_EQ(oxIdList_c(3, raw).indexOf(7), 0u) << "first match wins";
}

TEST_F(oxIdListTest, AddIsSetLikeAndRemoveKeepsOrder) {
    oxLiveAllocations live;
    {
        oxIdList_c list;
        for (std::uint32_t v : {5u, 1u, 5u, 4u, 2u, 1u})
            list.add(v);
        EXPECT_EQ(numbersOf(list), (Numbers{5, 1, 4, 2}));
        EXPECT_EQ(live.leaked(), 1) << "one exact array, old ones released";
        list.remove(1);
        list.remove(99);
        EXPECT_EQ(numbersOf(list), (Numbers{5, 4, 2}));
        list.removeAll(oxIdList_c{2, 5, 8});
        EXPECT_EQ(numbersOf(list), (Numbers{4}));
        list.remove(4);
        EXPECT_EQ(list.count(), 0u);
        EXPECT_EQ(live.leaked(), 0) << "removing the only element releases the array";
        list.addAll(oxIdList_c{3, 1, 3});
        EXPECT_EQ(numbersOf(list), (Numbers{3, 1}));
    }
    EXPECT_EQ(live.leaked(), 0);
}

TEST_F(oxIdListTest, AtChecksThePositionAndGivesAWritableNumber) {
    oxIdList_c list{1, 2};
    list.at(1) = 8;
    EXPECT_EQ(numbersOf(list), (Numbers{1, 8}));
    EXPECT_THROW(list.at(2), oxInvalidIndex_c);
    expectOneBox("..\\..\\oxType", 98);
}

TEST_F(oxIdListTest, EqualityIsOrderSensitive) {
    EXPECT_TRUE((oxIdList_c{1, 2}) == (oxIdList_c{1, 2}));
    EXPECT_FALSE((oxIdList_c{1, 2}) == (oxIdList_c{2, 1}));
    EXPECT_FALSE((oxIdList_c{1, 2}) == (oxIdList_c{1, 2, 3}));
    EXPECT_TRUE(oxIdList_c() == oxIdList_c({}));
}

TEST_F(oxIdListTest, CopiesAreDeepAndSelfOperationsAreSafe) {
    oxIdList_c a{1, 2, 3};
    oxIdList_c b(a);
    b.add(4);
    a.at(0) = 9;
    EXPECT_EQ(numbersOf(b), (Numbers{1, 2, 3, 4}));
    b = a;
    EXPECT_EQ(numbersOf(b), (Numbers{9, 2, 3}));
    b.assign(b);
    b.addAll(b);
    EXPECT_EQ(numbersOf(b), (Numbers{9, 2, 3}));
    b.removeAll(b);
    EXPECT_EQ(b.count(), 0u);
}

TEST_F(oxIdListTest, AllocationFailuresRaiseAndLeaveTheDocumentedState) {
    const std::uint32_t raw[] = {4, 5};
    struct Case {
        const char* name;
        std::uint32_t line;
        std::function<void(oxIdList_c&, const oxIdList_c&)> act;
        Numbers after;
    };
    const std::vector<Case> cases = {
        {"pointer constructor", 78, [&](auto&, auto&) { oxIdList_c x(2, raw); }, {1, 2, 3}},
        {"values constructor", 58, [](auto&, auto&) { oxIdList_c x{4, 5}; }, {1, 2, 3}},
        {"assign", 114, [](auto& l, auto& s) { l.assign(s); }, {}},
        {"add", 174, [](auto& l, auto&) { l.add(7); }, {1, 2, 3}},
        {"remove", 136, [](auto& l, auto&) { l.remove(2); }, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        oxLiveAllocations live;
        {
            oxIdList_c list{1, 2, 3};
            const oxIdList_c source{6, 7};
            {
                oxFailAllocation fail(1);
                EXPECT_THROW(c.act(list, source), oxInsufficientMemory_c);
            }
            expectOneBox("..\\..\\oxType", c.line);
            EXPECT_EQ(numbersOf(list), c.after);
        }
        EXPECT_EQ(live.leaked(), 0);
    }
}
