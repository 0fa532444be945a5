// The model's records and lists: constructors and field-by-field equality, lookups by ID,
// class text and row with the box of a failed one, list equality, filling constructors and
// their out-of-memory sites, and the row lists' layout.
#include "oxModelFixture.h"
#include <cstring>

namespace {

TEST_F(oxModelTest, ValuesAndAttributesKeepEachConstructorArgument) {
    const oxAttribValue_c text(5, oxString_c("abc")), wide(5, oxString_c(u"w"));
    EXPECT_TRUE(text.value.kind == 8 && text.value.string == "abc" && wide.value.string.isWide());
    EXPECT_TRUE((oxAttribValue_c(1) = text) == text); // the ID and the value
    const oxAttribute_c a(6, "one", "two", "three", 10, oxEnumList_c(), 20, 30, 40);
    EXPECT_TRUE(a.firstText == "one" && a.secondText == "two" && a.thirdText == "three");
    EXPECT_TRUE(a.firstNumber == 10 && a.secondNumber == 20 && a.thirdNumber == 30 && a.fourthNumber == 40);
}

using oxIdKeyedLists = ::testing::Types<oxKey_c, oxAttribValueList_c, oxGroupList_c,
                                        oxAttributeList_c, oxComponentList_c>;
template <class L> using oxIdKeyedListTest = oxModelTest;
TYPED_TEST_SUITE(oxIdKeyedListTest, oxIdKeyedLists);

// Records compare every field; lookups by ID take the first match and raise when none; ==
// pairs records by position; the filling constructors keep order and duplicates, and out of
// memory (the array, then an element) leave nothing behind.
TYPED_TEST(oxIdKeyedListTest, EqualityLookupsAndFillingConstructors) {
    using L = TypeParam;
    using K = oxKit<L>;
    EXPECT_TRUE(K::make(1) == K::make(1) && !(K::make(2) == K::make(1)));
    for (int v = 1; v <= K::fields; ++v)
        EXPECT_FALSE(K::make(1, v) == K::make(1)) << "field " << v;
    L list, reversed;
    for (std::uint32_t id : {7, 3}) {
        list.add(K::make(id));
        reversed.add(K::make(10 - id));
    }
    L other = list;
    EXPECT_FALSE(reversed == other); // the order
    list.add(K::make(3, 1));         // same ID, other content: appended
    ASSERT_EQ(list.count(), 3u);
    EXPECT_TRUE(list.find(3) == list.at(1) && list.indexOf(3) == 1 && list.at(2)->id == 3);
    EXPECT_TRUE(list.contains(7) && !list.contains(4) && list == L(list));
    EXPECT_FALSE(list == other); // count
    other.add(K::make(4));
    EXPECT_FALSE(list == other); // the last record
    EXPECT_THROW(list.find(4), oxInvalidIndex_c);
    this->expectOneBox(K::lines.source, K::lines.find, "found nothing");
    EXPECT_THROW(list.indexOf(4), oxInvalidIndex_c);
    this->expectOneBox(K::lines.source, K::lines.indexOf, "found nothing");

    const typename L::element_type records[] = {K::make(2), K::make(1), K::make(2)};
    const oxIdList_c ids{2, 1, 2};
    constexpr bool byIds = std::is_constructible_v<L, oxIdList_c>; // else copies of records
    const auto fill = [&] {
        if constexpr (byIds)
            return L(ids); // default values
        else
            return L(3, records);
    };
    const L filled = fill();
    ASSERT_EQ(filled.count(), 3u);
    for (std::uint32_t i = 0; i < 3; ++i)
        EXPECT_TRUE(*filled.at(i) == records[i] && filled.at(i) != &records[i]);
    if constexpr (byIds)
        EXPECT_EQ(L(oxIdList_c()).count(), 0u);
    else
        EXPECT_TRUE(L(0, records).count() == 0 && L(3, nullptr).count() == 0);
    oxLiveAllocations live;
    for (const std::uint32_t k : {1, 2}) { // the array; the first element
        EXPECT_THROW((oxFailAllocation(k), fill()), oxInsufficientMemory_c); // armed while it runs
        this->expectOneBox(K::lines.source, k == 1 ? K::lines.construct : K::lines.constructElement,
                           "not enough memory");
    }
    EXPECT_EQ(live.leaked(), 0);
}

TEST_F(oxModelTest, GroupsAreFoundByExactClassText) {
    using K = oxKit<oxGroupList_c>;
    // Classes A|B|001, A|B|002, A|B|001.
    const oxGroup_c records[] = {K::make(1), K::make(1, 1), K::make(2)};
    oxGroupList_c groups(3, records);
    const oxString_c cls("A|B|001");
    EXPECT_TRUE(groups.find(cls) == groups.at(0) && groups.indexOf(oxString_c("A|B|002")) == 1);
    EXPECT_FALSE(groups.contains(oxString_c("a|b|001"))); // case-sensitive
    EXPECT_TRUE(groups.contains(oxString_c(8, "A|B|001"))); // a counted NUL ignored
    groups.remove(*groups.find(cls)); // as the kernel removes the groups it served
    EXPECT_EQ(groups.find(cls)->id, 2u);
    groups.remove(*groups.find(cls));
    EXPECT_TRUE(!groups.contains(cls) && groups.count() == 1);
    EXPECT_THROW(groups.find(cls), oxInvalidIndex_c);
    expectOneBox("..\\..\\oxGroup", 170);
    EXPECT_THROW(groups.indexOf(cls), oxInvalidIndex_c);
    expectOneBox("..\\..\\oxGroup", 320);
}

using oxRowLists = ::testing::Types<oxKeyList_c, oxAttribValueTable_c>;
template <class L> using oxRowListTest = oxModelTest;
TYPED_TEST_SUITE(oxRowListTest, oxRowLists);

// Rows are whole value lists: found, refused and compared by every value in order.
TYPED_TEST(oxRowListTest, RowsAreFoundWholeAndInOrder) {
    using Row = typename TypeParam::element_type;
    auto row = [](std::uint32_t firstId, int n) { // values of IDs 1 and 2, firstId first
        Row r(oxKit<oxKey_c>::make(firstId, n));
        r.add(oxKit<oxKey_c>::make(3 - firstId, n));
        return r;
    };
    TypeParam rows(row(1, 2)), same(row(1, 2)), reversed(row(2, 2));
    rows.add(row(2, 2)); // the same values in another order: another row
    rows.add(row(1, 2)); // the first row again: refused
    same.add(row(2, 2));
    reversed.add(row(1, 2));
    ASSERT_EQ(rows.count(), 2u);
    EXPECT_TRUE(rows == same && !(rows == reversed));
    EXPECT_FALSE(rows.contains(row(1, 3)) || rows.contains(Row()));
    // The next row, as the kernel steps through them.
    ASSERT_TRUE(rows.isValidIndex(rows.indexOf(row(1, 2)) + 1));
    EXPECT_TRUE(*rows.at(rows.indexOf(row(1, 2)) + 1) == row(2, 2));
    EXPECT_FALSE(rows.isValidIndex(rows.indexOf(row(2, 2)) + 1));
    EXPECT_THROW(rows.indexOf(row(1, 3)), oxInvalidIndex_c);
    constexpr bool keys = std::is_same_v<TypeParam, oxKeyList_c>;
    this->expectOneBox(keys ? "..\\..\\oxKey" : "..\\..\\oxAttrib", keys ? 405 : 406);
}

TEST(oxRowListLayout, KeyListCountsFirstAndTableHoldsItemsFirst) {
    const oxKeyList_c keys(oxKey_c(oxIdList_c{1}));
    const oxAttribValueTable_c table(oxAttribValueList_c(oxIdList_c{1}));
    std::uint32_t keyCount = 0, tableCount = 0;
    std::memcpy(&keyCount, &keys, sizeof keyCount);
    std::memcpy(&tableCount, reinterpret_cast<const char*>(&table) + sizeof(void*), 4);
    EXPECT_TRUE(keyCount == 1 && tableCount == 1);
}
} // namespace
