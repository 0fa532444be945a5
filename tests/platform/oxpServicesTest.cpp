// Process services: the allocation pair and its failure seam, the clock, and message boxes.
#include "platform/oxpClock.h"
#include "platform/oxpMessageBox.h"
#include "tests/support/oxAllocationSeam.h"
#include "tests/support/oxBoxRecorder.h"
#include <algorithm>
#include <atomic>
#include <ctime>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

TEST(Allocation, BlocksAreZeroFilledAtLeast32BytesCountedAndFailedAsPlanned) {
    oxLiveAllocations live;
    for (std::size_t n : {0u, 31u, 100u}) {
        auto* p = static_cast<unsigned char*>(oxp::allocate(n));
        const auto size = static_cast<std::ptrdiff_t>(std::max<std::size_t>(n, 32));
        ASSERT_TRUE(p && live.leaked() == 1) << n;
        EXPECT_EQ(std::count(p, p + size, 0), size) << n;
        oxp::release(p);
    }
    oxp::release(nullptr);
    // Which of the next n allocations fail under a plan (k = 0: none), cleared afterwards.
    std::string failed;
    const auto next = [&failed](int n, std::uint32_t k = 0, bool every = false) {
        if (k)
            oxp::seam::failAllocation(k, every);
        for (int i = 0; i < n; ++i) {
            void* p = oxp::allocate(1);
            failed += p ? '.' : 'x';
            oxp::release(p);
        }
        failed += ' ';
        oxp::seam::clearAllocationFailure();
    };
    next(5, 3), next(5, 2, true), next(3);
    oxp::seam::failAllocation(1, true);
    next(3, 2); // a new plan replaces the old one
    EXPECT_EQ(failed, "..x.. .xxxx ... .x. ");
    EXPECT_EQ(live.leaked(), 0); // failed ones are never counted
}

TEST(Allocation, ExactlyThePlannedOneFailsAndCountsStayExactAcrossThreads) {
    oxLiveAllocations live;
    std::atomic<int> failed{0};
    oxFailAllocation fail(700);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&failed] {
            for (int i = 0; i < 500; ++i) {
                void* p = oxp::allocate(16);
                failed += p == nullptr;
                oxp::release(p);
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failed.load() * 10 + live.leaked(), 10);
}

TEST(Clock, TheRealClockAgreesWithTheCLibraryAndTheSeamFixesIt) {
    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);
    const oxp::LocalTime t = oxp::localTime();
    EXPECT_EQ(std::vector<int>({t.year, t.month, t.day, t.dayOfWeek, t.milliseconds < 1000}),
              std::vector<int>(
                  {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_wday, 1}));
    EXPECT_EQ(oxp::timeZoneBias(), -static_cast<std::int32_t>(local.tm_gmtoff / 60));
    oxp::seam::fixClock(oxp::LocalTime{2001, 2, 6, 3, 4, 5, 6, 789}, -60);
    const oxp::LocalTime f = oxp::localTime();
    EXPECT_EQ(std::vector<int>({f.year, f.month, f.dayOfWeek, f.day, f.hour, f.minute, f.second,
                                f.milliseconds, oxp::timeZoneBias()}),
              std::vector<int>({2001, 2, 6, 3, 4, 5, 6, 789, -60}));
    oxp::seam::unfixClock();
    EXPECT_EQ(oxp::localTime().year, t.year);
}

int answerSeven(const char*, const char*, std::uint32_t) {
    return 7;
}

// A presenter sees every box (a missing title reads "Error", as MessageBoxA shows it); the
// default one writes "title: text" to standard error.
TEST(MessageBox, PresentersSeeEveryBoxAndTheDefaultWritesToStandardError) {
    {
        oxBoxRecorder recorder;
        EXPECT_EQ(oxp::messageBox("Module failed.", "OX Error", oxp::mbIconError), oxp::idOk);
        oxp::messageBox(nullptr, nullptr, oxp::mbTopmost);
        ASSERT_EQ(recorder.count(), 2u);
        const auto& b = recorder.boxes();
        EXPECT_EQ(b[0].title + "|" + b[0].text + "|" + b[1].title + "|" + b[1].text,
                  "OX Error|Module failed.|Error|");
        EXPECT_EQ(b[0].style + b[1].style, oxp::mbIconError + oxp::mbTopmost);
    }
    const oxp::MessageBoxPresenter original = oxp::setMessageBoxPresenter(&answerSeven);
    EXPECT_EQ(oxp::messageBox("text", "title", 0), 7);
    EXPECT_EQ(oxp::setMessageBoxPresenter(nullptr), &answerSeven);
    testing::internal::CaptureStderr();
    EXPECT_EQ(oxp::messageBox("Module failed.", "OX Error", oxp::mbIconError), oxp::idOk);
    oxp::messageBox(nullptr, nullptr, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "OX Error: Module failed.\nError: \n");
    oxp::setMessageBoxPresenter(original);
}

} // namespace
