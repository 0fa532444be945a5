// coxKernelList_c: kernels keyed by component ID and by name, set-like by name, order kept,
// its raise sites and its behaviour when the new array cannot be had.
#include "framework/kernel/coxKernelList.h"
#include "coxKernelFixture.h"
#include "framework/diag/oxExceptions.h"

namespace {

using ::testing::ElementsAre;

class coxKernelListTest : public coxKernelTest {
  protected:
    // Kernels on the empty directory, then given the IDs and names the provider would.
    coxKernel_c* named(std::uint32_t id, const char* name) {
        owned.push_back(std::make_unique<coxKernel_c>(dir.c_str(), &sp, &status));
        owned.back()->ownDescription().id = id;
        owned.back()->ownDescription().name.assign(name);
        return owned.back().get();
    }
    std::vector<coxKernel_c*> items() const {
        std::vector<coxKernel_c*> result;
        for (std::uint32_t i = 0; list.isValidIndex(i); ++i)
            result.push_back(list.at(i));
        return result;
    }
    std::vector<std::unique_ptr<coxKernel_c>> owned;
    coxKernelList_c list;
};

TEST_F(coxKernelListTest, AddFindAndRemoveByNameKeepOrderAndTakeTheFirstMatch) {
    coxKernel_c *a = named(1, "A"), *b = named(2, "B"), *c = named(2, "C");
    for (coxKernel_c* k : {a, b, named(3, "A"), c, static_cast<coxKernel_c*>(nullptr)})
        list.add(k); // a second "A" and a null kernel are ignored
    EXPECT_EQ(items(), (std::vector{a, b, c}));
    EXPECT_EQ(std::pair(list.find(2u), list.find(oxString_c("C"))), std::pair(b, c));
    EXPECT_TRUE(list.contains(1u) && list.contains(oxString_c("B")));
    EXPECT_FALSE(list.contains(9u) || list.contains(oxString_c("b"))); // names compare exactly
    for (const char* name : {"Z", "B"})
        list.remove(oxString_c(name));
    EXPECT_EQ(items(), (std::vector{a, c}));
    for (const char* name : {"A", "C"})
        list.remove(oxString_c(name));
    EXPECT_EQ(list.count(), 0u);
    list.add(b); // usable again once empty
    EXPECT_EQ(items(), (std::vector{b}));
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelListTest, LookupsThatFindNothingAndArraysThatCannotBeHadRaiseFromTheirLines) {
    coxKernel_c *a = named(1, "A"), *b = named(2, "B"), *c = named(3, "C");
    list.add(a);
    list.add(b);
    EXPECT_THROW(list.find(7u), oxInvalidIndex_c);
    EXPECT_THROW(list.find(oxString_c("Z")), oxInvalidIndex_c);
    EXPECT_THROW(list.at(2), oxInvalidIndex_c);
    const oxString_c nameB("B");
    for (const bool add : {true, false}) {
        const oxFailAllocation fail(1);
        EXPECT_THROW(add ? list.add(c) : list.remove(nameB), oxInsufficientMemory_c);
    }
    EXPECT_THAT(boxes.boxes(), ElementsAre(coxBox(coxKern, 1080, "found nothing"),
                                           coxBox(coxKern, 1092, "found nothing"),
                                           coxBox(coxKern, 1100, "found nothing"),
                                           coxBox(coxKern, 1148, "not enough memory"),
                                           coxBox(coxKern, 1117, "not enough memory")));
    EXPECT_EQ(items(), (std::vector{a, b})); // unchanged
    list.remove(oxString_c("A"));
    const oxFailAllocation fail(1, true); // removing the last kernel needs no new array
    EXPECT_NO_THROW(list.remove(nameB));
    EXPECT_EQ(list.count(), 0u);
}

} // namespace
