// oxEnumItem_c and oxEnumList_c: item equality, name lookups, the item-array constructor,
// list equality, and every raise site with the list's state afterwards.
#include "framework/types/oxEnumList.h"
#include "tests/framework/types/oxRaiseFixture.h"
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {
using Items = std::vector<std::pair<std::string, std::uint32_t>>;

Items itemsOf(const oxEnumList_c& list) {
    Items out;
    for (std::uint32_t i = 0; i < list.count(); ++i)
        out.emplace_back(list.at(i)->name().text(), list.at(i)->value());
    return out;
}

const oxEnumItem_c yes1(oxString_c("Yes"), 1), no2(oxString_c("No"), 2);
const oxEnumItem_c yesNo[] = {yes1, no2};
} // namespace

class oxEnumListTest : public oxRaiseFixture {};

TEST_F(oxEnumListTest, ItemsAreEqualByNameAndValue) {
    EXPECT_TRUE(yes1 == oxEnumItem_c(oxString_c(3, "Yes"), 1));
    EXPECT_FALSE(yes1 == oxEnumItem_c(oxString_c("Yes"), 3));
    EXPECT_FALSE(yes1 == oxEnumItem_c(oxString_c("yes"), 1));
    oxEnumItem_c item(oxString_c(u"w"), 9);
    item = yes1;
    EXPECT_TRUE(item == yes1);
    EXPECT_FALSE(item.name().isWide());
}

TEST_F(oxEnumListTest, LookupsByNameTakeTheFirstItem) {
    oxEnumList_c list(2, yesNo);
    EXPECT_EQ(list.find(oxString_c("No")), list.at(1));
    EXPECT_EQ(list.indexOf(oxString_c("No")), 1u);
    EXPECT_TRUE(list.contains(oxString_c(2, "No")));
    EXPECT_FALSE(list.contains(oxString_c("Maybe")));
    list.add(oxEnumItem_c(oxString_c("Yes"), 3));
    EXPECT_EQ(list.find(oxString_c("Yes"))->value(), 1u);
    EXPECT_THROW(list.find(oxString_c("Maybe")), oxInvalidIndex_c);
    expectOneBox("..\\..\\oxEnum", 133);
    EXPECT_THROW(list.indexOf(oxString_c("Maybe")), oxInvalidIndex_c);
    expectOneBox("..\\..\\oxEnum", 270);
    EXPECT_THROW(list.at(3), oxInvalidIndex_c);
    expectOneBox("..\\..\\oxEnum", 121);
}

TEST_F(oxEnumListTest, AddAndRemoveNeedNameAndValue) {
    oxEnumList_c list(2, yesNo);
    list.add(oxEnumItem_c(oxString_c("Yes"), 3));
    list.add(yes1);
    list.add(oxEnumItem_c(oxString_c("Two"), 2));
    EXPECT_EQ(itemsOf(list), (Items{{"Yes", 1}, {"No", 2}, {"Yes", 3}, {"Two", 2}}));
    list.remove(oxEnumItem_c(oxString_c("Yes"), 3));
    EXPECT_EQ(itemsOf(list), (Items{{"Yes", 1}, {"No", 2}, {"Two", 2}}));
}

TEST_F(oxEnumListTest, ArrayConstructorKeepsDuplicatesAndOrder) {
    const oxEnumItem_c twice[] = {no2, yes1, no2};
    EXPECT_EQ(itemsOf(oxEnumList_c(3, twice)), (Items{{"No", 2}, {"Yes", 1}, {"No", 2}}));
    EXPECT_EQ(oxEnumList_c(0, twice).count(), 0u);
    EXPECT_EQ(oxEnumList_c(3, nullptr).count(), 0u);
}

TEST_F(oxEnumListTest, ListEqualityIsOrderSensitiveAndCopiesAreDeep) {
    const oxEnumItem_c noYes[] = {no2, yes1};
    oxEnumList_c a(2, yesNo);
    oxEnumList_c b(a);
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == oxEnumList_c(2, noYes));
    b.remove(yes1);
    EXPECT_EQ(a.count(), 2u);
    b = a;
    const oxEnumList_c& same = b;
    b = same;
    EXPECT_TRUE(a == b);
    EXPECT_NE(a.at(0), b.at(0));
}

TEST_F(oxEnumListTest, AllocationFailuresRaiseAndLeaveTheDocumentedState) {
    struct Case {
        const char* name;
        std::uint32_t failing;
        std::uint32_t line;
        std::function<void(oxEnumList_c&)> act;
        Items after;
    };
    const Items before{{"Yes", 1}, {"No", 2}};
    const oxEnumItem_c maybe(oxString_c("Maybe"), 3);
    const oxEnumList_c other(1, &maybe);
    const std::vector<Case> cases = {
        {"array constructor array", 1, 90, [](auto&) { oxEnumList_c x(2, yesNo); }, before},
        {"array constructor item", 2, 101, [](auto&) { oxEnumList_c x(2, yesNo); }, before},
        {"array constructor 2nd item", 4, 101, [](auto&) { oxEnumList_c x(2, yesNo); }, before},
        {"assign array", 1, 151, [&](auto& l) { l.assign(other); }, {}},
        {"assign item", 2, 158, [&](auto& l) { l.assign(other); }, {}},
        {"remove", 1, 177, [](auto& l) { l.remove(yes1); }, before},
        {"add array", 1, 216, [&](auto& l) { l.add(maybe); }, before},
        {"add item", 2, 222, [&](auto& l) { l.add(maybe); }, before},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        oxLiveAllocations live;
        {
            oxEnumList_c list(2, yesNo);
            {
                oxFailAllocation fail(c.failing);
                EXPECT_THROW(c.act(list), oxInsufficientMemory_c);
            }
            expectOneBox("..\\..\\oxEnum", c.line);
            EXPECT_EQ(itemsOf(list), c.after);
        }
        EXPECT_EQ(live.leaked(), 0);
    }
}
