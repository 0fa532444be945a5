// Fixture for raise sites: records boxes, keeps the message object's own allocations out of the
// leak counts, and checks the one box a raise shows.
#pragma once
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxMessages.h"
#include "tests/support/oxAllocationSeam.h"
#include "tests/support/oxBoxRecorder.h"
#include <gtest/gtest.h>
#include <string>

class oxRaiseFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        // Build the message object and let it settle its cached texts before anything counts.
        oxInsufficientMemory_c warmUp("warm", 1);
        oxFatal_c warmUpFatal("warm", 1, "warm");
        boxes.clear();
    }
    // Exactly one error box since the last check, headed by source::line, then the message.
    void expectOneBox(const std::string& source, std::uint32_t line, const char* body = nullptr) {
        ASSERT_EQ(boxes.count(), 1u);
        const std::string header = source + "::" + std::to_string(line) + "\n";
        const oxRecordedBox& box = boxes.boxes().front();
        EXPECT_EQ(box.text.substr(0, header.size()), header);
        EXPECT_EQ(box.title, oxMessages_c::instance().errorTitle().text());
        if (body)
            EXPECT_EQ(box.text, header + body);
        else
            EXPECT_GT(box.text.size(), header.size()) << "no message under the header";
        boxes.clear();
    }

    oxBoxRecorder boxes;
};
