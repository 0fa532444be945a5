// Group proxies: the group ID by class text, known at construction or resolved at the first
// request and kept, and the seven forwarders to the kernel's unguarded handlers.
#include "framework/kernel/coxGroupProxy.h"
#include "coxRequestFixture.h"
#include <algorithm>
#include <memory>

namespace {

using coxForwarder = bool (coxGroupProxy_c::*)(oxAttribValue_c&, oxKey_c&, std::uint32_t,
                                               std::uint32_t, std::uint32_t*);

struct coxForwarderCase {
    const char* name;
    coxForwarder forwarder;
    std::uint32_t slot;    // of the component object
    std::uint32_t rowSeen; // the row the component is asked for, given row 1
};

const coxForwarderCase forwarders[] = {
    {"get", &coxGroupProxy_c::getAttribute, 0, 1},
    {"get next", &coxGroupProxy_c::getNextAttribute, 0, 2},
    {"reserve", &coxGroupProxy_c::reserveAttribute, 1, 1},
    {"release", &coxGroupProxy_c::releaseAttribute, 2, 1},
    {"set", &coxGroupProxy_c::setAttribute, 3, 1},
    {"add row", &coxGroupProxy_c::addRow, 4, 1},
    {"delete row", &coxGroupProxy_c::deleteRow, 5, 1},
};

class coxGroupProxyTest : public coxRequestFixture {
  protected:
    // The kernel's group list refilled from the provider's groups without `cls`.
    void listGroupsWithout(const std::string& cls) {
        auto groups = sp.groups;
        std::erase_if(sp.groups, [&](const auto& g) { return g.second == cls; });
        std::uint32_t listStatus = 0;
        sp.listGroups(kernel->ownDescription(), kernel->groups(), kernel->spContext(), &listStatus);
        sp.groups = groups;
    }
    std::uint32_t request(coxGroupProxy_c& proxy, const coxForwarderCase& f, std::uint32_t id) {
        oxAttribValue_c value(id);
        oxKey_c key = coxRowKey(1);
        std::uint32_t result = 0xDEAD;
        const bool ok = (proxy.*f.forwarder)(value, key, 4, 5, &result);
        EXPECT_EQ(ok, result == 0) << f.name;
        return result;
    }
};

TEST_F(coxGroupProxyTest, TakesTheIdOfAKnownClassAtConstruction) {
    make();
    const coxGroupProxy_c known(oxString_c("FX|Table|001"), kernel.get());
    EXPECT_EQ(known.groupId(), coxTableGroup);
    EXPECT_EQ(coxAscii(known.classText()), "FX|Table|001");
    EXPECT_EQ(known.kernel(), kernel.get());
    const coxGroupProxy_c unknown(oxString_c("FX|Nowhere|001"), kernel.get());
    EXPECT_EQ(unknown.groupId(), coxGroupProxy_c::unknownId);
    EXPECT_EQ(unknown.groupId(), 0xFFFFFFFFu);
}

TEST_F(coxGroupProxyTest, EachForwarderReachesItsSlotThroughTheUnguardedHandler) {
    makeWide(); // guarded handlers would convert text; the proxies' must not
    coxGroupProxy_c proxy(oxString_c("FX|Table|001"), kernel.get());
    fxRequestRecord& table = record("fxTable.dll");
    for (const coxForwarderCase& f : forwarders) {
        oxAttribValue_c value(2);
        value.value.setString(oxString_c(u"Hi"));
        oxKey_c key = coxRowKey(1);
        std::uint32_t result = 0xDEAD;
        EXPECT_TRUE((proxy.*f.forwarder)(value, key, 4, 5, &result)) << f.name;
        EXPECT_EQ(result, 0u) << f.name;
        EXPECT_EQ(table.slot, f.slot) << f.name;
        EXPECT_EQ(table.attribute, 2u) << f.name;
        EXPECT_EQ(table.row, f.rowSeen) << f.name;
        EXPECT_EQ(table.a, 4u) << f.name;
        EXPECT_EQ(table.b, 5u) << f.name;
        if (f.slot == 0) {
            EXPECT_FALSE(value.value.string.isWide()) << f.name;
        } else if (f.slot == 3) {
            EXPECT_TRUE(table.textWide) << f.name;
        }
    }
    // The kernel's answers come back unchanged: 0x2007, 0x7004.
    EXPECT_EQ(request(proxy, forwarders[0], 5), 0x2007u);
    oxAttribValue_c value(2);
    oxKey_c last = coxRowKey(3);
    std::uint32_t result = 0;
    EXPECT_FALSE(proxy.getNextAttribute(value, last, 0, 0, &result));
    EXPECT_EQ(result, 0x7004u);
}

TEST_F(coxGroupProxyTest, ResolvesItsGroupAtTheFirstRequestAndKeepsIt) {
    make();
    fxRequestRecord& table = record("fxTable.dll");
    listGroupsWithout("FX|Table|001");
    coxGroupProxy_c proxy(oxString_c("FX|Table|001"), kernel.get());
    ASSERT_EQ(proxy.groupId(), coxGroupProxy_c::unknownId);
    for (const coxForwarderCase& f : forwarders)
        EXPECT_EQ(request(proxy, f, 2), 0x7005u) << f.name;
    for (std::uint32_t slot = 0; slot < 6; ++slot)
        EXPECT_EQ(table.calls[slot], 0u);
    EXPECT_EQ(proxy.groupId(), coxGroupProxy_c::unknownId);

    listGroupsWithout("none");
    EXPECT_EQ(request(proxy, forwarders[0], 2), 0u);
    EXPECT_EQ(proxy.groupId(), coxTableGroup);
    EXPECT_EQ(table.calls[0], 1u);

    listGroupsWithout("FX|Table|001"); // known once, the ID stays
    EXPECT_EQ(request(proxy, forwarders[2], 2), 0u);
    EXPECT_EQ(proxy.groupId(), coxTableGroup);
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxGroupProxyTest, FailuresReportTheUnguardedLines) {
    make();
    coxGroupProxy_c proxy(oxString_c("FX|Thrower|001"), kernel.get());
    EXPECT_EQ(request(proxy, forwarders[0], 1), 0x7005u);
    ASSERT_FALSE(boxes.boxes().empty());
    EXPECT_TRUE(coxBoxIs(boxes.boxes().back(), coxKern, 206, moduleFailed + "fxThrower.dll"));
    EXPECT_FALSE(isLoaded("fxThrower.dll"));
    EXPECT_EQ(request(proxy, forwarders[0], 1), 0x7005u); // the group ID now finds nobody
}

TEST_F(coxGroupProxyTest, WithoutKernelEveryRequestAnswers7005) {
    coxGroupProxy_c proxy(oxString_c("FX|Table|001"), nullptr);
    EXPECT_EQ(proxy.groupId(), coxGroupProxy_c::unknownId);
    for (const coxForwarderCase& f : forwarders)
        EXPECT_EQ(request(proxy, f, 1), 0x7005u) << f.name;
}

TEST_F(coxGroupProxyTest, LivesInStorageOfTheAllocationPair) {
    make();
    oxLiveAllocations live;
    {
        std::unique_ptr<coxGroupProxy_c> proxy(
            new coxGroupProxy_c(oxString_c("FX|Table|001"), kernel.get()));
        ASSERT_NE(proxy, nullptr);
        EXPECT_GT(live.leaked(), 0);
    }
    EXPECT_EQ(live.leaked(), 0);
    oxFailAllocation fail(1);
    EXPECT_EQ(new coxGroupProxy_c(oxString_c("FX|Table|001"), kernel.get()), nullptr);
}

} // namespace
