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

TYPED_TEST(oxIdKeyedListTest, RemoveKeepsOrderAndArraysStayExact) {
    oxLiveAllocations live;
    {
        TypeParam list = this->listOf({1});
        const std::int64_t one = live.leaked(); // array + one element with its parts
        list.remove(this->make(1));
        EXPECT_EQ(list.count(), 0u);
        EXPECT_EQ(live.leaked(), 0); // no array left
        list = this->listOf({1, 2, 3, 4, 5});
        EXPECT_EQ(live.leaked(), 5 * one - 4); // one array of five
        list.remove(this->make(3)); // middle
        list.remove(this->make(5)); // last
        list.remove(this->make(1)); // first
        list.remove(this->make(2, 9)); // same ID, not equal: nothing
        EXPECT_TRUE(list == this->listOf({2, 4}));
        EXPECT_EQ(live.leaked(), 2 * one - 1);
    }
    EXPECT_EQ(live.leaked(), 0);
}

TYPED_TEST(oxIdKeyedListTest, EqualityOrderAndDeepCopies) {
    const TypeParam a = this->listOf({1, 2});
    EXPECT_FALSE(a == this->listOf({2, 1}));
    EXPECT_FALSE(a == this->listOf({1, 2, 3}));
    TypeParam b = this->listOf({1});
    b.add(this->make(2, 1));
    EXPECT_TRUE(a != b);

    TypeParam copy(a);
    EXPECT_TRUE(copy == a);
    EXPECT_NE(copy.at(0), a.at(0));
    b = copy;
    copy.remove(this->make(1));
    EXPECT_TRUE(b == a);
    const TypeParam& self = b;
    b = self; // keeps its contents
    EXPECT_TRUE(b == a);
    b.assign(TypeParam());
    EXPECT_EQ(b.count(), 0u);
    EXPECT_EQ(TypeParam(this->make(5)).at(0)->id, 5u);
}

template <class L> class oxFillingConstructorTest : public oxModelTest {};
using FilledLists = ::testing::Types<oxKey_c, oxAttribValueList_c, oxGroupList_c,
                                     oxAttributeList_c, oxComponentList_c>;
TYPED_TEST_SUITE(oxFillingConstructorTest, FilledLists);

TYPED_TEST(oxFillingConstructorTest, OneElementPerEntryInOrderDuplicatesKept) {
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
