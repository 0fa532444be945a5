// The lists of the types layer, one typed suite: set-like add, order-keeping remove, exact-size
// arrays, deep copies, self-operations and every shared raise site with the state it leaves;
// then what only some lists have (filling constructors, lookups by name, element matching) and
// timers over real tick counts in their list.
#include "framework/types/oxAccessList.h"
#include "framework/types/oxEnumList.h"
#include "framework/types/oxIdList.h"
#include "framework/types/oxTimerList.h"
#include "framework/types/oxTypeSource.h"
#include "tests/framework/types/oxRaiseFixture.h"
#include <string>
#include <vector>

namespace {
using Keys = std::vector<std::uint32_t>;

// Raise lines shared by every list; 0 where the list has no such site.
struct Lines {
    const char* source;
    std::uint32_t at, assign, assignElement, remove, add, addElement;
};

// Per list: element number i, the number back from position p, and its raise lines.
template <class L> struct Kit;
template <> struct Kit<oxIdList_c> {
    static constexpr Lines lines{oxTypeSource, 98, 114, 0, 136, 174, 0};
    static std::uint32_t make(std::uint32_t i) { return i; }
    static std::uint32_t key(const oxIdList_c& l, std::uint32_t p) { return l.at(p); }
};
template <> struct Kit<oxAccessList_c> {
    static constexpr Lines lines{oxAccessSource, 111, 127, 0, 149, 189, 0};
    static oxAccessEntry_c make(std::uint32_t i) { return oxAccessEntry_c(i, 9); }
    static std::uint32_t key(const oxAccessList_c& l, std::uint32_t p) { return l.at(p)->attributeId(); }
};
template <> struct Kit<oxEnumList_c> {
    static constexpr Lines lines{oxEnumSource, 121, 151, 158, 177, 216, 222};
    static oxEnumItem_c make(std::uint32_t i) { return {oxString_c(std::to_string(i).c_str()), i}; }
    static std::uint32_t key(const oxEnumList_c& l, std::uint32_t p) { return l.at(p)->value(); }
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
template <class L> class oxListTest : public oxRaiseFixture {};
using Lists = ::testing::Types<oxIdList_c, oxAccessList_c, oxEnumList_c>;
TYPED_TEST_SUITE(oxListTest, Lists);

TYPED_TEST(oxListTest, AddIsSetLikeRemoveKeepsOrderCopiesAreDeepArraysExact) {
    using K = Kit<TypeParam>;
    oxLiveAllocations live;
    {
        TypeParam list;
        for (std::uint32_t v : {5u, 1u, 5u, 4u, 2u, 1u})
            list.add(K::make(v));
        const std::int64_t four = live.leaked();
        list.remove(K::make(1));
        list.remove(K::make(99));
        EXPECT_EQ(keysOf(list), (Keys{5, 4, 2}));
        EXPECT_EQ(four, 1 + 4 * (four - live.leaked())) << "one array of exactly four elements";
        list.removeAll(listOf<TypeParam>({2, 5, 8}));
        list.remove(K::make(4));
        EXPECT_EQ(live.leaked(), 0) << "removing the only element releases the array";
        list.addAll(listOf<TypeParam>({3, 1}));
        list.addAll(listOf<TypeParam>({1, 6}));
        TypeParam copy(list);
        copy.add(K::make(4));
        EXPECT_EQ(keysOf(list), (Keys{3, 1, 6}));
        copy = TypeParam();
        copy = listOf<TypeParam>({7, 8}); // the sanitizer build sees a shallow copy
        copy = list;
        copy.assign(copy);
        copy.addAll(copy);
        EXPECT_EQ(keysOf(copy), (Keys{3, 1, 6}));
        copy.removeAll(copy);
        EXPECT_EQ(copy.count(), 0u);
    }
    EXPECT_EQ(live.leaked(), 0);
}

// Every shared raise site: the exception, one box from its line, the list afterwards (add and
// remove change nothing, assign empties, a copy constructor leaves nothing), no leak.
TYPED_TEST(oxListTest, RaiseSitesLeaveTheDocumentedState) {
    using L = TypeParam;
    using K = Kit<L>;
    const Lines& ln = K::lines;
    const Keys same{1, 2, 3};
    const auto nine = K::make(9), two = K::make(2); // made before any allocation fails
    const std::uint32_t second = 4;                 // the second element's copy
    // k: which allocation fails, 0 for a lookup; then the keys left
    using Case = std::tuple<std::uint32_t, std::uint32_t, std::function<void(L&, const L&)>, Keys>;
    // clang-format off
    std::vector<Case> cases = {
        {0, ln.at, [](L& l, const L&) { l.at(3); }, same},
        {1, ln.add, [&](L& l, const L&) { l.add(nine); }, same},
        {1, ln.remove, [&](L& l, const L&) { l.remove(two); }, same},
        {1, ln.assign, [](L& l, const L& s) { l = s; }, {}},
        {1, ln.assign, [](L&, const L& s) { L copy(s); }, same}};
    if (ln.addElement)
        cases.insert(cases.end(), {
            {2, ln.addElement, [&](L& l, const L&) { l.add(nine); }, same},
            {2, ln.assignElement, [](L& l, const L& s) { l = s; }, {}},
            {second, ln.assignElement, [](L& l, const L& s) { l.assign(s); }, {}},
            {second, ln.assignElement, [](L&, const L& s) { L copy(s); }, same}});
    // clang-format on
    for (const auto& [k, line, op, after] : cases) {
        SCOPED_TRACE(testing::Message() << line << " failing " << k);
        oxLiveAllocations live;
        {
            L list = listOf<L>({1, 2, 3});
            const L source = listOf<L>({7, 8});
            this->expectRaise(ln.source, line, k, [&, &op = op] { op(list, source); });
            EXPECT_EQ(keysOf(list), after);
        }
        EXPECT_EQ(live.leaked(), 0);
    }
}

using oxOneListTest = oxRaiseFixture;

// Filling constructors keep duplicates and order and raise from their own lines leaving nothing
// behind; lists compare every position in order, items name and value, entries both IDs; the
// enumeration looks items up by name, the first match winning.
TEST_F(oxOneListTest, FillingConstructorsLookupsAndMatching) {
    const std::uint32_t raw[] = {7, 3, 7};
    const oxEnumItem_c items[] = {Kit<oxEnumList_c>::make(7), Kit<oxEnumList_c>::make(7),
                                  Kit<oxEnumList_c>::make(3)};
    const oxIdList_c ids(3, raw);
    oxAccessList_c table(ids, 4);
    EXPECT_EQ(keysOf(ids), (Keys{7, 3, 7}));
    EXPECT_EQ(keysOf(oxEnumList_c(3, items)), (Keys{7, 7, 3}));
    EXPECT_EQ(keysOf(table), (Keys{7, 3, 7}));
    table.remove(oxAccessEntry_c(7, 4));
    EXPECT_TRUE(table.indexOf(oxAccessEntry_c(7, 4)) == 1 && !table.contains(oxAccessEntry_c(7, 5)));
    EXPECT_EQ(oxIdList_c(0, raw).count() + oxIdList_c(3, nullptr).count() +
                  oxEnumList_c(0, items).count() + oxEnumList_c(3, nullptr).count() +
                  oxAccessList_c(oxIdList_c(), 4).count() + ids.indexOf(3) + table.at(1)->groupId(),
              5u);
    const std::tuple<const char*, std::uint32_t, std::uint32_t, std::function<void()>> sites[] = {
        // clang-format off
        {oxTypeSource, 78, 1, [&] { oxIdList_c x(2, raw); }},
        {oxTypeSource, 58, 1, [] { oxIdList_c x{4, 5}; }},
        {oxTypeSource, 222, 0, [&] { ids.indexOf(5); }},
        {oxAccessSource, 88, 1, [&] { oxAccessList_c x(ids, 1); }},
        {oxAccessSource, 189, 1, [] { oxAccessList_c x(oxAccessEntry_c(1, 1)); }},
        {oxAccessSource, 217, 0, [&] { table.indexOf(oxAccessEntry_c(3, 3)); }},
        {oxEnumSource, 90, 1, [&] { oxEnumList_c x(3, items); }},
        {oxEnumSource, 101, 2, [&] { oxEnumList_c x(3, items); }},
        {oxEnumSource, 101, 4, [&] { oxEnumList_c x(3, items); }},
        // clang-format on
    };
    for (const auto& [source, line, k, make] : sites) {
        oxLiveAllocations live;
        expectRaise(source, line, k, make);
        EXPECT_EQ(live.leaked(), 0);
    }
    EXPECT_FALSE(ids == (oxIdList_c{7, 3}) || ids == (oxIdList_c{7, 7, 3}) || !(ids == oxIdList_c(ids)));
    EXPECT_TRUE(oxEnumList_c(items[0]) == oxEnumList_c(1, items));
    EXPECT_FALSE(oxEnumList_c(3, items) == oxEnumList_c(2, items));
    EXPECT_FALSE(listOf<oxEnumList_c>({1, 2}) == listOf<oxEnumList_c>({2, 1}));
    oxEnumItem_c item(oxString_c(u"w"), 9);
    item = items[2];
    EXPECT_TRUE(item == items[2] && !item.name().isWide());
    oxEnumList_c enums = listOf<oxEnumList_c>({1, 2});
    enums.add(oxEnumItem_c(oxString_c("1"), 3));
    enums.add(oxEnumItem_c(oxString_c("0"), 2));
    EXPECT_EQ(keysOf(enums), (Keys{1, 2, 3, 2}));
    EXPECT_TRUE(enums.find(oxString_c("1")) == enums.at(0) && enums.indexOf(oxString_c("0")) == 3);
    EXPECT_TRUE(enums.contains(oxString_c(1, "2")) && !enums.contains(oxString_c("9")));
    expectRaise(oxEnumSource, 133, 0, [&] { enums.find(oxString_c("9")); });
    expectRaise(oxEnumSource, 270, 0, [&] { enums.indexOf(oxString_c("9")); });
    oxIdList_c numbers{1, 6};
    numbers.at(1) = 8;
    EXPECT_TRUE(numbers.contains(8) && !numbers.contains(6));
    // An element's own string failing: the add raises from the string's line.
    const oxEnumItem_c five = Kit<oxEnumList_c>::make(5);
    expectRaise(oxTypeSource, 396, 3, [&] { enums.add(five); });
    EXPECT_EQ(keysOf(enums), (Keys{1, 2, 3, 2}));
}

std::string fired; // callback arguments in firing order, one digit each
void record(std::uint32_t argument) {
    fired += std::to_string(argument);
}
void ticks(oxTimerList_c& list, int times) {
    for (int i = 0; i < times; ++i)
        list.tick();
}
// A timer of the given period in seconds, its ID as callback argument.
oxTimer_c timer(std::uint32_t id, std::int64_t seconds = 1, bool run = true, bool once = false) {
    oxTimer_c t(id, seconds, oxTimer_c::seconds, &record, id);
    run ? t.start() : t.stop();
    t.oneShot = once;
    return t;
}

// A period is the interval (at least 1) times the unit's seconds, in 64 bits. Only running timers
// of a running list count down, in list order; a one-shot fires once and counts on below zero
// until reloaded, a timer without callback still reloads, one of an unknown unit never fires.
// Changes keep the running flag. Timers are matched by ID; a copy of the list starts stopped.
TEST_F(oxOneListTest, TimersTickInListOrderWhileRunning) {
    const std::uint64_t seconds[] = {86400, 3600, 60, 1, 604800};
    for (std::uint32_t unit = 0; unit < 5; ++unit)
        EXPECT_EQ(oxTimer_c(17, 10000, unit, &record, 99).period, 10000 * seconds[unit]) << unit;
    fired.clear();
    oxTimerList_c list;
    oxTimer_c first = timer(1);
    list.add(first);
    first.setInterval(9); // the list holds its own copy
    for (const oxTimer_c& t : {timer(2, 2, false), oxTimer_c(3, 1, 6, &record, 3), timer(1, 5),
                               timer(4, 10), timer(5, 25, true, true), timer(6, 2)})
        list.add(t);
    list.find(3)->start();
    list.find(6)->callback = nullptr;
    list.tick();
    EXPECT_EQ(fired, "");
    list.start();
    ticks(list, 60);
    EXPECT_EQ(fired.substr(9, 3), "141"); // tick 10, then 11
    EXPECT_EQ(fired.size(), 67u);         // 60 + 6 + 1
    EXPECT_EQ(std::vector<std::int64_t>({list.find(2)->remaining, list.find(3)->remaining,
                                         list.find(5)->remaining, list.find(6)->remaining}),
              std::vector<std::int64_t>({2, -60, -35, 2}));
    list.stop();
    ticks(list, 10);
    list.find(4)->configure(oxTimer_c::minutes, -2); // 1 minute
    list.find(4)->setUnit(7);                      // an unknown unit is refused
    list.reload(); // rearms the one-shot
    list.start();
    fired.clear();
    ticks(list, 25);
    EXPECT_EQ(fired, std::string(24, '1') + "15");
    EXPECT_TRUE(list.find(4)->remaining == 35 && list.find(4)->isRunning());
    list.remove(oxTimer_c(3, 99, oxTimer_c::weeks, nullptr, 0)); // only the ID counts
    EXPECT_TRUE(list.count() == 5 && list.indexOf(4) == 2 && !list.contains(3));
    list = oxTimerList_c(list);
    EXPECT_TRUE(list.isRunning() && !oxTimerList_c(list).isRunning());
    // A failed lookup leaves the list running, a failed change leaves it stopped.
    expectRaise(oxTimerSource, 199, 0, [&] { list.find(9); });
    expectRaise(oxTimerSource, 330, 0, [&] { list.indexOf(9); });
    EXPECT_TRUE(list.isRunning());
    expectRaise(oxTimerSource, 302, 1, [&] { list.add(timer(9)); });
    EXPECT_TRUE(!list.isRunning() && list.count() == 5);
}

} // namespace
