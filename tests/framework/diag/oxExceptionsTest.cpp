#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxMessages.h"
#include "framework/diag/oxStatus.h"
#include "tests/support/oxBoxRecorder.h"
#include <functional>
#include <gtest/gtest.h>
#include <set>

namespace {

constexpr const char* source = "..\\..\\oxSample";

// Each exception shows, once and while it is made, the box of the report it stands for.
TEST(oxExceptions, EachShowsItsReportOnceWhenMade) {
    // A message object of this test's own: reports go to the newest live one, and its language
    // modules are freed again when the test ends.
    oxMessages_c messages;
    ASSERT_EQ(&oxMessages_c::instance(), &messages);
    oxBoxRecorder boxes;
    struct Row {
        std::function<void()> raise, report;
    };
    const std::vector<Row> rows = {
        {[] { throw oxInsufficientMemory_c(source, 58); },
         [&] { messages.reportNumbered(source, 58, oxMsgInsufficientMemory); }},
        {[] { throw oxInvalidIndex_c(source, 98); },
         [&] { messages.reportNumbered(source, 98, oxMsgInvalidIndex); }},
        {[] { throw oxInvalidDirectory_c(source, 86); },
         [&] { messages.reportNumbered(source, 86, oxMsgInvalidDirectory); }},
        {[] { throw oxFatal_c(source, 52, oxMsgGroupNotRegistered, "DMTF|Probe|001"); },
         [&] { messages.reportNumbered(source, 52, oxMsgGroupNotRegistered, "DMTF|Probe|001"); }},
        {[] { throw oxFatal_c(source, 214, "Invalid 'mix' file format"); },
         [&] { messages.reportFormatted(source, 214, "Invalid 'mix' file format"); }},
        {[] { throw oxFatal_c(source, 34, "Unable to locate MIF File %s\n", "a.mif"); },
         [&] { messages.reportFormatted(source, 34, "Unable to locate MIF File %s\n", "a.mif"); }},
    };
    std::set<std::string> messageTexts;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        boxes.clear();
        EXPECT_ANY_THROW(rows[i].raise()) << "row " << i;
        ASSERT_EQ(boxes.count(), 1u) << "row " << i;
        const oxRecordedBox raised = boxes.boxes().front();
        rows[i].report();
        ASSERT_EQ(boxes.count(), 2u) << "row " << i;
        EXPECT_EQ(raised.text, boxes.boxes()[1].text) << "row " << i;
        EXPECT_EQ(raised.title, messages.errorTitle().text()) << "row " << i;
        messageTexts.insert(raised.text.substr(raised.text.find('\n') + 1));
    }
    EXPECT_EQ(messageTexts.size(), rows.size()) << "two exceptions showed the same message";
    boxes.clear();
    oxFatal_c text("..\\..\\oxType", 367, "Invalid string length");
    oxFatal_c format(source, 34, "Unable to locate MIF File %s\n", "C:\\d\\os.mif");
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes.boxes()[0].text, "..\\..\\oxType::367\nInvalid string length");
    EXPECT_EQ(boxes.boxes()[1].text,
              std::string(source) + "::34\nUnable to locate MIF File C:\\d\\os.mif\n");
}

} // namespace
