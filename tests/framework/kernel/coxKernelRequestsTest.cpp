// The kernel's fourteen request handlers and the group proxies' forwarders against real
// component modules: routing, the attribute and row-key checks, get next, the unload and
// exception rules with their report lines, and the text conversions of the guarded forms.
#include "coxKernelFixture.h"
#include "framework/kernel/coxGroupProxy.h"
#include <cstring>
#include <functional>

namespace {


using coxHandler = bool (coxKernel_c::*)(oxAttribValue_c&, const std::uint32_t*, oxKey_c&,
                                         std::uint32_t, std::uint32_t, std::uint32_t*);
enum coxKind { plain, next, rowOnly }; // checked request, get next, add or delete row

// Each request with its guarded and unguarded handler and the lines their failures report.
const struct coxHandlerCase {
    coxHandler handler[2]; // guarded, unguarded
    std::uint32_t slot;    // of the component object
    coxKind kind;
    std::uint32_t line[2];
} requests[] = {
    // clang-format off
    {{&coxKernel_c::getAttribute, &coxKernel_c::getAttributeUnguarded}, 0, plain, {580, 206}},
    {{&coxKernel_c::getNextAttribute, &coxKernel_c::getNextAttributeUnguarded}, 0, next, {648, 269}},
    {{&coxKernel_c::reserveAttribute, &coxKernel_c::reserveAttributeUnguarded}, 1, plain, {770, 383}},
    {{&coxKernel_c::releaseAttribute, &coxKernel_c::releaseAttributeUnguarded}, 2, plain, {709, 326}},
    {{&coxKernel_c::setAttribute, &coxKernel_c::setAttributeUnguarded}, 3, plain, {837, 440}},
    {{&coxKernel_c::addRow, &coxKernel_c::addRowUnguarded}, 4, rowOnly, {929, 480}},
    {{&coxKernel_c::deleteRow, &coxKernel_c::deleteRowUnguarded}, 5, rowOnly, {973, 520}},
    // clang-format on
};
const coxHandlerCase &get = requests[0], &getNext = requests[1], &set = requests[4];

class coxKernelRequestsTest : public coxKernelTest {
  protected:
    // One request; the status starts as junk, so that every handler must write it.
    std::uint32_t call(coxHandler handler, oxAttribValue_c& value, std::uint32_t group,
                       oxKey_c& key) {
        std::uint32_t result = 0xDEAD;
        const bool ok = (kernel.get()->*handler)(value, &group, key, 4, 5, &result);
        EXPECT_EQ(ok, result == 0);
        EXPECT_EQ(kernel->busyGuard(), 0u);
        return result;
    }
    std::uint32_t call(coxHandler handler, std::uint32_t attribute, std::uint32_t group,
                       oxKey_c key = oxKey_c()) {
        oxAttribValue_c value(attribute);
        return call(handler, value, group, key);
    }
};

// Every handler routes by group, checks the attribute and the row (add and delete row check
// nothing), passes its arguments through, and unloads a component that asks for it (0x8001)
// or throws, reporting the throw; the request then answers 0x7005.
TEST_F(coxKernelRequestsTest, EachHandlerRoutesChecksAndUnloadsFailingComponents) {
    makeWith({"table.dll", "thrower.dll", "unloadme.dll"});
    fkRecord& table = record("table.dll");
    for (const coxHandlerCase& r : requests)
        for (const std::uint32_t u : {0u, 1u}) { // guarded, unguarded
            SCOPED_TRACE(r.line[u]);
            const coxHandler h = r.handler[u];
            const bool checked = r.kind != rowOnly;
            EXPECT_EQ(call(h, 1, 999), 0x7005u); // no object serves the group
            EXPECT_EQ(call(h, 5, coxTableGroup, coxRowKey(1)), checked ? 0x2007u : 0u); // not served
            EXPECT_EQ(call(h, 2, coxTableGroup, coxRowKey(9)), checked ? 0x9005u : 0u); // no row 9
            EXPECT_EQ(call(h, 2, coxTableGroup, coxRowKey(3)), r.kind == next ? 0x7004u : 0u);
            oxKey_c key = coxRowKey(2);
            oxAttribValue_c value(2);
            EXPECT_EQ(call(h, value, coxTableGroup, key), 0u);
            EXPECT_EQ(std::vector({table.slot, table.attribute, table.row, table.a, table.b}),
                      std::vector<std::uint32_t>({r.slot, 2, r.kind == next ? 3u : 2u, 4, 5}));
            key = oxKey_c(); // an empty key names the first row and is filled with it
            EXPECT_EQ(call(h, value, coxTableGroup, key), r.kind == next ? 0x9005u : 0u);
            EXPECT_TRUE(r.kind != plain || (table.row == 1u && key == coxRowKey(1)));
            for (const auto& [group, attribute] :
                 {std::pair{coxUnloadMeGroup, 1u}, {coxThrowerGroup, 1u}, {coxThrowerGroup, 2u}}) {
                if (r.kind == next && attribute == 2)
                    continue; // get next answers only for oxFatal_c: others pass (below)
                const char* module = group == coxUnloadMeGroup ? "unloadme.dll" : "thrower.dll";
                kernel->loadModule(oxString_c(module), &status);
                boxes.clear();
                sp.calls.clear();
                EXPECT_EQ(call(h, attribute, group, coxRowKey(1)), 0x7005u) << module << attribute;
                EXPECT_EQ(destructed(), coxNames{module});
                // oxFatal_c shows its own box as it is made; the kernel's report follows.
                EXPECT_EQ(boxes.count(), group == coxUnloadMeGroup ? 0u : attribute == 1 ? 2u : 1u);
                const auto kernelBox = testing::Contains(coxBox(coxKern, r.line[u], "thrower"));
                EXPECT_TRUE(group == coxUnloadMeGroup || testing::Value(boxes.boxes(), kernelBox));
            }
        }
    EXPECT_EQ(call(get.handler[0], 6, coxIdGroup, coxRowKey(1)), 0x9005u); // osComp has no rows
    oxAttribValue_c verify(6); // osComp's Verify through the kernel: kind 6, the number 7
    oxKey_c noRow;
    EXPECT_EQ(call(get.handler[0], verify, coxIdGroup, noRow), 0u);
    EXPECT_EQ(std::tuple(verify.value.kind, verify.value.number6), std::tuple(6u, 7u));
    kernel->loadModule(oxString_c("thrower.dll"), &status);
    EXPECT_THROW(call(getNext.handler[0], 2, coxThrowerGroup, coxRowKey(1)), std::runtime_error);
    EXPECT_EQ(loaded(), (coxNames{"osComp.dll", "table.dll", "thrower.dll"}));
}

// The provider of a wide kernel passes 16-bit texts; the components read and write 8-bit ones.
// Proxies name a group by class text and forward to the unguarded handlers, which convert
// nothing.
TEST_F(coxKernelRequestsTest, WideTextsConvertOnlyInGuardedRequestsAndProxiesForwardUnguarded) {
    sp.slot[coxSlotInstallFromMIF].effect = [](const oxRecordedCall& call) {
        static_cast<oxComponent_c*>(const_cast<void*>(call.first))->name.assign(u"Os");
    };
    makeWith({"table.dll"});
    oxKey_c key = coxRowKey(1);
    for (const coxHandlerCase* r : {&get, &getNext})
        for (const bool guarded : {true, false}) {
            oxAttribValue_c value(3);
            EXPECT_EQ(call(r->handler[!guarded], value, coxTableGroup, key), 0u);
            oxString_c expected(r == &getNext ? "r2a3" : "r1a3");
            if (guarded)
                expected.makeWide();
            EXPECT_TRUE(value.value.string == expected && value.value.string.isWide() == guarded);
        }
    // Marked 8-bit but holding 16-bit text, as the provider hands it over: narrowed. Marked
    // 16-bit: the bytes are kept and marked 8-bit; the unguarded set converts nothing.
    fkRecord& table = record("table.dll");
    const char16_t hi[] = u"Hi";
    const std::string bytes(reinterpret_cast<const char*>(hi), sizeof hi);
    for (const auto& [handler, text, seen, wide] :
         {std::tuple{set.handler[0], oxString_c(sizeof hi, bytes.data()), std::string("Hi", 3), false},
          {set.handler[0], oxString_c(u"Hi"), bytes, false},
          {set.handler[1], oxString_c(u"Hi"), bytes, true}}) {
        oxAttribValue_c value(2, text);
        EXPECT_EQ(call(handler, value, coxTableGroup, key), 0u);
        EXPECT_EQ(std::pair(table.text, table.textWide), std::pair(seen, wide));
    }
    using coxForwarder = bool (coxGroupProxy_c::*)(oxAttribValue_c&, oxKey_c&, std::uint32_t,
                                                   std::uint32_t, std::uint32_t*);
    const coxForwarder forwarders[] = {
        &coxGroupProxy_c::getAttribute,     &coxGroupProxy_c::getNextAttribute,
        &coxGroupProxy_c::reserveAttribute, &coxGroupProxy_c::releaseAttribute,
        &coxGroupProxy_c::setAttribute,     &coxGroupProxy_c::addRow,
        &coxGroupProxy_c::deleteRow};
    oxAttribValue_c value(2);
    const auto request = [&](coxGroupProxy_c& proxy, coxForwarder forwarder) {
        key = coxRowKey(1);
        std::uint32_t result = 0xDEAD;
        const bool ok = (proxy.*forwarder)(value, key, 4, 5, &result);
        EXPECT_EQ(ok, result == 0);
        return result;
    };
    const oxGroup_c listed(*kernel->groups().find(oxString_c("FK|Table|001")));
    kernel->groups().remove(listed); // not yet listed
    coxGroupProxy_c proxy(oxString_c("FK|Table|001"), kernel.get());
    for (std::uint32_t i = 0; i < 7; ++i)
        EXPECT_EQ(request(proxy, forwarders[i]), 0x7005u) << i;
    kernel->groups().add(listed);
    for (std::uint32_t i = 0; i < 7; ++i) {
        EXPECT_EQ(request(proxy, forwarders[i]), 0u) << i;
        EXPECT_EQ(std::pair(table.slot, table.row), std::pair(i ? i - 1 : 0, i == 1 ? 2u : 1u));
        EXPECT_FALSE(value.value.string.isWide());
    }
    // Proxies live in storage of the allocation pair; a failed allocation gives a null proxy.
    const oxLiveAllocations live;
    delete new coxGroupProxy_c(oxString_c("FK|Table|001"), kernel.get());
    EXPECT_EQ(live.leaked(), 0);
    const oxFailAllocation fail(1);
    EXPECT_EQ(new coxGroupProxy_c(oxString_c("FK|Table|001"), nullptr), nullptr);
}

// Rows are found by hash, yet every answer is the scan's over the rows as they are now: after
// the rows change behind the kernel (as the module's own code may change them), for text keys
// one byte longer or shorter than the rows they equal (the first equal row wins), and after an
// object is unloaded and another loaded in its place.
TEST_F(coxKernelRequestsTest, RowsFoundByHashAnswerAsTheScanOverTheRowsAsTheyAre) {
    makeWith({"table.dll"});
    const auto text = [](const char* bytes) {
        oxKey_c key(oxIdList_c{1});
        key.at(0)->value.setString(oxString_c(std::uint32_t(std::strlen(bytes)), bytes));
        return key;
    };
    const auto rows = [&]() -> oxKeyList_c& { return object("table.dll")->rowKeys(); };
    struct coxAsk {
        oxKey_c key;
        std::uint32_t next, row; // get next's status, and the row it asks for
    };
    const struct {
        std::function<void()> change;
        std::vector<coxAsk> asks;
    } phases[] = {
        {[] {}, {{coxRowKey(1), 0, 2}, {coxRowKey(3), 0x7004, 0}, {coxRowKey(9), 0x9005, 0}}},
        {[&] { rows().remove(coxRowKey(1)), rows().add(coxRowKey(1)); }, // rows 2, 3, 1
         {{coxRowKey(2), 0, 3}, {coxRowKey(3), 0, 1}, {coxRowKey(1), 0x7004, 0}}},
        {[&] { rows().remove(coxRowKey(3)); }, {{coxRowKey(3), 0x9005, 0}, {coxRowKey(2), 0, 1}}},
        // Rows 2, 1, "abQ", 7, "abcXY", 6: "abcd" equals both texts, which differ from each other.
        {[&] {
             for (const oxKey_c& row : {text("abQ"), coxRowKey(7), text("abcXY"), coxRowKey(6)})
                 rows().add(row);
         },
         {{text("abcd"), 0, 7}, {text("abQ"), 0, 7}, {text("abcXZ"), 0, 6},
          {text("abcXYZW"), 0x9005, 0}}},
        {[&, name = oxString_c("table.dll")] {
             kernel->unloadModule(name, &status), kernel->loadModule(name, &status);
         },
         {{coxRowKey(1), 0, 2}, {coxRowKey(3), 0x7004, 0}, {coxRowKey(6), 0x9005, 0}}},
    };
    for (const auto& phase : phases) {
        phase.change();
        for (const coxAsk& ask : phase.asks)
            for (const std::uint32_t u : {0u, 1u}) { // guarded, unguarded
                SCOPED_TRACE(testing::Message() << "phase " << &phase - phases << " ask "
                                                << &ask - phase.asks.data() << " form " << u);
                EXPECT_EQ(call(get.handler[u], 2, coxTableGroup, ask.key),
                          ask.next == 0x9005 ? 0x9005u : 0u);
                EXPECT_EQ(call(getNext.handler[u], 2, coxTableGroup, ask.key), ask.next);
                if (ask.next == 0) {
                    EXPECT_EQ(record("table.dll").row, ask.row);
                }
            }
    }
}

} // namespace
