// The lists of the types layer, one typed suite: set-like add, order-keeping remove, exact-size
// arrays, deep copies, self-operations and every shared raise site with the state it leaves;
// then what only some lists have (filling constructors, lookups by name, layouts).
#include "framework/types/oxAccessList.h"
#include "framework/types/oxEnumList.h"
#include "framework/types/oxIdList.h"
#include "framework/types/oxStringList.h"
#include "framework/types/oxTimerList.h"
#include "tests/framework/types/oxRaiseFixture.h"
#include <cstring>
#include <functional>
#include <vector>

namespace {
using Keys = std::vector<std::uint32_t>;

// Raise lines shared by every list; 0 where the list has no such site.
struct Lines {
    const char* source;
    std::uint32_t at, assign, assignElement, remove, add, addElement, indexOf;
};

// Per list: element number i, the number back from position p, and its raise lines.
template <class L> struct Kit;
template <> struct Kit<oxIdList_c> {
    static constexpr Lines lines{oxTypeSource, 98, 114, 0, 136, 174, 0, 222};
    static std::uint32_t make(std::uint32_t i) { return i; }
    static std::uint32_t key(const oxIdList_c& l, std::uint32_t p) { return l.at(p); }
    static void indexOf(const oxIdList_c& l, std::uint32_t i) { l.indexOf(i); }
};
template <> struct Kit<oxAccessList_c> {
    static constexpr Lines lines{oxAccessSource, 111, 127, 0, 149, 189, 0, 217};
    static oxAccessEntry_c make(std::uint32_t i) { return oxAccessEntry_c(i, 9); }
    static std::uint32_t key(const oxAccessList_c& l, std::uint32_t p) {
        return l.at(p)->attributeId();
    }
    static void indexOf(const oxAccessList_c& l, std::uint32_t i) { l.indexOf(make(i)); }
};
template <> struct Kit<oxStringList_c> {
    static constexpr Lines lines{oxTypeSource, 620, 638, 645, 664, 703, 709, 0};
    static oxString_c make(std::uint32_t i) { return oxString_c(std::to_string(i).c_str()); }
    static std::uint32_t key(const oxStringList_c& l, std::uint32_t p) {
        return static_cast<std::uint32_t>(std::stoul(l.at(p)->text()));
    }
};
template <> struct Kit<oxEnumList_c> {
    static constexpr Lines lines{oxEnumSource, 121, 151, 158, 177, 216, 222, 270};
    static oxEnumItem_c make(std::uint32_t i) { return {Kit<oxStringList_c>::make(i), i}; }
    static std::uint32_t key(const oxEnumList_c& l, std::uint32_t p) { return l.at(p)->value(); }
    static void indexOf(const oxEnumList_c& l, std::uint32_t i) { l.indexOf(make(i).name()); }
};
template <> struct Kit<oxTimerList_c> {
    static constexpr Lines lines{oxTimerSource, 207, 231, 238, 265, 302, 308, 330};
    static oxTimer_c make(std::uint32_t i) { return {i, 1, oxTimer_c::seconds, nullptr, 0}; }
    static std::uint32_t key(const oxTimerList_c& l, std::uint32_t p) { return l.at(p)->id; }
    static void indexOf(const oxTimerList_c& l, std::uint32_t i) { l.indexOf(i); }
};

template <class L> Keys keysOf(const L& list) {
    Keys out;
    for (std::uint32_t p = 0; p < list.count(); ++p)
        out.push_back(Kit<L>::key(list, p));
    return out;
}
template <class L> L listOf(std::initializer_list<std::uint32_t> keys) {
    L list;
    for (std::uint32_t k : keys)
        list.add(Kit<L>::make(k));
    return list;
}
// The timer list has no bulk operations: one add or remove per element instead.
template <class L> constexpr bool hasBulk = requires(L& l) {
    l.addAll(l);
};
template <class L> void addAll(L& list, const L& other, bool add = true) {
    if constexpr (hasBulk<L>)
        add ? (void)list.addAll(other) : (void)list.removeAll(other);
    else
        for (std::uint32_t p = 0; p < other.count(); ++p)
            add ? list.add(*other.at(p)) : list.remove(*other.at(p));
}

template <class L> class oxListTest : public oxRaiseFixture {};
using Lists =
    ::testing::Types<oxIdList_c, oxAccessList_c, oxStringList_c, oxEnumList_c, oxTimerList_c>;
TYPED_TEST_SUITE(oxListTest, Lists);

TYPED_TEST(oxListTest, AddIsSetLikeRemoveKeepsOrderCopiesAreDeepArraysExact) {
    using K = Kit<TypeParam>;
    oxLiveAllocations live;
    {
        TypeParam list;
        for (std::uint32_t v : {5u, 1u, 5u, 4u, 2u, 1u})
            list.add(K::make(v));
        EXPECT_EQ(keysOf(list), (Keys{5, 1, 4, 2}));
        const std::int64_t four = live.leaked();
        list.remove(K::make(1));
        list.remove(K::make(99));
        EXPECT_EQ(keysOf(list), (Keys{5, 4, 2}));
        const std::int64_t perElement = four - live.leaked();
        EXPECT_EQ(four, 1 + 4 * perElement) << "one array of exactly four, old ones released";
        addAll(list, listOf<TypeParam>({2, 5, 8}), false);
        EXPECT_EQ(keysOf(list), (Keys{4}));
        list.remove(K::make(4));
        EXPECT_EQ(live.leaked(), 0) << "removing the only element releases the array";
        addAll(list, listOf<TypeParam>({3, 1}));
        addAll(list, listOf<TypeParam>({1, 6}));
        EXPECT_EQ(keysOf(list), (Keys{3, 1, 6}));
        TypeParam copy(list);
        copy.add(K::make(4));
        EXPECT_EQ(keysOf(list), (Keys{3, 1, 6}));
        copy = listOf<TypeParam>({7, 8}); // the sanitizer build sees a shallow copy
        EXPECT_EQ(keysOf(copy), (Keys{7, 8}));
        copy = TypeParam();
        EXPECT_EQ(copy.count(), 0u);
        copy = list;
        copy.assign(copy);
        EXPECT_EQ(keysOf(copy), (Keys{3, 1, 6}));
        if constexpr (hasBulk<TypeParam>) {
            copy.addAll(copy);
            EXPECT_EQ(keysOf(copy), (Keys{3, 1, 6}));
            copy.removeAll(copy);
            EXPECT_EQ(copy.count(), 0u);
        }
    }
    EXPECT_EQ(live.leaked(), 0);
}

// Every shared raise site: the exception, one box from its line, the list afterwards (add and
// remove change nothing, assign empties, a copy constructor leaves nothing), no leak.
TYPED_TEST(oxListTest, RaiseSitesLeaveTheDocumentedState) {
    using L = TypeParam;
    using K = Kit<L>;
    const Lines& ln = K::lines;
    const auto perElement = static_cast<std::uint32_t>([] {
        const L one = listOf<L>({1});
        oxLiveAllocations live;
        const L two(one);
        return live.leaked() - 1;
    }());
    const Keys same{1, 2, 3};
    const auto nine = K::make(9), two = K::make(2); // made before any allocation fails
    struct Case {
        const char* what;
        std::uint32_t k, line; // k: which allocation fails; 0 for a failed lookup
        std::function<void(L&, const L&)> op;
        Keys after;
    };
    std::vector<Case> cases = {
        {"at", 0, ln.at, [](L& l, const L&) { l.at(3); }, same},
        {"add array", 1, ln.add, [&](L& l, const L&) { l.add(nine); }, same},
        {"remove array", 1, ln.remove, [&](L& l, const L&) { l.remove(two); }, same},
        {"assign array", 1, ln.assign, [](L& l, const L& s) { l = s; }, {}},
        {"copy array", 1, ln.assign, [](L&, const L& s) { L copy(s); }, same}};
    if (ln.addElement)
        cases.insert(cases.end(),
                     {{"add element", 2, ln.addElement, [&](L& l, const L&) { l.add(nine); }, same},
                      {"assign first", 2, ln.assignElement, [](L& l, const L& s) { l = s; }, {}},
                      {"assign second",
                       2 + perElement,
                       ln.assignElement,
                       [](L& l, const L& s) { l.assign(s); },
                       {}},
                      {"copy second", 2 + perElement, ln.assignElement,
                       [](L&, const L& s) { L copy(s); }, same}});
    if constexpr (requires(const L& l) { K::indexOf(l, 0u); })
        cases.push_back({"indexOf", 0, ln.indexOf, [](L& l, const L&) { K::indexOf(l, 7); }, same});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        oxLiveAllocations live;
        {
            L list = listOf<L>({1, 2, 3});
            const L source = listOf<L>({7, 8});
            if (c.k) {
                oxFailAllocation fail(c.k);
                EXPECT_THROW(c.op(list, source), oxInsufficientMemory_c);
            } else {
                EXPECT_THROW(c.op(list, source), oxInvalidIndex_c);
            }
            this->expectOneBox(ln.source, c.line);
            EXPECT_EQ(keysOf(list), c.after);
        }
        EXPECT_EQ(live.leaked(), 0);
    }
}

using oxOneListTest = oxRaiseFixture;

// Filling constructors keep duplicates and order, the first match wins, and each raises from
// its own line leaving nothing behind.
TEST_F(oxOneListTest, FillingConstructorsKeepDuplicatesAndRaiseFromTheirLines) {
    const std::uint32_t raw[] = {7, 3, 7};
    const oxEnumItem_c items[] = {Kit<oxEnumList_c>::make(7), Kit<oxEnumList_c>::make(7),
                                  Kit<oxEnumList_c>::make(3)};
    const oxIdList_c ids(3, raw);
    oxAccessList_c table(ids, 4);
    EXPECT_EQ(keysOf(ids), (Keys{7, 3, 7}));
    EXPECT_EQ(keysOf(oxIdList_c{7, 3, 7}), (Keys{7, 3, 7}));
    EXPECT_EQ(keysOf(oxEnumList_c(3, items)), (Keys{7, 7, 3}));
    EXPECT_EQ(keysOf(table), (Keys{7, 3, 7}));
    EXPECT_EQ(table.at(2)->groupId() + ids.indexOf(7), 4u);
    table.remove(oxAccessEntry_c(7, 4));
    EXPECT_EQ(table.indexOf(oxAccessEntry_c(7, 4)), 1u);
    EXPECT_EQ(oxIdList_c(0, raw).count() + oxIdList_c(3, nullptr).count() +
                  oxEnumList_c(0, items).count() + oxEnumList_c(3, nullptr).count() +
                  oxAccessList_c(oxIdList_c(), 4).count(),
              0u);
    const struct {
        const char* source;
        std::uint32_t k, line;
        std::function<void()> make;
    } sites[] = {
        {oxTypeSource, 1, 78, [&] { oxIdList_c x(2, raw); }},
        {oxTypeSource, 1, 58,
         [] {
             oxIdList_c x{4, 5};
         }},
        {oxAccessSource, 1, 88, [&] { oxAccessList_c x(ids, 1); }},
        {oxAccessSource, 1, 189, [] { oxAccessList_c x(oxAccessEntry_c(1, 1)); }},
        {oxEnumSource, 1, 90, [&] { oxEnumList_c x(3, items); }},
        {oxEnumSource, 2, 101, [&] { oxEnumList_c x(3, items); }},
        {oxEnumSource, 4, 101, [&] { oxEnumList_c x(3, items); }},
    };
    for (const auto& s : sites) {
        SCOPED_TRACE(s.line);
        oxLiveAllocations live;
        {
            oxFailAllocation fail(s.k);
            EXPECT_THROW(s.make(), oxInsufficientMemory_c);
        }
        expectOneBox(s.source, s.line);
        EXPECT_EQ(live.leaked(), 0);
    }
}

// Lists compare every position in order; items compare name and value, entries both IDs.
TEST_F(oxOneListTest, ElementsAreMatchedByWhatEachListCompares) {
    const oxIdList_c ids{1, 2};
    EXPECT_TRUE(ids == (oxIdList_c{1, 2}) && oxIdList_c() == oxIdList_c({}));
    EXPECT_FALSE(ids == (oxIdList_c{2, 1}) || ids == (oxIdList_c{1, 2, 3}));
    EXPECT_TRUE(listOf<oxEnumList_c>({1, 2}) == listOf<oxEnumList_c>({1, 2}));
    EXPECT_FALSE(listOf<oxEnumList_c>({1, 2}) == listOf<oxEnumList_c>({2, 1}) ||
                 listOf<oxEnumList_c>({1, 2}) == listOf<oxEnumList_c>({1}));
    const oxEnumItem_c yes(oxString_c("Yes"), 1);
    EXPECT_TRUE(yes == oxEnumItem_c(oxString_c(3, "Yes"), 1));
    EXPECT_FALSE(yes == oxEnumItem_c(oxString_c("Yes"), 3) || yes == oxEnumItem_c("yes", 1));
    oxEnumItem_c item(oxString_c(u"w"), 9);
    item = yes;
    EXPECT_TRUE(item == yes && !item.name().isWide());
    EXPECT_TRUE(oxAccessEntry_c() == oxAccessEntry_c(0, 0));
    EXPECT_FALSE(oxAccessEntry_c(6, 9) == oxAccessEntry_c(6, 8) ||
                 oxAccessEntry_c(6, 9) == oxAccessEntry_c(5, 9));
    // Strings match with or without the counted terminator; the first one stays.
    oxStringList_c strings(oxString_c(3, "abc"));
    strings.add(oxString_c("abc"));
    EXPECT_EQ(strings.count() + strings.at(0)->length(), 4u);
    // Enumerations add by name and value; lookups by name take the first item.
    oxEnumList_c enums = listOf<oxEnumList_c>({1, 2});
    enums.add(oxEnumItem_c(oxString_c("1"), 3));
    enums.add(oxEnumItem_c(oxString_c("0"), 2));
    EXPECT_EQ(keysOf(enums), (Keys{1, 2, 3, 2}));
    EXPECT_EQ(enums.find(oxString_c("1")), enums.at(0));
    EXPECT_TRUE(enums.contains(oxString_c(1, "2")) && !enums.contains(oxString_c("9")));
    EXPECT_THROW(enums.find(oxString_c("9")), oxInvalidIndex_c);
    expectOneBox(oxEnumSource, 133);
    oxAccessList_c table(oxAccessEntry_c(2, 9));
    table.add(oxAccessEntry_c(2, 7));
    EXPECT_TRUE(table.contains(oxAccessEntry_c(2, 7)) && !table.contains(oxAccessEntry_c(5, 9)));
    EXPECT_EQ(table.count(), 2u);
    oxIdList_c numbers{1, 6};
    numbers.at(1) = 8;
    EXPECT_TRUE(numbers.contains(8) && !numbers.contains(6));
    // A string element's own text failing: the add raises from the string's line.
    oxStringList_c list = listOf<oxStringList_c>({1, 2});
    const oxString_c x("x");
    {
        oxFailAllocation fail(3);
        EXPECT_THROW(list.add(x), oxInsufficientMemory_c);
    }
    expectOneBox(oxTypeSource, 396);
    EXPECT_EQ(keysOf(list), (Keys{1, 2}));
}

// Count then items, unless a list chooses otherwise.
TEST(oxPtrListLayout, CountThenItemsUnlessChosenOtherwise) {
    const auto expectLayout = []<class List>(List list, std::size_t countAt, std::size_t itemsAt) {
        list.add(oxString_c("b"));
        std::uint32_t count = 0;
        oxString_c** items = nullptr;
        std::memcpy(&count, reinterpret_cast<const char*>(&list) + countAt, sizeof count);
        std::memcpy(&items, reinterpret_cast<const char*>(&list) + itemsAt, sizeof items);
        EXPECT_TRUE(count == 2 && items && items[1] == list.at(1));
    };
    expectLayout(oxStringList_c(oxString_c("a")), 0, sizeof(void*));
    expectLayout(
        oxPtrList_c<oxString_c, oxStringListTraits, oxItemsThenCount<oxString_c>>(oxString_c("a")),
        sizeof(void*), 0);
}

} // namespace
