// oxStringList_c and, through it, the owning pointer list every instance shares: set-like add,
// order-keeping remove, exact arrays, deep copies, self-assignment, layouts and raise sites.
#include "framework/types/oxStringList.h"
#include "tests/framework/types/oxRaiseFixture.h"
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {
using Texts = std::vector<std::string>;

Texts textsOf(const oxStringList_c& list) {
    Texts out;
    for (std::uint32_t i = 0; i < list.count(); ++i)
        out.emplace_back(list.at(i)->text());
    return out;
}

oxStringList_c listOf(std::initializer_list<const char*> texts) {
    oxStringList_c list;
    for (const char* t : texts)
        list.add(oxString_c(t));
    return list;
}
} // namespace

class oxStringListTest : public oxRaiseFixture {};

TEST_F(oxStringListTest, AddRefusesEqualStringsTerminatorOrNot) {
    oxStringList_c list(oxString_c(3, "abc"));
    list.add(oxString_c("abc"));
    EXPECT_EQ(list.count(), 1u);
    EXPECT_EQ(list.at(0)->length(), 3u) << "the first one stays";
    list.add(oxString_c("qq"));
    EXPECT_EQ(list.addAll(listOf({"x", "qq", "y"})), 3u);
    EXPECT_EQ(textsOf(list), (Texts{"abc", "qq", "x", "y"}));
}

TEST_F(oxStringListTest, RemoveKeepsOrderAndDeletesTheElement) {
    oxLiveAllocations live;
    {
        oxStringList_c list = listOf({"a", "b", "c", "d"});
        EXPECT_EQ(live.leaked(), 1 + 2 * 4) << "one array, each string and its buffer";
        list.remove(oxString_c("b"));
        EXPECT_EQ(textsOf(list), (Texts{"a", "c", "d"}));
        list.remove(oxString_c("d"));
        list.remove(oxString_c("zz"));
        EXPECT_EQ(textsOf(list), (Texts{"a", "c"}));
        EXPECT_EQ(live.leaked(), 1 + 2 * 2);
        EXPECT_EQ(list.removeAll(listOf({"q", "a"})), 2u);
        EXPECT_EQ(textsOf(list), (Texts{"c"}));
        list.remove(oxString_c(1, "c"));
        EXPECT_EQ(list.count(), 0u);
        EXPECT_EQ(live.leaked(), 0) << "no array left";
        list.add(oxString_c("e"));
    }
    EXPECT_EQ(live.leaked(), 0) << "destruction deletes every string once";
}

TEST_F(oxStringListTest, AtChecksThePosition) {
    const oxStringList_c list = listOf({"a"});
    EXPECT_THROW(list.at(1), oxInvalidIndex_c);
    expectOneBox("..\\..\\oxType", 620);
}

TEST_F(oxStringListTest, CopiesAreDeepAndSelfOperationsKeepTheList) {
    oxStringList_c a = listOf({"a", "b"});
    oxStringList_c b(a);
    EXPECT_NE(a.at(0), b.at(0));
    a.at(0)->assign("z");
    EXPECT_EQ(textsOf(b), (Texts{"a", "b"}));
    b = a;
    EXPECT_EQ(textsOf(b), (Texts{"z", "b"}));
    b.assign(b);
    EXPECT_EQ(b.addAll(b), 2u);
    EXPECT_EQ(textsOf(b), (Texts{"z", "b"}));
    EXPECT_EQ(b.removeAll(b), 2u);
    EXPECT_EQ(b.count(), 0u);
    b.assign(oxStringList_c());
    EXPECT_EQ(b.count(), 0u);
}

TEST_F(oxStringListTest, AllocationFailuresRaiseAndLeaveTheDocumentedState) {
    struct Case {
        const char* name;
        std::uint32_t failing; // which allocation from now fails
        std::uint32_t line;
        std::function<void(oxStringList_c&, const oxStringList_c&)> act;
        Texts after;
    };
    const Texts before{"a", "b"};
    const std::vector<Case> cases = {
        {"assign array", 1, 638, [](auto& l, auto& s) { l.assign(s); }, {}},
        {"assign first element", 2, 645, [](auto& l, auto& s) { l.assign(s); }, {}},
        {"assign second element", 4, 645, [](auto& l, auto& s) { l.assign(s); }, {}},
        {"copy constructor", 4, 645, [](auto&, auto& s) { oxStringList_c x(s); }, before},
        {"remove", 1, 664, [](auto& l, auto&) { l.remove(*l.at(0)); }, before},
        {"add array", 1, 703, [](auto& l, auto& s) { l.add(*s.at(0)); }, before},
        {"add element", 2, 709, [](auto& l, auto& s) { l.add(*s.at(0)); }, before},
        {"add element text", 3, 396, [](auto& l, auto& s) { l.add(*s.at(0)); }, before},
        {"addAll second", 4, 703, [](auto& l, auto& s) { l.addAll(s); }, {"a", "b", "x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        oxLiveAllocations live;
        {
            oxStringList_c list = listOf({"a", "b"});
            const oxStringList_c source = listOf({"x", "y"});
            {
                oxFailAllocation fail(c.failing);
                EXPECT_THROW(c.act(list, source), oxInsufficientMemory_c);
            }
            expectOneBox("..\\..\\oxType", c.line);
            EXPECT_EQ(textsOf(list), c.after);
        }
        EXPECT_EQ(live.leaked(), 0);
    }
}

namespace {
struct ProbeTraits : oxStringListTraits {};
using CountFirst = oxPtrList_c<oxString_c, ProbeTraits>;
using ItemsFirst = oxPtrList_c<oxString_c, ProbeTraits, oxItemsThenCount<oxString_c>>;

template <class List> void expectLayout(std::size_t countAt, std::size_t itemsAt) {
    List list(oxString_c("a"));
    list.add(oxString_c("b"));
    std::uint32_t count = 0;
    oxString_c** items = nullptr;
    const auto* raw = reinterpret_cast<const unsigned char*>(&list);
    std::memcpy(&count, raw + countAt, sizeof count);
    std::memcpy(&items, raw + itemsAt, sizeof items);
    EXPECT_EQ(count, 2u);
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(items[0], list.at(0));
    EXPECT_EQ(items[1], list.at(1));
}
} // namespace

TEST_F(oxStringListTest, FieldOrderIsCountThenItemsUnlessChosenOtherwise) {
    expectLayout<oxStringList_c>(0, sizeof(void*));
    expectLayout<ItemsFirst>(sizeof(void*), 0);
    static_assert(sizeof(CountFirst) == 2 * sizeof(void*));
}
