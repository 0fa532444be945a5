// Shared by the model tests: a fixture that checks the one box of a raise, and per ID-keyed
// list L an oxKit<L>: the source and lines of its own raise sites, and make(id, v), the plain
// element for v = 0 and for v = 1..fields one that differs from it in field v only.
#pragma once
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxMessages.h"
#include "framework/model/oxAttribValue.h"
#include "framework/model/oxAttribute.h"
#include "framework/model/oxComponent.h"
#include "framework/model/oxGroup.h"
#include "framework/model/oxKey.h"
#include "tests/support/oxAllocationSeam.h"
#include "tests/support/oxBoxRecorder.h"
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>

struct oxLines {
    const char* source;
    std::uint32_t construct, constructElement, find, indexOf;
};
template <class L> struct oxKit;
// clang-format off
template <> struct oxKit<oxKey_c> {
    static constexpr oxLines lines{"..\\..\\oxKey", 62, 73, 105, 244};
    static constexpr int fields = 1;
    static oxAttribValue_c make(std::uint32_t id, int v = 0) {
        oxAttribValue_c a(id);
        a.value.number6 = v;
        return a;
    }
};
template <> struct oxKit<oxAttribValueList_c> : oxKit<oxKey_c> {
    static constexpr oxLines lines{"..\\..\\oxAttrib", 62, 73, 105, 244};
};
template <> struct oxKit<oxGroupList_c> {
    static constexpr oxLines lines{"..\\..\\oxGroup", 115, 126, 162, 307};
    static constexpr int fields = 5;
    static oxGroup_c make(std::uint32_t id, int v = 0) {
        return oxGroup_c(id, v == 1 ? "A|B|002" : "A|B|001", v == 2 ? "x" : "",
                         v == 3 ? oxIdList_c{2, 1} : oxIdList_c{1, 2}, v == 4 ? "x" : "",
                         v == 5 ? "x" : "");
    }
};
template <> struct oxKit<oxAttributeList_c> {
    static constexpr oxLines lines{"..\\..\\oxAttrib", 539, 550, 582, 720};
    static constexpr int fields = 8;
    static oxAttribute_c make(std::uint32_t id, int v = 0) {
        return oxAttribute_c(id, v == 1 ? "x" : "a", v == 2 ? "x" : "", v == 3 ? "x" : "", v == 4,
                             oxEnumList_c(oxEnumItem_c("on", v == 5)), v == 6, v == 7, v == 8);
    }
};
template <> struct oxKit<oxComponentList_c> {
    static constexpr oxLines lines{"..\\..\\oxCompon", 107, 118, 150, 287};
    static constexpr int fields = 3;
    static oxComponent_c make(std::uint32_t id, int v = 0) {
        return oxComponent_c(id, v == 1 ? "x" : "n", v == 2 ? "x" : "", v == 3 ? "x" : "");
    }
};
// clang-format on

class oxModelTest : public ::testing::Test {
  protected:
    // Exactly one box was shown since the last check, naming the source and line.
    void expectOneBox(const char* source, std::uint32_t line, const char* text = "") {
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_THAT(boxes.boxes()[0].text, ::testing::AllOf(::testing::HasSubstr(text),
            ::testing::StartsWith(std::string(source) + "::" + std::to_string(line) + oxBoxLineBreak)));
        boxes.clear();
    }

    // Built before any seam is armed, so its lazy construction never takes a failing
    // allocation; its warnings come before the recorder.
    bool messagesReady = (oxMessages_c::instance(), true);
    oxBoxRecorder boxes;
};
