// Shared fixture of the model tests: records boxes and checks the one box of a raise.
#pragma once
#include "framework/diag/oxMessages.h"
#include "tests/support/oxAllocationSeam.h"
#include "tests/support/oxBoxRecorder.h"
#include <gtest/gtest.h>
#include <string>

class oxModelTest : public ::testing::Test {
  protected:
    // Built before any seam is armed, so its lazy construction never takes a failing allocation.
    void SetUp() override {
        oxMessages_c::instance();
        boxes.clear(); // warnings of its first construction
    }

    // Exactly one box was shown since the last check, naming the source and line.
    void expectOneBox(const char* source, std::uint32_t line, const char* text = nullptr) {
        ASSERT_EQ(boxes.count(), 1u);
        const std::string& shown = boxes.boxes()[0].text;
        std::string head = std::string(source) + "::" + std::to_string(line) + "\n";
        EXPECT_EQ(shown.substr(0, head.size()), head) << shown;
        if (text) {
            EXPECT_NE(shown.find(text), std::string::npos) << shown;
        }
        boxes.clear();
    }

    oxBoxRecorder boxes;
};
