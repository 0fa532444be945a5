// Every raise site of the model lists: the exception, its one box, the state left behind and
// no leak. Out-of-memory sites are reached by failing the k-th allocation of the operation.
#include "framework/diag/oxExceptions.h"
#include "oxModelFixture.h"
#include "oxModelMakers.h"
#include <functional>

namespace {

struct Lines {
    const char* source;
    std::uint32_t construct, constructElement, at, find, assign, assignElement, remove, add,
        addElement, indexOf;
};
template <class L> constexpr Lines linesOf = {};
template <> constexpr Lines linesOf<oxKey_c> = {"..\\..\\oxKey", 62, 73, 97, 105, 124, 131, 150, 189, 195, 244};
template <> constexpr Lines linesOf<oxAttribValueList_c> = {"..\\..\\oxAttrib", 62, 73, 97, 105, 124, 131, 150, 189, 195, 244};
template <> constexpr Lines linesOf<oxGroupList_c> = {"..\\..\\oxGroup", 115, 126, 150, 162, 188, 195, 214, 253, 259, 307};
template <> constexpr Lines linesOf<oxAttributeList_c> = {"..\\..\\oxAttrib", 539, 550, 574, 582, 601, 608, 627, 666, 672, 720};
template <> constexpr Lines linesOf<oxComponentList_c> = {"..\\..\\oxCompon", 107, 118, 142, 150, 168, 175, 194, 233, 239, 287};
// Row lists use at, remove, add, addElement and indexOf only.
template <> constexpr Lines linesOf<oxKeyList_c> = {"..\\..\\oxKey", 0, 0, 294, 0, 0, 0, 312, 350, 356, 405};
template <> constexpr Lines linesOf<oxAttribValueTable_c> = {"..\\..\\oxAttrib", 0, 0, 294, 0, 0, 0, 312, 351, 357, 406};

// Runs op with the k-th allocation from now failing; true when it raised out of memory.
bool failing(std::uint32_t k, const std::function<void()>& op) {
    oxFailAllocation fail(k);
    try {
        op();
    } catch (const oxInsufficientMemory_c&) {
        return true;
    }
    return false;
}

template <class L> class oxModelRaiseTest : public oxModelTest {
  protected:
    using E = typename L::element_type;
    static constexpr Lines lines = linesOf<L>;

    // One raise site: body raises once from line; nothing leaks.
    void site(const char* what, std::uint32_t line, const std::function<void()>& body) {
        SCOPED_TRACE(what);
        oxLiveAllocations live;
        body();
        expectOneBox(lines.source, line);
        EXPECT_EQ(live.leaked(), 0);
    }
    static L listOf(std::initializer_list<std::uint32_t> ids) {
        L list;
        for (std::uint32_t id : ids)
            list.add(oxMaker<L>::make(id, 0));
        return list;
    }
    // Allocations made by one element copy (the element, then its own texts and lists).
    static std::uint32_t perElement() {
        const E e = oxMaker<L>::make(1, 0);
        oxLiveAllocations live;
        E* copy = oxNew<E>(e);
        const auto n = static_cast<std::uint32_t>(live.leaked());
        oxDelete(copy);
        return n;
    }
};

using IdKeyedLists = ::testing::Types<oxKey_c, oxAttribValueList_c, oxGroupList_c,
                                      oxAttributeList_c, oxComponentList_c>;
TYPED_TEST_SUITE(oxModelRaiseTest, IdKeyedLists);

TYPED_TEST(oxModelRaiseTest, OutOfMemory) {
    using L = TypeParam;
    using E = typename L::element_type;
    const auto& ln = this->lines;
    const std::uint32_t n = this->perElement();
    const auto extra = oxMaker<L>::make(9, 0);
    // add and remove change nothing.
    for (auto [k, line] : {std::pair{1u, ln.add}, {2u, ln.addElement}})
        this->site("add", line, [&, k = k] {
            L list = this->listOf({1, 2});
            const L before(list);
            EXPECT_TRUE(failing(k, [&] { list.add(extra); }));
            EXPECT_TRUE(list == before);
        });
    this->site("remove", ln.remove, [&] {
        L list = this->listOf({1, 9});
        const L before(list);
        EXPECT_TRUE(failing(1, [&] { list.remove(extra); }));
        EXPECT_TRUE(list == before);
    });
    // addAll stops at the failing add; what was added before stays.
    this->site("addAll", ln.addElement, [&] {
        L list = this->listOf({1});
        const L other = this->listOf({2, 3});
        EXPECT_TRUE(failing(n + 3, [&] { list.addAll(other); }));
        EXPECT_TRUE(list == this->listOf({1, 2}));
    });
    this->site("one-element constructor", ln.add,
               [&] { EXPECT_TRUE(failing(1, [&] { L list(extra); })); });
    // assign leaves the list empty, the copies made so far deleted.
    for (auto [k, line] : {std::pair{1u, ln.assign}, {2u, ln.assignElement}, {n + 2, ln.assignElement}})
        this->site("assign", line, [&, k = k] {
            L list = this->listOf({1});
            const L other = this->listOf({2, 3});
            EXPECT_TRUE(failing(k, [&] { list = other; }));
            EXPECT_EQ(list.count(), 0u);
        });
    this->site("copy constructor", ln.assignElement, [&] {
        const L other = this->listOf({2, 3});
        EXPECT_TRUE(failing(n + 2, [&] { L copy(other); }));
    });
    // The filling constructors leave nothing.
    for (auto [k, line] : {std::pair{1u, ln.construct}, {2u, ln.constructElement}, {3u, ln.constructElement}})
        this->site("constructor", line, [&, k = k] {
            if constexpr (std::is_constructible_v<L, oxIdList_c>) {
                const oxIdList_c ids{4, 5, 6};
                EXPECT_TRUE(failing(k, [&] { L list(ids); }));
            } else {
                const E records[] = {oxMaker<L>::make(4, 0), oxMaker<L>::make(5, 0)};
                EXPECT_TRUE(failing(k == 3 ? n + 2 : k, [&] { L list(2, records); }));
            }
        });
}

TYPED_TEST(oxModelRaiseTest, InvalidIndex) {
    using L = TypeParam;
    const L list = this->listOf({1, 2});
    const L before(list);
    const std::pair<std::uint32_t, std::function<void()>> sites[] = {
        {this->lines.at, [&] { list.at(2); }},
        {this->lines.find, [&] { list.find(3); }},
        {this->lines.indexOf, [&] { list.indexOf(3); }},
    };
    for (const auto& [line, op] : sites) {
        EXPECT_THROW(op(), oxInvalidIndex_c);
        this->expectOneBox(this->lines.source, line);
    }
    EXPECT_TRUE(list == before);
}

TEST_F(oxModelTest, GroupClassLookupsRaiseFromTheirOwnLines) {
    const oxGroupList_c groups(oxGroup_c(1, "DMTF|A|001", "", {}, "", ""));
    EXPECT_THROW(groups.find(oxString_c("DMTF|a|001")), oxInvalidIndex_c);
    expectOneBox("..\\..\\oxGroup", 170);
    EXPECT_THROW(groups.indexOf(oxString_c("DMTF|B|001")), oxInvalidIndex_c);
    expectOneBox("..\\..\\oxGroup", 320);
    EXPECT_EQ(groups.count(), 1u);
}

// Row lists: the row copy is one allocation; the row's own copy raises from the row's list.
template <class L> class oxRowRaiseTest : public oxModelRaiseTest<L> {};
using RowLists = ::testing::Types<oxKeyList_c, oxAttribValueTable_c>;
TYPED_TEST_SUITE(oxRowRaiseTest, RowLists);

TYPED_TEST(oxRowRaiseTest, EveryRaiseSite) {
    using L = TypeParam;
    using Row = typename L::element_type;
    const auto& ln = this->lines;
    const Row a(oxIdList_c{1}), b(oxIdList_c{2}), extra(oxIdList_c{3});
    const Lines rowLines = linesOf<std::conditional_t<std::is_same_v<Row, oxKey_c>, oxKey_c,
                                                      oxAttribValueList_c>>;
    // A failing row copy (k = 3, 4) raises from the row's own list.
    const std::tuple<std::uint32_t, const char*, std::uint32_t> addSites[] = {
        {1, ln.source, ln.add}, {2, ln.source, ln.addElement},
        {3, rowLines.source, rowLines.assign}, {4, rowLines.source, rowLines.assignElement}};
    for (auto [k, source, line] : addSites) {
        SCOPED_TRACE(k);
        oxLiveAllocations live;
        {
            L rows;
            rows.add(a);
            EXPECT_TRUE(failing(k, [&] { rows.add(extra); }));
            ASSERT_EQ(rows.count(), 1u);
            EXPECT_TRUE(*rows.at(0) == a);
        }
        this->expectOneBox(source, line);
        EXPECT_EQ(live.leaked(), 0);
    }
    this->site("remove", ln.remove, [&] {
        L rows;
        rows.add(a);
        rows.add(b);
        EXPECT_TRUE(failing(1, [&] { rows.remove(a); }));
        EXPECT_EQ(rows.indexOf(a), 0u);
        EXPECT_EQ(rows.count(), 2u);
    });
    L rows(a);
    EXPECT_THROW(rows.at(1), oxInvalidIndex_c);
    this->expectOneBox(ln.source, ln.at);
    EXPECT_THROW(rows.indexOf(b), oxInvalidIndex_c);
    this->expectOneBox(ln.source, ln.indexOf);
    EXPECT_EQ(rows.count(), 1u);
}
} // namespace
