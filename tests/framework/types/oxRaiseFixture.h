// Fixture for raise sites: records boxes and keeps the message object's own allocations out of
// the leak counts.
#pragma once
#include "framework/diag/oxExceptions.h"
#include "tests/support/oxAllocationSeam.h"
#include "tests/support/oxBoxRecorder.h"
#include <functional>
#include <gtest/gtest.h>
#include <optional>

class oxRaiseFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        // Build the message object and let it settle its cached texts before anything counts.
        oxInsufficientMemory_c warmUp("warm", 1);
        oxFatal_c warmUpFatal("warm", 1, "warm");
        boxes.clear();
    }
    // Runs op with the k-th allocation failing, or none for k = 0, and expects what that case
    // throws (out of memory, or a failed lookup) and exactly one box, headed by source::line.
    void expectRaise(const std::string& source, std::uint32_t line, std::uint32_t k,
                     const std::function<void()>& op) {
        const std::string header = source + "::" + std::to_string(line) + oxBoxLineBreak;
        std::optional<oxFailAllocation> fail;
        if (k)
            fail.emplace(k);
        if (k)
            EXPECT_THROW(op(), oxInsufficientMemory_c) << header << "failing " << k;
        else
            EXPECT_THROW(op(), oxInvalidIndex_c) << header;
        fail.reset();
        EXPECT_EQ(boxes.count(), 1u) << header;
        EXPECT_EQ(boxes.count() ? boxes.boxes()[0].text.substr(0, header.size()) : "", header);
        boxes.clear();
    }

    oxBoxRecorder boxes;
};
