#include "platform/oxpMessageBox.h"
#include "tests/support/oxBoxRecorder.h"
#include <gtest/gtest.h>

namespace {

TEST(MessageBox, AnInstalledPresenterSeesEveryBox) {
    oxBoxRecorder recorder;
    EXPECT_EQ(oxp::messageBox("Component module failed.", "OX Error", oxp::mbOk | oxp::mbIconError),
              oxp::idOk);
    oxp::messageBox(nullptr, nullptr, oxp::mbTopmost);
    ASSERT_EQ(recorder.count(), 2u);
    EXPECT_EQ(recorder.boxes()[0].text, "Component module failed.");
    EXPECT_EQ(recorder.boxes()[0].title, "OX Error");
    EXPECT_EQ(recorder.boxes()[0].style, oxp::mbIconError);
    EXPECT_EQ(recorder.boxes()[1].text, "");
    EXPECT_EQ(recorder.boxes()[1].title, "Error"); // as MessageBoxA titles a box without one
}

int answerSeven(const char*, const char*, std::uint32_t) { return 7; }

TEST(MessageBox, PresentersAreReplacedAndTheDefaultWritesToStandardError) {
    oxp::MessageBoxPresenter original = oxp::setMessageBoxPresenter(&answerSeven);
    EXPECT_EQ(oxp::messageBox("text", "title", 0), 7);
    EXPECT_EQ(oxp::setMessageBoxPresenter(nullptr), &answerSeven);
    testing::internal::CaptureStderr();
    EXPECT_EQ(oxp::messageBox("Component module failed.", "OX Error", oxp::mbIconError), oxp::idOk);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "OX Error: Component module failed.\n");
    oxp::setMessageBoxPresenter(original);
}

} // namespace
