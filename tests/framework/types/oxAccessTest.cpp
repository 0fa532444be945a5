#include "framework/types/oxAccessList.h"
#include "framework/types/oxIdList.h"
#include "tests/framework/types/oxRaiseFixture.h"
#include <optional>
#include <utility>
#include <vector>

namespace {

using Pairs = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
using oxAccessTest = oxRaiseFixture;
using E = oxAccessEntry_c;

Pairs pairs(const oxAccessList_c& table) {
    Pairs out;
    for (std::uint32_t i = 0; i < table.count(); ++i)
        out.emplace_back(table.at(i)->attributeId(), table.at(i)->groupId());
    return out;
}

TEST_F(oxAccessTest, EntriesAreEqualWhenBothIdsAre) {
    E none;
    EXPECT_TRUE(none == E(0, 0));
    EXPECT_FALSE(E(6, 9) == E(6, 8) || E(6, 9) == E(5, 9));
    none.assign(E(6, 9));
    EXPECT_TRUE(none == E(6, 9));
}

TEST_F(oxAccessTest, BuiltFromServedIdsThenAddedAndRemovedAsSets) {
    const oxAccessList_c served(oxIdList_c{1, 2, 3, 4, 6}, 9);
    EXPECT_EQ(pairs(served), (Pairs{{1, 9}, {2, 9}, {3, 9}, {4, 9}, {6, 9}}));
    EXPECT_EQ(oxAccessList_c(oxIdList_c{}, 9).count(), 0u);
    oxLiveAllocations live;
    {
        oxAccessList_c kernel(E(2, 9));
        kernel.add(E(2, 7));
        kernel.add(E(2, 9)); // present: refused
        kernel.addAll(served);
        EXPECT_EQ(pairs(kernel), (Pairs{{2, 9}, {2, 7}, {1, 9}, {3, 9}, {4, 9}, {6, 9}}));
        EXPECT_EQ(live.leaked(), 1); // one exact-size array
        EXPECT_EQ(kernel.indexOf(E(3, 9)), 3u);
        EXPECT_TRUE(kernel.contains(E(2, 7)) && !kernel.contains(E(5, 9)));
        kernel.remove(E(5, 9)); // absent: nothing changes
        kernel.removeAll(served);
        EXPECT_EQ(pairs(kernel), (Pairs{{2, 7}}));
        kernel.remove(E(2, 7));
        EXPECT_EQ(kernel.count(), 0u);
        EXPECT_EQ(live.leaked(), 0); // no array once empty
    }
}

TEST_F(oxAccessTest, DuplicatesFromIdsKeptFirstMatchWins) {
    oxAccessList_c table(oxIdList_c{4, 1, 4, 2}, 3);
    EXPECT_EQ(table.indexOf(E(4, 3)), 0u);
    table.remove(E(4, 3));
    EXPECT_EQ(pairs(table), (Pairs{{1, 3}, {4, 3}, {2, 3}}));
    EXPECT_EQ(table.indexOf(E(4, 3)), 1u);
}

TEST_F(oxAccessTest, CopiesAreDeepAndSelfOperationsAreSafe) {
    oxAccessList_c table(oxIdList_c{1, 2}, 5), copy(table);
    copy.add(E(3, 5));
    EXPECT_EQ(table.count(), 2u);
    table = copy;
    EXPECT_NE(table.at(0), copy.at(0));
    table.assign(table);
    table.addAll(table);
    EXPECT_EQ(pairs(table), (Pairs{{1, 5}, {2, 5}, {3, 5}}));
    table.removeAll(table);
    EXPECT_EQ(table.count(), 0u);
}

// What a raise-site case works on: the table under test, a source table and an ID list.
struct Scene {
    oxIdList_c ids{1, 2};
    oxAccessList_c source{ids, 4};
    oxAccessList_c table{ids, 3};
};

TEST_F(oxAccessTest, RaiseSitesLeaveTheTableAsDocumented) {
    const Pairs same{{1, 3}, {2, 3}};
    const struct {
        std::uint32_t line;
        bool memory; // out of memory at the first allocation, else a failed lookup
        void (*call)(Scene&);
        Pairs after;
    } cases[] = {{111, false, [](Scene& s) { s.table.at(2); }, same},
                 {217, false, [](Scene& s) { s.table.indexOf(E(1, 4)); }, same},
                 {189, true, [](Scene& s) { s.table.add(E(9, 9)); }, same},
                 {149, true, [](Scene& s) { s.table.remove(E(1, 3)); }, same},
                 {127, true, [](Scene& s) { s.table = s.source; }, {}},
                 {88, true, [](Scene& s) { oxAccessList_c c(s.ids, 1); }, same},
                 {127, true, [](Scene& s) { oxAccessList_c c(s.source); }, same},
                 {189, true, [](Scene&) { oxAccessList_c c(E(1, 1)); }, same}};
    for (const auto& c : cases) {
        Scene scene;
        oxLiveAllocations live;
        std::optional<oxFailAllocation> fail;
        if (c.memory) {
            fail.emplace(1);
            EXPECT_THROW(c.call(scene), oxInsufficientMemory_c) << c.line;
        } else {
            EXPECT_THROW(c.call(scene), oxInvalidIndex_c) << c.line;
        }
        fail.reset();
        expectOneBox(oxAccessSource, c.line);
        EXPECT_EQ(pairs(scene.table), c.after) << c.line;
        EXPECT_EQ(live.leaked(), c.after.empty() ? -1 : 0) << c.line; // assign freed the array
    }
}

} // namespace
