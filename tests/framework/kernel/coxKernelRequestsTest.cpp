// The kernel's fourteen request handlers and the group proxies' forwarders against real
// component modules: routing, the attribute and row-key checks, get next, the unload and
// exception rules with their report lines, and the text conversions of the guarded forms.
#include "coxKernelFixture.h"
#include "framework/kernel/coxGroupProxy.h"
#include <stdexcept>

namespace {

enum coxKind { plain, next, rowOnly }; // checked request, get next, add or delete row

const struct coxHandlerCase {
    const char* name;
    coxHandler handler;
    std::uint32_t slot; // of the component object
    coxKind kind;
    bool guarded;
    std::uint32_t line; // of the failure report
} handlers[] = {
    {"get", &coxKernel_c::getAttribute, 0, plain, true, 580},
    {"get next", &coxKernel_c::getNextAttribute, 0, next, true, 648},
    {"reserve", &coxKernel_c::reserveAttribute, 1, plain, true, 770},
    {"release", &coxKernel_c::releaseAttribute, 2, plain, true, 709},
    {"set", &coxKernel_c::setAttribute, 3, plain, true, 837},
    {"add row", &coxKernel_c::addRow, 4, rowOnly, true, 929},
    {"delete row", &coxKernel_c::deleteRow, 5, rowOnly, true, 973},
    {"unguarded get", &coxKernel_c::getAttributeUnguarded, 0, plain, false, 206},
    {"unguarded get next", &coxKernel_c::getNextAttributeUnguarded, 0, next, false, 269},
    {"unguarded reserve", &coxKernel_c::reserveAttributeUnguarded, 1, plain, false, 383},
    {"unguarded release", &coxKernel_c::releaseAttributeUnguarded, 2, plain, false, 326},
    {"unguarded set", &coxKernel_c::setAttributeUnguarded, 3, plain, false, 440},
    {"unguarded add row", &coxKernel_c::addRowUnguarded, 4, rowOnly, false, 480},
    {"unguarded delete row", &coxKernel_c::deleteRowUnguarded, 5, rowOnly, false, 520},
};
const coxHandlerCase &get = handlers[0], &getNext = handlers[1], &set = handlers[4];

class coxKernelRequestsTest : public coxKernelTest {
  protected:
    // One request; the status starts as junk, so that every handler must write it.
    std::uint32_t call(const coxHandlerCase& h, oxAttribValue_c& value, std::uint32_t group,
                       oxKey_c& key) {
        std::uint32_t result = 0xDEAD;
        const bool ok = (kernel.get()->*h.handler)(value, &group, key, 4, 5, &result);
        EXPECT_EQ(ok, result == 0);
        EXPECT_EQ(kernel->busyGuard(), 0u);
        return result;
    }
    std::uint32_t call(const coxHandlerCase& h, std::uint32_t attribute, std::uint32_t group,
                       oxKey_c key = oxKey_c()) {
        oxAttribValue_c value(attribute);
        return call(h, value, group, key);
    }
};

TEST_F(coxKernelRequestsTest, EachHandlerRoutesChecksAndPassesItsArgumentsThrough) {
    makeServing();
    fkRecord& table = record("table.dll");
    for (const coxHandlerCase& h : handlers) {
        SCOPED_TRACE(h.name);
        const bool checked = h.kind != rowOnly;
        const std::uint32_t calls = table.calls[h.slot];
        EXPECT_EQ(call(h, 1, 999), 0x7005u); // no object serves the group
        oxAttribValue_c value(1);
        oxKey_c key;
        std::uint32_t result = 0;
        EXPECT_FALSE((kernel.get()->*h.handler)(value, nullptr, key, 0, 0, &result));
        EXPECT_EQ(result, 0x7005u);
        EXPECT_EQ(call(h, 5, coxTableGroup, coxRowKey(1)), checked ? 0x2007u : 0u); // not served
        EXPECT_EQ(call(h, 2, coxTableGroup, coxRowKey(9)), checked ? 0x9005u : 0u); // no row 9
        EXPECT_EQ(table.calls[h.slot], calls + (checked ? 0u : 2u)); // add/delete row check nothing
        EXPECT_TRUE(checked || table.row == 9u);
        EXPECT_EQ(call(h, 4, coxTableGroup, coxRowKey(1)), 0x2008u); // the component's own

        key = coxRowKey(2);
        value = oxAttribValue_c(2, oxString_c(u"Hi")); // not wide: no text is converted
        EXPECT_EQ(call(h, value, coxTableGroup, key), 0u);
        EXPECT_EQ(std::vector({table.slot, table.attribute, table.row, table.a, table.b}),
                  std::vector<std::uint32_t>({h.slot, 2, h.kind == next ? 3u : 2u, 4, 5}));
        EXPECT_TRUE(key == coxRowKey(2)); // get next keeps the caller's key
        EXPECT_TRUE(h.slot != 3 || table.textWide);
        EXPECT_TRUE(h.slot != 0 || value.value.string == oxString_c(h.kind ? "r3a2" : "r2a2"));
        if (h.kind == next) { // after the last row; a key that is no row
            EXPECT_EQ(call(h, 2, coxTableGroup, coxRowKey(3)), 0x7004u);
            EXPECT_EQ(call(h, 2, coxTableGroup, coxRowKey(7)), 0x9005u);
        }
        key = oxKey_c();
        EXPECT_EQ(call(h, value, coxTableGroup, key), h.kind == next ? 0x9005u : 0u);
        if (h.kind == plain) { // an empty key names the first row and is filled with it
            EXPECT_EQ(table.row, 1u);
            EXPECT_TRUE(key == coxRowKey(1));
        }
        if (checked) { // osComp has no rows: it takes no row key; without, it answers
            EXPECT_EQ(call(h, 6, coxIdGroup, coxRowKey(1)), 0x9005u);
            EXPECT_EQ(call(h, 5, coxIdGroup), 0x2007u); // not asked: it would answer 0x2008
        }
        EXPECT_EQ(table.calls[h.slot], calls + (h.kind == plain ? 3u : h.kind == next ? 2u : 5u));
    }
    oxAttribValue_c value(6);
    EXPECT_EQ(call(get, value, coxIdGroup, *std::make_unique<oxKey_c>()), 0u);
    EXPECT_EQ(value.value.number6, 7u);
    EXPECT_EQ(call(getNext, 6, coxIdGroup), 0x9005u); // a bad request: osComp stays loaded
    EXPECT_EQ(loaded(), (coxNames{"osComp.dll", "table.dll", "thrower.dll", "unloadme.dll"}));
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelRequestsTest, ComponentThatAsksToBeUnloadedOrThrowsIsUnloadedAndAnswers7005) {
    makeServing();
    for (const coxHandlerCase& h : handlers) {
        for (const auto& [group, attribute] :
             {std::pair{coxUnloadMeGroup, 1u}, {coxThrowerGroup, 1u}, {coxThrowerGroup, 2u}}) {
            if (h.kind == next && attribute == 2)
                continue; // below
            SCOPED_TRACE(std::string(h.name) + " " + std::to_string(group) + "/" +
                         std::to_string(attribute));
            const char* module = group == coxUnloadMeGroup ? "unloadme.dll" : "thrower.dll";
            if (!isLoaded(module)) {
                ASSERT_TRUE(kernel->loadModule(oxString_c(module), &status));
            }
            boxes.clear();
            sp.calls.clear();
            EXPECT_EQ(call(h, attribute, group, coxRowKey(1)), 0x7005u);
            EXPECT_FALSE(isLoaded(module));
            EXPECT_EQ(destructed(), coxNames{module});
            EXPECT_EQ(call(h, attribute, group, coxRowKey(1)), 0x7005u);
            if (group == coxUnloadMeGroup) {
                EXPECT_EQ(boxes.count(), 0u);
                continue;
            }
            // oxFatal_c shows its own box as it is made; the kernel's report follows.
            ASSERT_EQ(boxes.count(), attribute == 1 ? 2u : 1u);
            EXPECT_THAT(boxes.boxes().back(), coxBox(coxKern, h.line, "module thrower.dll"));
        }
    }
    // Get next answers only for oxFatal_c: other exceptions pass, the guard released.
    ASSERT_TRUE(kernel->loadModule(oxString_c("thrower.dll"), &status));
    for (const coxHandlerCase* h : {&handlers[1], &handlers[8]}) {
        oxAttribValue_c value(2);
        oxKey_c key = coxRowKey(1);
        std::uint32_t group = coxThrowerGroup;
        EXPECT_THROW((kernel.get()->*h->handler)(value, &group, key, 0, 0, &status),
                     std::runtime_error);
        EXPECT_EQ(kernel->busyGuard(), 0u);
        EXPECT_TRUE(isLoaded("thrower.dll"));
        EXPECT_EQ(record("thrower.dll").row, 2u); // it was asked for the next row
    }
    EXPECT_EQ(loaded(), (coxNames{"osComp.dll", "table.dll", "thrower.dll"}));
}

TEST_F(coxKernelRequestsTest, TextsConvertOnlyInGuardedRequestsOfAWideKernel) {
    makeServing(true);
    oxKey_c key = coxRowKey(1);
    ASSERT_TRUE(kernel->wideStrings());
    fkRecord& table = record("table.dll");
    for (const coxHandlerCase* h : {&handlers[0], &handlers[1], &handlers[7], &handlers[8]}) {
        oxAttribValue_c value(3);
        EXPECT_EQ(call(*h, value, coxTableGroup, key), 0u) << h->name;
        EXPECT_EQ(value.value.string.isWide(), h->guarded) << h->name;
        EXPECT_TRUE(value.value.string == (h->guarded
                                               ? oxString_c(h->kind == next ? u"r2a3" : u"r1a3")
                                               : oxString_c(h->kind == next ? "r2a3" : "r1a3")))
            << h->name;
    }
    oxAttribValue_c number(6); // a value the component leaves as a number is not touched
    EXPECT_EQ(call(get, number, coxIdGroup, *std::make_unique<oxKey_c>()), 0u);
    EXPECT_EQ(number.value.string.length(), 0u);
    // Marked 8-bit but holding 16-bit text, as the provider hands it over: narrowed.
    const char16_t hi[] = u"Hi";
    oxAttribValue_c provided(2, oxString_c(sizeof hi, reinterpret_cast<const char*>(hi)));
    EXPECT_EQ(call(set, provided, coxTableGroup, key), 0u);
    EXPECT_FALSE(table.textWide);
    EXPECT_EQ(std::string(table.text, table.textLength).c_str(), std::string("Hi"));
    // Marked 16-bit: the bytes are kept and marked 8-bit; the unguarded set converts nothing.
    for (const coxHandlerCase* h : {&handlers[4], &handlers[11]}) {
        oxAttribValue_c value(2, oxString_c(u"Hi"));
        EXPECT_EQ(call(*h, value, coxTableGroup, key), 0u);
        EXPECT_EQ(table.textWide, !h->guarded);
        EXPECT_EQ(std::string(table.text, table.textLength),
                  std::string(reinterpret_cast<const char*>(hi), sizeof hi));
    }
}

// Proxies name a group by class text and forward to the unguarded handlers.
TEST_F(coxKernelRequestsTest, GroupProxyResolvesItsGroupOnceAndForwardsUnguarded) {
    using coxForwarder = bool (coxGroupProxy_c::*)(oxAttribValue_c&, oxKey_c&, std::uint32_t,
                                                   std::uint32_t, std::uint32_t*);
    const coxForwarder forwarders[] = {
        &coxGroupProxy_c::getAttribute,     &coxGroupProxy_c::getNextAttribute,
        &coxGroupProxy_c::reserveAttribute, &coxGroupProxy_c::releaseAttribute,
        &coxGroupProxy_c::setAttribute,     &coxGroupProxy_c::addRow,
        &coxGroupProxy_c::deleteRow};
    const auto request = [&](coxGroupProxy_c& proxy, std::uint32_t i) {
        oxAttribValue_c value(2, oxString_c(u"Hi"));
        oxKey_c key = coxRowKey(1);
        std::uint32_t result = 0xDEAD;
        const bool ok = (proxy.*forwarders[i])(value, key, 4, 5, &result);
        EXPECT_EQ(ok, result == 0);
        EXPECT_TRUE(result || value.value.string.isWide() == (i >= 2)); // texts stay as they are
        return result;
    };
    makeServing(true); // guarded handlers would convert texts; the proxies' must not
    fkRecord& table = record("table.dll");
    const oxGroup_c listed(*kernel->groups().find(oxString_c("FK|Table|001")));
    kernel->groups().remove(listed); // not yet listed
    coxGroupProxy_c proxy(oxString_c("FK|Table|001"), kernel.get());
    coxGroupProxy_c orphan(oxString_c("FK|Table|001"), nullptr);
    EXPECT_EQ(proxy.groupId(), coxGroupProxy_c::unknownId);
    EXPECT_EQ(proxy.kernel(), kernel.get());
    for (std::uint32_t i = 0; i < 7; ++i)
        EXPECT_EQ(request(orphan, i) + request(proxy, i), 0xE00Au) << i; // 0x7005 both
    EXPECT_EQ(std::vector(table.calls, table.calls + 6), std::vector<std::uint32_t>(6, 0));
    kernel->groups().add(listed);
    for (std::uint32_t i = 0; i < 7; ++i) {
        EXPECT_EQ(request(proxy, i), 0u) << i;
        EXPECT_EQ(std::vector({table.slot, table.attribute, table.row, table.a, table.b}),
                  std::vector<std::uint32_t>({i ? i - 1 : 0, 2, i == 1 ? 2u : 1u, 4, 5}));
    }
    EXPECT_TRUE(table.textWide);
    EXPECT_EQ(proxy.groupId(), coxTableGroup);
    kernel->groups().remove(listed);
    EXPECT_EQ(request(proxy, 2), 0u); // known once, the ID stays
    EXPECT_EQ(boxes.count(), 0u);
    // Proxies live in storage of the allocation pair; a failed allocation gives a null proxy.
    const oxLiveAllocations live;
    delete new coxGroupProxy_c(oxString_c("FK|Table|001"), kernel.get());
    EXPECT_EQ(live.leaked(), 0);
    const oxFailAllocation fail(1);
    EXPECT_EQ(new coxGroupProxy_c(oxString_c("FK|Table|001"), kernel.get()), nullptr);
}

} // namespace
