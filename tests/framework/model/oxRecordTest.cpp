// The model's records: attribute values and the group, attribute and component descriptions.
#include "oxModelFixture.h"
#include "oxModelMakers.h"
#include <functional>

namespace {

using oxRecordTest = oxModelTest;

// Changing any one field makes the record unequal; copies and assignments are independent.
template <class R> void expectFieldEquality(const R& base, std::initializer_list<std::function<void(R&)>> changes) {
    int field = 0;
    for (const auto& change : changes) {
        SCOPED_TRACE("change " + std::to_string(field++));
        R other(base);
        ASSERT_TRUE(other == base);
        change(other);
        EXPECT_TRUE(other != base);
        R assigned(base);
        assigned = other;
        const R& self = assigned;
        assigned = self;
        EXPECT_TRUE(assigned == other);
    }
}

TEST_F(oxRecordTest, AttributeValues) {
    const oxAttribValue_c byId(4);
    EXPECT_EQ(byId.value.kind, 6u);
    EXPECT_EQ(byId.value.number6, 0u);
    const oxAttribValue_c text(5, oxString_c("abc"));
    EXPECT_EQ(text.value.kind, 8u);
    EXPECT_TRUE(text.value.string == oxString_c("abc"));
    EXPECT_TRUE(oxAttribValue_c(5, oxString_c(u"w")).value.string.isWide());
    expectFieldEquality<oxAttribValue_c>(text, {[](auto& r) { r.id = 4; },
                                                [](auto& r) { r.value.setString("abd"); },
                                                [](auto& r) { r.value.kind = 6; }});
    EXPECT_TRUE(oxAttribValue_c(4) == byId);
}

TEST_F(oxRecordTest, Groups) {
    const oxGroup_c empty;
    EXPECT_TRUE(empty.id == 0 && empty.groupClass.length() == 0 && empty.attributeIds.count() == 0);
    const oxGroup_c g(2, "DMTF|ComponentID|001", "s", oxIdList_c{1, 2, 3}, "t", "f");
    EXPECT_TRUE(g.groupClass == oxString_c("DMTF|ComponentID|001"));
    EXPECT_TRUE(g.secondText == oxString_c("s") && g.thirdText == oxString_c("t"));
    EXPECT_TRUE(g.fourthText == oxString_c("f") && g.attributeIds.count() == 3);
    expectFieldEquality<oxGroup_c>(
        g, {[](auto& r) { r.id = 3; }, [](auto& r) { r.groupClass = "DMTF|ComponentId|001"; },
            [](auto& r) { r.secondText = ""; },
            [](auto& r) { r.attributeIds = oxIdList_c{1, 3, 2}; },
            [](auto& r) { r.thirdText = "x"; }, [](auto& r) { r.fourthText = "x"; }});
}

TEST_F(oxRecordTest, Attributes) {
    const oxEnumList_c items(oxEnumItem_c("on", 1));
    const oxAttribute_c a(6, "one", "two", "three", 10, items, 20, 30, 40);
    EXPECT_TRUE(a.firstText == oxString_c("one") && a.thirdText == oxString_c("three"));
    EXPECT_TRUE(a.firstNumber == 10 && a.secondNumber == 20 && a.fourthNumber == 40);
    EXPECT_TRUE(a.enumeration == items);
    expectFieldEquality<oxAttribute_c>(
        a, {[](auto& r) { r.id = 7; }, [](auto& r) { r.firstText = "x"; },
            [](auto& r) { r.secondText = "x"; }, [](auto& r) { r.thirdText = "x"; },
            [](auto& r) { r.firstNumber = 0; },
            [](auto& r) { r.enumeration = oxEnumList_c(oxEnumItem_c("on", 2)); },
            [](auto& r) { r.secondNumber = 0; }, [](auto& r) { r.thirdNumber = 0; },
            [](auto& r) { r.fourthNumber = 0; }});
}

TEST_F(oxRecordTest, Components) {
    const oxComponent_c c(3, "Os.mif", "first", "third");
    EXPECT_TRUE(c.name == oxString_c("Os.mif")); // the second argument is the name
    EXPECT_TRUE(c.firstText == oxString_c("first") && c.thirdText == oxString_c("third"));
    expectFieldEquality<oxComponent_c>(
        c, {[](auto& r) { r.id = 4; }, [](auto& r) { r.name = "first"; },
            [](auto& r) { r.firstText = "Os.mif"; }, [](auto& r) { r.thirdText = ""; }});
    oxComponent_c installed(9, "Os.mif", "first", "third");
    installed.id = c.id; // matched as the kernel does: under the same ID
    EXPECT_TRUE(installed == c);
}

TEST_F(oxRecordTest, GroupsByClassText) {
    const oxGroup_c records[] = {oxGroup_c(1, "DMTF|ComponentID|001", "", {}, "", ""),
                                 oxGroup_c(1, "DMTF|Other|001", "", {}, "", ""),
                                 oxGroup_c(2, "DMTF|ComponentID|001", "x", {}, "", "")};
    oxGroupList_c groups(3, records);
    const oxString_c cid("DMTF|ComponentID|001");
    EXPECT_EQ(groups.find(cid), groups.at(0));
    EXPECT_EQ(groups.indexOf(oxString_c("DMTF|Other|001")), 1u);
    EXPECT_EQ(groups.find(1), groups.at(0)); // by ID: the earlier
    // Case-sensitive; a counted terminator does not matter.
    EXPECT_FALSE(groups.contains(oxString_c("dmtf|componentid|001")));
    EXPECT_TRUE(groups.contains(oxString_c(20, "DMTF|ComponentID|001")));
    // Removing the groups already served, as the kernel does.
    groups.remove(*groups.find(cid));
    EXPECT_EQ(groups.find(cid)->id, 2u);
    groups.remove(*groups.find(cid));
    EXPECT_FALSE(groups.contains(cid));
    EXPECT_EQ(groups.count(), 1u);
}
} // namespace
