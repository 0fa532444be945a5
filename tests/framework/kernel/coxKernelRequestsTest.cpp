// The kernel's fourteen request handlers against real component modules: routing by group ID,
// the attribute and row-key checks, get next, the unload rule, the exception rule with its
// report lines, and the text conversions of the guarded forms.
#include "coxRequestFixture.h"
#include "framework/diag/oxExceptions.h"
#include <stdexcept>

namespace {

using coxHandler = bool (coxKernel_c::*)(oxAttribValue_c&, const std::uint32_t*, oxKey_c&,
                                         std::uint32_t, std::uint32_t, std::uint32_t*);

enum coxKind { plain, next, rowOnly }; // checked request, get next, add or delete row

struct coxHandlerCase {
    const char* name;
    coxHandler handler;
    std::uint32_t slot; // of the component object
    coxKind kind;
    bool guarded;
    std::uint32_t line; // of the failure report
};

const coxHandlerCase handlers[] = {
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

class coxKernelRequestsTest : public coxRequestFixture {
  protected:
    // One request; the status starts as junk, so that every handler must write it.
    std::uint32_t call(const coxHandlerCase& h, oxAttribValue_c& value, std::uint32_t group,
                       oxKey_c& key) {
        std::uint32_t result = 0xDEAD;
        const bool ok = (kernel.get()->*h.handler)(value, &group, key, 4, 5, &result);
        EXPECT_EQ(ok, result == 0) << h.name;
        EXPECT_EQ(kernel->busyGuard(), 0u) << h.name;
        return result;
    }
    std::uint32_t call(const coxHandlerCase& h, std::uint32_t attribute, std::uint32_t group,
                       oxKey_c key = oxKey_c()) {
        oxAttribValue_c value(attribute);
        return call(h, value, group, key);
    }
};

TEST_F(coxKernelRequestsTest, GuardedGetOfComponentIdAttribute6AnswersSeven) {
    make();
    ASSERT_TRUE(isLoaded("osComp.dll"));
    oxAttribValue_c value(6);
    oxKey_c key;
    std::uint32_t group = coxComponentIdGroup, result = 0xDEAD;
    EXPECT_TRUE(kernel->getAttribute(value, &group, key, 0, 0, &result));
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(value.value.kind, 6u);
    EXPECT_EQ(value.value.number6, 7u);
    EXPECT_EQ(key.count(), 0u);
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelRequestsTest, UnknownGroupIdAnswers7005WithoutAnyCall) {
    make();
    for (const coxHandlerCase& h : handlers) {
        EXPECT_EQ(call(h, 1, 999), 0x7005u) << h.name;
        oxAttribValue_c value(1);
        oxKey_c key;
        std::uint32_t result = 0;
        EXPECT_FALSE((kernel.get()->*h.handler)(value, nullptr, key, 0, 0, &result)) << h.name;
        EXPECT_EQ(result, 0x7005u) << h.name;
    }
    for (std::uint32_t slot = 0; slot < 6; ++slot)
        EXPECT_EQ(record("fxTable.dll").calls[slot], 0u);
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelRequestsTest, AttributeNotServedAnswers2007UnlessTheRequestIsForARow) {
    make();
    fxRequestRecord& table = record("fxTable.dll");
    for (const coxHandlerCase& h : handlers) {
        const std::uint32_t before = table.calls[h.slot];
        oxKey_c key = coxRowKey(1);
        const std::uint32_t result = call(h, 5, coxTableGroup, key);
        if (h.kind == rowOnly) {
            EXPECT_EQ(result, 0u) << h.name; // add and delete row check nothing
            EXPECT_EQ(table.calls[h.slot], before + 1) << h.name;
        } else {
            EXPECT_EQ(result, 0x2007u) << h.name;
            EXPECT_EQ(table.calls[h.slot], before) << h.name;
        }
    }
    // osComp would answer 0x2008 for attribute 5: the kernel refuses it first.
    EXPECT_EQ(call(handlers[0], 5, coxComponentIdGroup), 0x2007u);
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelRequestsTest, RowKeyThatDoesNotFitAnswers9005UnlessTheRequestIsForARow) {
    make();
    fxRequestRecord& table = record("fxTable.dll");
    for (const coxHandlerCase& h : handlers) {
        const std::uint32_t before = table.calls[h.slot];
        const std::uint32_t result = call(h, 2, coxTableGroup, coxRowKey(9));
        if (h.kind == rowOnly) {
            EXPECT_EQ(result, 0u) << h.name;
            EXPECT_EQ(table.row, 9u) << h.name; // the caller's key, unchecked
        } else {
            EXPECT_EQ(result, 0x9005u) << h.name;
            EXPECT_EQ(table.calls[h.slot], before) << h.name;
        }
        if (h.kind == plain) { // a component without rows takes no row key
            EXPECT_EQ(call(h, 6, coxComponentIdGroup, coxRowKey(1)), 0x9005u) << h.name;
        }
    }
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelRequestsTest, FittingRowKeyReachesTheSlotWithThePassThroughValues) {
    make();
    fxRequestRecord& table = record("fxTable.dll");
    for (const coxHandlerCase& h : handlers) {
        if (h.kind == next)
            continue;
        oxAttribValue_c value(2);
        value.value.setString(oxString_c("new"));
        oxKey_c key = coxRowKey(2);
        EXPECT_EQ(call(h, value, coxTableGroup, key), 0u) << h.name;
        EXPECT_EQ(table.slot, h.slot) << h.name;
        EXPECT_EQ(table.attribute, 2u) << h.name;
        EXPECT_EQ(table.row, 2u) << h.name;
        EXPECT_EQ(table.a, 4u) << h.name;
        EXPECT_EQ(table.b, 5u) << h.name;
        EXPECT_TRUE(key == coxRowKey(2)) << h.name;
    }
}

TEST_F(coxKernelRequestsTest, EmptyRowKeyTakesTheFirstRowAndTellsTheCaller) {
    make();
    fxRequestRecord& table = record("fxTable.dll");
    for (const coxHandlerCase& h : handlers) {
        if (h.kind != plain)
            continue;
        oxAttribValue_c value(3);
        oxKey_c key;
        EXPECT_EQ(call(h, value, coxTableGroup, key), 0u) << h.name;
        EXPECT_EQ(table.row, 1u) << h.name;
        EXPECT_TRUE(key == coxRowKey(1)) << h.name;
    }
    oxAttribValue_c value(3);
    oxKey_c key;
    call(handlers[0], value, coxTableGroup, key);
    EXPECT_EQ(coxAscii(value.value.string), "r1a3");
}

TEST_F(coxKernelRequestsTest, GetNextAsksForTheFollowingRowAndKeepsTheCallersKey) {
    make();
    fxRequestRecord& table = record("fxTable.dll");
    for (const coxHandlerCase* h : {&handlers[1], &handlers[8]}) {
        oxAttribValue_c value(2);
        oxKey_c key = coxRowKey(1);
        EXPECT_EQ(call(*h, value, coxTableGroup, key), 0u);
        EXPECT_EQ(table.row, 2u);
        EXPECT_EQ(coxAscii(value.value.string), "r2a2");
        EXPECT_TRUE(key == coxRowKey(1));

        const std::uint32_t calls = table.calls[0];
        EXPECT_EQ(call(*h, 2, coxTableGroup, coxRowKey(3)), 0x7004u); // the last row
        EXPECT_EQ(call(*h, 2, coxTableGroup, oxKey_c()), 0x9005u);    // no row named
        EXPECT_EQ(call(*h, 2, coxTableGroup, coxRowKey(7)), 0x9005u); // not a row
        EXPECT_EQ(table.calls[0], calls);
    }
    EXPECT_EQ(boxes.count(), 0u);
}

// Asking a component without rows for its next row is a bad request: 0x9005, and the
// component stays loaded.
TEST_F(coxKernelRequestsTest, GetNextOnAComponentWithoutRowsKeepsItsModule) {
    make();
    for (const coxHandlerCase* h : {&handlers[1], &handlers[8]}) {
        EXPECT_EQ(call(*h, 6, coxComponentIdGroup), 0x9005u);
        EXPECT_EQ(call(*h, 6, coxComponentIdGroup, coxRowKey(1)), 0x9005u);
        EXPECT_TRUE(isLoaded("osComp.dll"));
    }
    EXPECT_EQ(call(handlers[0], 6, coxComponentIdGroup), 0u);
    EXPECT_TRUE(destructed().empty());
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelRequestsTest, ComponentsOwnStatusPassesThrough) {
    make();
    for (const coxHandlerCase& h : handlers)
        EXPECT_EQ(call(h, 4, coxTableGroup, coxRowKey(1)), 0x2008u) << h.name;
    EXPECT_TRUE(isLoaded("fxTable.dll"));
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelRequestsTest, ComponentAskingToBeUnloadedIsUnloadedAndAnswers7005) {
    make();
    for (const coxHandlerCase& h : handlers) {
        if (!isLoaded("fxUnloadMe.dll"))
            reload("fxUnloadMe.dll");
        sp.calls.clear();
        EXPECT_EQ(call(h, 1, coxUnloadMeGroup, coxRowKey(1)), 0x7005u) << h.name;
        EXPECT_FALSE(isLoaded("fxUnloadMe.dll")) << h.name;
        EXPECT_EQ(destructed(), coxNames{"fxUnloadMe.dll"}) << h.name;
        EXPECT_EQ(call(h, 1, coxUnloadMeGroup, coxRowKey(1)), 0x7005u) << h.name;
    }
    EXPECT_TRUE(isLoaded("fxTable.dll"));
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(coxKernelRequestsTest, ThrowingComponentIsReportedUnloadedAndAnswers7005) {
    make();
    for (const coxHandlerCase& h : handlers) {
        for (std::uint32_t attribute : {1u, 2u}) { // oxFatal_c, then a standard exception
            if (h.kind == next && attribute == 2)
                continue;
            if (!isLoaded("fxThrower.dll"))
                reload("fxThrower.dll");
            boxes.clear();
            EXPECT_EQ(call(h, attribute, coxThrowerGroup, coxRowKey(1)), 0x7005u) << h.name;
            EXPECT_FALSE(isLoaded("fxThrower.dll")) << h.name;
            // oxFatal_c shows its own box as it is made; the kernel's report follows.
            ASSERT_EQ(boxes.count(), attribute == 1 ? 2u : 1u) << h.name;
            EXPECT_TRUE(
                coxBoxIs(boxes.boxes().back(), coxKern, h.line, moduleFailed + "fxThrower.dll"))
                << h.name;
            EXPECT_EQ(call(h, attribute, coxThrowerGroup, coxRowKey(1)), 0x7005u) << h.name;
        }
    }
}

TEST_F(coxKernelRequestsTest, GetNextLetsOtherExceptionsThroughAndReleasesTheGuard) {
    make();
    for (const coxHandlerCase* h : {&handlers[1], &handlers[8]}) {
        oxAttribValue_c value(2);
        oxKey_c key = coxRowKey(1);
        std::uint32_t group = coxThrowerGroup, result = 0;
        EXPECT_THROW((kernel.get()->*h->handler)(value, &group, key, 0, 0, &result),
                     std::runtime_error);
        EXPECT_EQ(kernel->busyGuard(), 0u);
        EXPECT_TRUE(isLoaded("fxThrower.dll"));
        EXPECT_EQ(record("fxThrower.dll").row, 2u); // it was asked for the next row
    }
    EXPECT_EQ(boxes.count(), 0u);
    EXPECT_EQ(call(handlers[0], 6, coxComponentIdGroup), 0u); // the kernel still serves
}

TEST_F(coxKernelRequestsTest, WithoutWideStringsNoTextIsConverted) {
    make();
    ASSERT_FALSE(kernel->wideStrings());
    oxAttribValue_c value(2, oxString_c(u"Hi"));
    oxKey_c key = coxRowKey(1);
    EXPECT_EQ(call(handlers[4], value, coxTableGroup, key), 0u); // set
    EXPECT_TRUE(record("fxTable.dll").textWide);
    oxAttribValue_c read(3);
    EXPECT_EQ(call(handlers[0], read, coxTableGroup, key), 0u); // get
    EXPECT_FALSE(read.value.string.isWide());
    EXPECT_EQ(coxAscii(read.value.string), "r1a3");
}

TEST_F(coxKernelRequestsTest, WithWideStringsGuardedGetsAnswer16BitText) {
    makeWide();
    ASSERT_TRUE(kernel->wideStrings());
    for (const coxHandlerCase& h : handlers) {
        if (h.slot != 0)
            continue;
        oxAttribValue_c value(3);
        oxKey_c key = coxRowKey(1);
        EXPECT_EQ(call(h, value, coxTableGroup, key), 0u) << h.name;
        EXPECT_EQ(value.value.string.isWide(), h.guarded) << h.name;
        EXPECT_EQ(coxAscii(value.value.string), h.kind == next ? "r2a3" : "r1a3") << h.name;
    }
    // A value the component leaves as a number is not touched.
    oxAttribValue_c number(6);
    oxKey_c none;
    std::uint32_t group = coxComponentIdGroup, result = 0;
    EXPECT_TRUE(kernel->getAttribute(number, &group, none, 0, 0, &result));
    EXPECT_EQ(number.value.kind, 6u);
    EXPECT_EQ(number.value.string.length(), 0u);
}

TEST_F(coxKernelRequestsTest, WithWideStringsGuardedSetHandsTheComponent8BitText) {
    makeWide();
    fxRequestRecord& table = record("fxTable.dll");
    oxKey_c key = coxRowKey(2);
    // Marked 8-bit but holding 16-bit text, as the provider hands it over: narrowed.
    const std::string utf16 = coxUtf16("Hi") + std::string(2, '\0');
    oxAttribValue_c provided(2, oxString_c(static_cast<std::uint32_t>(utf16.size()), utf16.data()));
    EXPECT_EQ(call(handlers[4], provided, coxTableGroup, key), 0u);
    EXPECT_FALSE(table.textWide);
    EXPECT_EQ(std::string(table.text, table.textLength).c_str(), std::string("Hi"));
    // Marked 16-bit: the bytes are kept and marked 8-bit.
    oxAttribValue_c marked(2, oxString_c(u"Hi"));
    EXPECT_EQ(call(handlers[4], marked, coxTableGroup, key), 0u);
    EXPECT_FALSE(table.textWide);
    EXPECT_EQ(std::string(table.text, table.textLength), utf16);
    // The unguarded set converts nothing.
    oxAttribValue_c unguarded(2, oxString_c(u"Hi"));
    EXPECT_EQ(call(handlers[11], unguarded, coxTableGroup, key), 0u);
    EXPECT_TRUE(table.textWide);
}

} // namespace
