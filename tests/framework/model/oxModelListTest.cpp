// The model's records and lists: constructors and field-by-field equality, lookups by ID,
// class text and row, list equality, filling constructors and the row lists' layout.
#include "oxModelFixture.h"
#include <cstring>

namespace {

TEST_F(oxModelTest, RecordsKeepEachConstructorArgument) {
    oxAttribValue_c text(5, oxString_c("abc")), copy(1);
    EXPECT_TRUE(oxAttribValue_c(4).value.kind == 6 && oxAttribValue_c(4).value.number6 == 0);
    EXPECT_TRUE(text.value.kind == 8 && text.value.string == oxString_c("abc"));
    EXPECT_TRUE(oxAttribValue_c(5, oxString_c(u"w")).value.string.isWide());
    copy = text;
    copy = static_cast<const oxAttribValue_c&>(copy);
    EXPECT_TRUE(copy == text && copy.id == 5);
    const oxGroup_c empty, g(2, "c", "s", oxIdList_c{1}, "t", "f");
    EXPECT_TRUE(empty.id == 0 && empty.groupClass.length() == 0 && empty.attributeIds.count() == 0);
    EXPECT_TRUE(g.id == 2 && g.groupClass == oxString_c("c") && g.secondText == oxString_c("s") &&
                g.attributeIds == oxIdList_c{1} && g.thirdText == oxString_c("t") &&
                g.fourthText == oxString_c("f"));
    const oxEnumList_c items(oxEnumItem_c("on", 1));
    const oxAttribute_c a(6, "one", "two", "three", 10, items, 20, 30, 40);
    EXPECT_TRUE(a.id == 6 && a.firstText == oxString_c("one") && a.enumeration == items &&
                a.secondText == oxString_c("two") && a.thirdText == oxString_c("three"));
    EXPECT_TRUE(a.firstNumber == 10 && a.secondNumber == 20 && a.thirdNumber == 30 &&
                a.fourthNumber == 40);
    const oxComponent_c c(3, "Os.mif", "first", "third"); // the second argument is the name
    EXPECT_TRUE(c.id == 3 && c.name == oxString_c("Os.mif") && c.firstText == oxString_c("first") &&
                c.thirdText == oxString_c("third"));
}

template <class L> using oxIdKeyedListTest = oxModelTest;
TYPED_TEST_SUITE(oxIdKeyedListTest, oxIdKeyedLists);

// Records compare every field; lookups by ID take the first match; == pairs records by
// position; the filling constructors keep order and duplicates.
TYPED_TEST(oxIdKeyedListTest, EqualityLookupsAndFillingConstructors) {
    using L = TypeParam;
    using K = oxKit<L>;
    EXPECT_TRUE(K::make(1) == K::make(1) && !(K::make(2) == K::make(1)));
    for (int v = 1; v <= K::fields; ++v)
        EXPECT_FALSE(K::make(1, v) == K::make(1)) << "field " << v;
    L list = this->template listOf<L>({7, 3}), other = list;
    list.add(K::make(3, 1)); // same ID, other content: appended
    ASSERT_EQ(list.count(), 3u);
    EXPECT_TRUE(list.find(3) == list.at(1) && list.indexOf(3) == 1 && list.at(2)->id == 3);
    EXPECT_TRUE(list.contains(7) && !list.contains(4) && list == L(list));
    EXPECT_FALSE(list == other); // count
    other.add(K::make(4));
    EXPECT_FALSE(list == other); // the last record
    EXPECT_FALSE(this->template listOf<L>({3, 7}) == this->template listOf<L>({7, 3}));
    const typename L::element_type records[] = {K::make(2), K::make(1), K::make(2)};
    constexpr bool byIds = std::is_constructible_v<L, oxIdList_c>; // else copies of records
    const L filled = [&] {
        if constexpr (byIds)
            return L(oxIdList_c{2, 1, 2}); // default values
        else
            return L(3, records);
    }();
    ASSERT_EQ(filled.count(), 3u);
    for (std::uint32_t i = 0; i < 3; ++i)
        EXPECT_TRUE(*filled.at(i) == records[i] && filled.at(i) != &records[i]);
    if constexpr (byIds)
        EXPECT_EQ(L(oxIdList_c()).count(), 0u);
    else
        EXPECT_TRUE(L(0, records).count() == 0 && L(3, nullptr).count() == 0);
}

TEST_F(oxModelTest, GroupsAreFoundByExactClassText) {
    const oxGroup_c records[] = {oxGroup_c(1, "DMTF|ComponentID|001", "", {}, "", ""),
                                 oxGroup_c(1, "DMTF|Other|001", "", {}, "", ""),
                                 oxGroup_c(2, "DMTF|ComponentID|001", "x", {}, "", "")};
    oxGroupList_c groups(3, records);
    const oxString_c cid("DMTF|ComponentID|001");
    EXPECT_EQ(groups.find(cid), groups.at(0));
    EXPECT_EQ(groups.indexOf(oxString_c("DMTF|Other|001")), 1u);
    EXPECT_FALSE(groups.contains(oxString_c("dmtf|componentid|001"))); // case-sensitive
    EXPECT_TRUE(groups.contains(oxString_c(20, "DMTF|ComponentID|001"))); // counted NUL ignored
    groups.remove(*groups.find(cid)); // as the kernel removes the groups it served
    EXPECT_EQ(groups.find(cid)->id, 2u);
    groups.remove(*groups.find(cid));
    EXPECT_TRUE(!groups.contains(cid) && groups.count() == 1);
    EXPECT_THROW(groups.find(cid), oxInvalidIndex_c);
    expectOneBox("..\\..\\oxGroup", 170);
    EXPECT_THROW(groups.indexOf(cid), oxInvalidIndex_c);
    expectOneBox("..\\..\\oxGroup", 320);
}

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
    TypeParam rows(row(1, 2)), same, reversed;
    for (std::uint32_t first : {2, 1}) { // the same values in another order: another row
        rows.add(row(first, 2));          // the first row again: refused
        same.add(row(3 - first, 2));
        reversed.add(row(first, 2));
    }
    ASSERT_EQ(rows.count(), 2u);
    EXPECT_TRUE(rows == same && !(rows == reversed));
    EXPECT_FALSE(rows.contains(row(1, 3)) || rows.contains(Row()));
    // The next row, as the kernel steps through them.
    ASSERT_TRUE(rows.isValidIndex(rows.indexOf(row(1, 2)) + 1));
    EXPECT_TRUE(*rows.at(rows.indexOf(row(1, 2)) + 1) == row(2, 2));
    EXPECT_FALSE(rows.isValidIndex(rows.indexOf(row(2, 2)) + 1));
}

TEST(oxRowListLayout, KeyListCountsFirstAndTableHoldsItemsFirst) {
    const oxKeyList_c keys(oxKey_c(oxIdList_c{1}));
    oxAttribValueTable_c table(oxAttribValueList_c(oxIdList_c{1}));
    table.add(oxAttribValueList_c(oxIdList_c{2}));
    struct {
        std::uint32_t count;
    } keyList;
    struct {
        oxAttribValueList_c** items;
        std::uint32_t count;
    } rows;
    std::memcpy(&keyList, &keys, sizeof keyList);
    std::memcpy(&rows, &table, sizeof rows);
    EXPECT_TRUE(keyList.count == 1 && rows.count == 2 && rows.items[1] == table.at(1));
}
} // namespace
