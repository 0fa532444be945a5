// The provider interface's table: each operation at its slot, the reserved slots answering false.
//
// Tied to the Itanium C++ ABI on purpose: an object's first word points at its table of virtual
// functions in declaration order, and a pointer to a virtual member holds 1 + the entry's byte
// offset. A shifted declaration (a virtual destructor, a missing placeholder) moves every later
// operation.
#include "framework/base/coxServiceProvider.h"
#include "tests/support/oxRecordingServiceProvider.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {
using Sp = coxServiceProvider_c;

template <class F> std::uint32_t slotOf(F member) {
    std::uintptr_t raw[2];
    static_assert(sizeof member == sizeof raw);
    std::memcpy(raw, &member, sizeof raw);
    return static_cast<std::uint32_t>((raw[0] - 1) / sizeof(void*));
}

TEST(coxServiceProviderSlots, EachOperationSitsAtItsSlotAndTheReservedOnesAnswerFalse) {
    EXPECT_EQ((std::vector<std::uint32_t>{
                  slotOf(&Sp::refreshDescription), slotOf(&Sp::listComponents),
                  slotOf(&Sp::installFromMIFName), slotOf(&Sp::installFromMIF),
                  slotOf(&Sp::installByName), slotOf(&Sp::deleteComponent),
                  slotOf(&Sp::originateEvent), slotOf(&Sp::listGroups),
                  slotOf(&Sp::addGroupFromFile), slotOf(&Sp::deleteGroup),
                  slotOf(&Sp::announceComponents), slotOf(&Sp::withdrawComponents)}),
              (std::vector<std::uint32_t>{9, 11, 12, 13, 14, 15, 16, 18, 20, 22, 27, 31}));
    oxRecordingServiceProvider sp;
    void** table = *reinterpret_cast<void***>(&sp);
    for (std::uint32_t slot :
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 17, 19, 21, 23, 24, 25, 26, 28, 29, 30})
        EXPECT_FALSE(reinterpret_cast<bool (*)(Sp*)>(table[slot])(&sp)) << slot;
    EXPECT_TRUE(sp.calls.empty());
}
} // namespace
