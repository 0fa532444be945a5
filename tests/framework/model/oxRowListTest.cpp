// Row lists: the row keys of a component (oxKeyList_c) and rows of values
// (oxAttribValueTable_c), looked up by element.
#include "oxModelFixture.h"
#include "oxModelMakers.h"
#include <cstring>

namespace {

template <class L> class oxRowListTest : public oxModelTest {
  protected:
    using Row = typename L::element_type;
    // A row of values for the (ID, number) pairs, in the given order.
    static Row row(std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> values) {
        Row r;
        for (auto [id, number] : values)
            r.add(oxMaker<oxKey_c>::make(id, number));
        return r;
    }
    static Row row(std::uint32_t n) { return row({{1, n}, {2, n}}); }
};
using RowLists = ::testing::Types<oxKeyList_c, oxAttribValueTable_c>;
TYPED_TEST_SUITE(oxRowListTest, RowLists);

TYPED_TEST(oxRowListTest, RowsAreFoundByEqualityInOrder) {
    TypeParam rows(this->row(1));
    rows.add(this->row(2));
    rows.add(this->row(1)); // present: refused
    const auto swapped = this->row({{2, 2}, {1, 2}}); // row 2's values in another order
    EXPECT_FALSE(rows.contains(swapped));
    EXPECT_FALSE(rows.contains(typename TypeParam::element_type()));
    rows.add(swapped);
    ASSERT_EQ(rows.count(), 3u);
    EXPECT_TRUE(*rows.at(0) == this->row(1));

    // Stepping to the next row as the kernel does.
    const std::uint32_t next = rows.indexOf(this->row(2)) + 1;
    ASSERT_TRUE(rows.isValidIndex(next));
    EXPECT_TRUE(*rows.at(next) == swapped);
    EXPECT_FALSE(rows.isValidIndex(rows.indexOf(swapped) + 1));
}

TYPED_TEST(oxRowListTest, RemoveBulkAndEquality) {
    TypeParam rows, more, gone, same, reversed;
    for (std::uint32_t n : {1, 2, 3})
        rows.add(this->row(n));
    more.add(this->row(3));
    more.add(this->row(4));
    EXPECT_EQ(rows.addAll(more), 2u);
    oxLiveAllocations live;
    rows.remove(this->row(2));
    EXPECT_EQ(live.leaked(), -4); // the row, its array and its two values
    gone.add(this->row(9));
    gone.add(this->row(1));
    EXPECT_EQ(rows.removeAll(gone), 2u);
    same.add(this->row(3));
    same.add(this->row(4));
    reversed.add(this->row(4));
    reversed.add(this->row(3));
    EXPECT_TRUE(rows == same);
    EXPECT_FALSE(rows == reversed);
    rows.removeAll(same);
    EXPECT_EQ(rows.count(), 0u);
    EXPECT_FALSE(rows.isValidIndex(0));
}

TEST(oxRowListLayout, KeyListCountsFirstAndTableHoldsItemsFirst) {
    oxKeyList_c keys(oxKey_c(oxIdList_c{1}));
    std::uint32_t count = 0;
    std::memcpy(&count, &keys, sizeof count);
    EXPECT_EQ(count, 1u);

    oxAttribValueTable_c table(oxAttribValueList_c(oxIdList_c{1}));
    table.add(oxAttribValueList_c(oxIdList_c{2}));
    oxAttribValueList_c** items = nullptr;
    std::memcpy(&items, &table, sizeof items);
    std::memcpy(&count, reinterpret_cast<const char*>(&table) + sizeof items, sizeof count);
    EXPECT_EQ(count, 2u);
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(items[1], table.at(1));
}
} // namespace
