// Behaviour shared by the model lists that look up by ID.
#include "oxModelFixture.h"
#include "oxModelMakers.h"

namespace {

template <class L> class oxIdKeyedListTest : public oxModelTest {
  protected:
    static auto make(std::uint32_t id, std::uint32_t variant = 0) {
        return oxMaker<L>::make(id, variant);
    }
    static L listOf(std::initializer_list<std::uint32_t> ids) {
        L list;
        for (std::uint32_t id : ids)
            list.add(make(id));
        return list;
    }
};
using IdKeyedLists = ::testing::Types<oxKey_c, oxAttribValueList_c, oxGroupList_c,
                                      oxAttributeList_c, oxComponentList_c>;
TYPED_TEST_SUITE(oxIdKeyedListTest, IdKeyedLists);

TYPED_TEST(oxIdKeyedListTest, SetLikeAddAndFirstMatchLookups) {
    TypeParam list = this->listOf({7, 3});
    list.add(this->make(7)); // equal: refused
    EXPECT_TRUE(list == this->listOf({7, 3}));
    list.add(this->make(3, 1)); // same ID, other content: appended
    ASSERT_EQ(list.count(), 3u);
    EXPECT_EQ(list.at(2)->id, 3u);
    EXPECT_EQ(list.find(3), list.at(1));
    EXPECT_EQ(list.indexOf(3), 1u);
    EXPECT_TRUE(list.contains(3));
    EXPECT_FALSE(list.contains(4));
    EXPECT_EQ(list.addAll(this->listOf({3, 4})), 2u); // the other's count, not the number added
    EXPECT_EQ(list.removeAll(this->listOf({7, 5, 6})), 3u);
    ASSERT_EQ(list.count(), 3u);
    EXPECT_FALSE(*list.at(1) == this->make(3));
    EXPECT_EQ(list.indexOf(4), 2u);
}

// Order-keeping remove by whole-record equality, per-position list equality and deep copies;
// exact arrays and self-operations of the shared list are proven in the types tests.
TYPED_TEST(oxIdKeyedListTest, RemoveEqualityAndCopiesCompareWholeRecords) {
    oxLiveAllocations live;
    {
        TypeParam list = this->listOf({1, 2, 3, 4, 5});
        list.remove(this->make(3));    // middle
        list.remove(this->make(5));    // last
        list.remove(this->make(1));    // first
        list.remove(this->make(2, 9)); // same ID, not equal: nothing
        EXPECT_TRUE(list == this->listOf({2, 4}));
        EXPECT_FALSE(list == this->listOf({4, 2}) || list == this->listOf({2, 4, 6}));
        TypeParam other = this->listOf({2});
        other.add(this->make(4, 1));
        EXPECT_TRUE(list != other);
        TypeParam copy(list);
        EXPECT_NE(copy.at(0), list.at(0));
        other = copy;
        copy.remove(this->make(2));
        EXPECT_TRUE(other == list && copy.count() == 1);
        EXPECT_EQ(TypeParam(this->make(5)).at(0)->id, 5u);
    }
    EXPECT_EQ(live.leaked(), 0);
}

TYPED_TEST(oxIdKeyedListTest, OneElementPerEntryInOrderDuplicatesKept) {
    using E = typename TypeParam::element_type;
    if constexpr (std::is_constructible_v<TypeParam, oxIdList_c>) {
        const TypeParam list(oxIdList_c{9, 4, 9});
        ASSERT_EQ(list.count(), 3u);
        for (std::uint32_t i = 0; i < 3; ++i)
            EXPECT_TRUE(*list.at(i) == oxAttribValue_c(i == 1 ? 4 : 9)); // default value
        EXPECT_EQ(TypeParam(oxIdList_c()).count(), 0u);
    } else {
        const E records[] = {oxMaker<TypeParam>::make(2, 0), oxMaker<TypeParam>::make(1, 0),
                             oxMaker<TypeParam>::make(2, 0)};
        const TypeParam list(3, records);
        ASSERT_EQ(list.count(), 3u);
        for (std::uint32_t i = 0; i < 3; ++i)
            EXPECT_TRUE(*list.at(i) == records[i] && list.at(i) != &records[i]);
        EXPECT_EQ(TypeParam(0, records).count(), 0u);
        EXPECT_EQ(TypeParam(3, nullptr).count(), 0u);
    }
}
} // namespace
