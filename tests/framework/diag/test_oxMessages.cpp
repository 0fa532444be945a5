// The message object and its language modules, loaded from real folder layouts.
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxLanguageModule.h"
#include "framework/diag/oxMessages.h"
#include "framework/diag/oxStatus.h"
#include "platform/oxpMessageBox.h"
#include "platform/oxpModule.h"
#include "tests/support/oxBoxRecorder.h"
#include <gtest/gtest.h>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t boxStyle = oxp::mbOk | oxp::mbTopmost;

// Texts of the language modules built in lang/.
const std::string memoryText = "There is not enough memory to complete the operation.";
const std::string moduleText = "The component module %s failed and was unloaded.";
const std::string oemModuleText = "OEM: component module %s stopped working.";
const std::string mifNameText =
    "The service provider refused to install the component from the given MIF name.";

std::string withInsert(const std::string& text, const std::string& insert) {
    std::string result = text;
    result.replace(result.find("%s"), 2, insert);
    return result;
}

// A temporary folder per test; the program folder points at an empty one so that only the
// copies placed by the test can be found.
class oxMessagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::temp_directory_path() /
                ("oxdiag_" + std::string(info->name()) + "_" + std::to_string(std::random_device{}()));
        fs::create_directories(root_ / "program");
        saved_ = fs::current_path();
        oxp::seam::setProgramDirectory((root_ / "program").string().c_str());
    }
    void TearDown() override {
        fs::current_path(saved_);
        oxp::seam::setProgramDirectory("");
        fs::remove_all(root_);
    }
    void place(const char* module, const fs::path& folder) {
        fs::create_directories(root_ / folder);
        fs::copy_file(fs::path(OX_BIN_DIR) / module, root_ / folder / module);
    }
    void enter(const fs::path& folder) {
        fs::create_directories(root_ / folder);
        fs::current_path(root_ / folder);
    }
    // The file a module name resolves to while the message object holds it loaded.
    fs::path loadedFile(const char* name) {
        const oxp::ModuleHandle handle = oxp::loadModule(name);
        const fs::path file = oxp::moduleFileName(handle);
        oxp::freeModule(handle);
        return file;
    }
    // A layout without a module is only meaningful when nothing else supplies it: a module
    // already loaded in this process (a message object built by instance() keeps its modules)
    // or one the system's search reaches is found by its bare name, as on Windows. Each test
    // runs in its own process under ctest.
    void requireUnreachable(const char* name) {
        enter("probe");
        const oxp::ModuleHandle handle = oxp::loadModule(name);
        const std::string file = oxp::moduleFileName(handle);
        oxp::freeModule(handle);
        fs::current_path(saved_);
        ASSERT_EQ(handle, 0u) << name << " is reachable without any copy in the layout: " << file;
    }
    void expectBox(std::size_t index, const std::string& text, const std::string& title) {
        ASSERT_LT(index, boxes_.count());
        EXPECT_EQ(boxes_.boxes()[index].text, text);
        EXPECT_EQ(boxes_.boxes()[index].title, title);
        EXPECT_EQ(boxes_.boxes()[index].style, boxStyle);
    }
    // Both modules beside the current folder.
    void enterWithBoth() {
        place("oxLng.dll", "work");
        place("oxOemLng.dll", "work");
        enter("work");
    }

    oxBoxRecorder boxes_;
    fs::path root_;
    fs::path saved_;
};

TEST_F(oxMessagesTest, ModulesInTheCurrentFolderAreFoundWithoutWarning) {
    ASSERT_NO_FATAL_FAILURE(requireUnreachable("oxLng.dll"));
    enterWithBoth();
    oxMessages_c messages;
    EXPECT_EQ(boxes_.count(), 0u);
    EXPECT_TRUE(fs::equivalent(loadedFile("oxLng.dll"), root_ / "work" / "oxLng.dll"));
    EXPECT_STREQ(messages.errorTitle().text(), "Instrumentation Error");
    EXPECT_STREQ(messages.warningTitle().text(), "Instrumentation Warning");
    messages.reportNumbered("..\\..\\oxType", 58, oxMsgInsufficientMemory);
    expectBox(0, "..\\..\\oxType::58\n" + memoryText, "Instrumentation Error");
}

TEST_F(oxMessagesTest, ModulesInTheParentFolderAreFoundWithoutWarning) {
    ASSERT_NO_FATAL_FAILURE(requireUnreachable("oxLng.dll"));
    ASSERT_NO_FATAL_FAILURE(requireUnreachable("oxOemLng.dll"));
    place("oxLng.dll", "parent");
    place("oxOemLng.dll", "parent");
    enter("parent/child");
    oxMessages_c messages;
    EXPECT_EQ(boxes_.count(), 0u);
    EXPECT_TRUE(fs::equivalent(loadedFile("oxLng.dll"), root_ / "parent" / "oxLng.dll"));
    EXPECT_TRUE(fs::equivalent(loadedFile("oxOemLng.dll"), root_ / "parent" / "oxOemLng.dll"));
    messages.showNumbered(oxMsgMifNameInstallRefused);
    expectBox(0, mifNameText, "Instrumentation Error");
}

TEST_F(oxMessagesTest, MissingModulesWarnOnceEachAndFallBack) {
    ASSERT_NO_FATAL_FAILURE(requireUnreachable("oxLng.dll"));
    ASSERT_NO_FATAL_FAILURE(requireUnreachable("oxOemLng.dll"));
    place("oxLng.dll", "elsewhere/deeper"); // neither here nor in the parent
    enter("work/child");
    {
        oxMessages_c messages;
        ASSERT_EQ(boxes_.count(), 2u);
        expectBox(0, "Unable to load language file : oxLng.dll", "OX Warning");
        expectBox(1, "Unable to load language file : oxOemLng.dll", "OX Warning");
        EXPECT_STREQ(messages.errorTitle().text(), "OX Error");
        EXPECT_STREQ(messages.warningTitle().text(), "OX Warning");
        boxes_.clear();
        messages.reportNumbered("..\\..\\oxType", 58, oxMsgInsufficientMemory);
        messages.reportText("..\\coxKern1", 169, oxString_c("osComp.dll"));
        messages.showNumbered(oxMsgInvalidIndex);
        expectBox(0, "Unable to resolve resource id: 4109", "OX Error");
        expectBox(1, "Unable to resolve resource id: 4097", "OX Error");
        expectBox(2, "Unable to resolve resource id: 4111", "OX Error");
        // Formatted reports still carry the built-in header.
        messages.reportFormatted("..\\..\\oxMIFPar", 214, "Invalid 'mix' file format");
        expectBox(3, "..\\..\\oxMIFPar::214\nInvalid 'mix' file format", "OX Error");
    }
    EXPECT_EQ(boxes_.count(), 4u) << "destruction shows nothing";
}

TEST_F(oxMessagesTest, TitlesAndHeadersComeFromThePrimaryModuleOnly) {
    ASSERT_NO_FATAL_FAILURE(requireUnreachable("oxLng.dll"));
    place("oxOemLng.dll", "work"); // holds a title of its own, which must not be used
    enter("work");
    oxMessages_c messages;
    ASSERT_EQ(boxes_.count(), 1u);
    expectBox(0, "Unable to load language file : oxLng.dll", "OX Warning");
    EXPECT_STREQ(messages.errorTitle().text(), "OX Error");
    messages.reportNumbered("..\\coxKern1", 169, oxMsgModuleFailed, "osComp.dll");
    expectBox(1, "..\\coxKern1::169\n" + withInsert(oemModuleText, "osComp.dll"), "OX Error");
}

// Each report or show gives one box: the primary module's text wins, the OEM module fills its
// gaps, inserts come from texts, strings and numbers, and a text naming more inserts than given
// cannot be formatted.
TEST_F(oxMessagesTest, EachReportFormatsItsTextFromTheModules) {
    enterWithBoth();
    oxMessages_c m;
    const oxString_c group("DMTF|ComponentID|001");
    const std::pair<std::function<void()>, std::string> rows[] = {
        {[&] { m.reportNumbered("..\\..\\coxKern", 1038, oxMsgModuleFailed, "a.dll"); },
         "..\\..\\coxKern::1038\n" + withInsert(moduleText, "a.dll")},
        {[&] { m.reportNumbered("..\\..\\coxKern", 93, oxMsgMifNameInstallRefused); },
         "..\\..\\coxKern::93\n" + mifNameText},
        {[&] { m.showNumbered(0x1FFF); }, "Unable to resolve resource id: 8191"},
        {[&] { m.reportNumberedText("..\\..\\coxBase", 52, oxMsgGroupNotRegistered, group); },
         "..\\..\\coxBase::52\nThe group DMTF|ComponentID|001 could not be registered with the "
         "service provider."},
        {[&] { m.reportText("..\\coxKern1", 169, oxString_c("osComp.dll")); },
         "..\\coxKern1::169\n" + withInsert(moduleText, "osComp.dll")},
        {[&] { m.showNumbered(oxMsgMixInstallRefused, group); },
         "The service provider refused the component DMTF|ComponentID|001 named in the MIX file."},
        {[&] { m.reportNumbered("..\\..\\coxKern", 1038, oxMsgModuleFailed); },
         "Unable to format Message"},
        {[&] { m.showNumbered(oxMsgModuleFailed); }, "Unable to format Message"},
        {[&] { m.showNumbered(oxMsgModuleFailed, "b.dll"); }, withInsert(moduleText, "b.dll")},
        {[&] { m.reportFormatted("..\\..\\oxMIFPar", 214, "Invalid 'mix' file format"); },
         "..\\..\\oxMIFPar::214\nInvalid 'mix' file format"},
        {[&] { m.reportFormatted("..\\..\\oxMIFPar", 34, "Unable to locate MIF File %s\n", "Os.mif"); },
         "..\\..\\oxMIFPar::34\nUnable to locate MIF File Os.mif\n"},
        {[&] { m.showFormatted("%d of %s", 3, "four"); }, "3 of four"},
    };
    for (const auto& [call, text] : rows) {
        SCOPED_TRACE(text);
        boxes_.clear();
        call();
        ASSERT_EQ(boxes_.count(), 1u);
        expectBox(0, text, "Instrumentation Error");
    }
}

TEST_F(oxMessagesTest, LongTextsAreCutAtTheBufferEnd) {
    enterWithBoth();
    oxMessages_c messages;
    const std::string header = "..\\..\\coxKern::1038\n";
    const std::string longName(700, 'n');
    messages.reportNumbered("..\\..\\coxKern", 1038, oxMsgModuleFailed, longName.c_str());
    messages.reportFormatted("..\\..\\coxKern", 1038, "%s", longName.c_str());
    messages.showFormatted("%s", longName.c_str());
    messages.reportFormatted(longName.c_str(), 7, "after a long header");
    ASSERT_EQ(boxes_.count(), 4u);
    const std::string numbered = header + withInsert(moduleText, longName);
    EXPECT_EQ(boxes_.boxes()[0].text, numbered.substr(0, 511));
    EXPECT_EQ(boxes_.boxes()[1].text, (header + longName).substr(0, 511));
    EXPECT_EQ(boxes_.boxes()[2].text, longName.substr(0, 511));
    EXPECT_EQ(boxes_.boxes()[3].text, longName.substr(0, 511));
    // A text that fits exactly is kept whole: 511 characters after the header's 20.
    messages.showFormatted("%s", std::string(511, 'e').c_str());
    EXPECT_EQ(boxes_.boxes()[4].text, std::string(511, 'e'));
}

TEST_F(oxMessagesTest, InstanceIsTheNewestLiveObject) {
    enterWithBoth();
    oxMessages_c outer;
    EXPECT_EQ(&oxMessages_c::instance(), &outer);
    {
        auto* inner = new oxMessages_c;
        auto* newest = new oxMessages_c;
        EXPECT_EQ(&oxMessages_c::instance(), newest);
        delete inner; // out of order: the newest stays, the chain skips the deleted one
        EXPECT_EQ(&oxMessages_c::instance(), newest);
        delete newest;
    }
    EXPECT_EQ(&oxMessages_c::instance(), &outer);
    // The exceptions report through it.
    boxes_.clear();
    oxInvalidIndex_c raised("..\\..\\oxKey", 97);
    (void)raised;
    expectBox(0, "..\\..\\oxKey::97\nA lookup by index, ID, name or key found nothing.",
              "Instrumentation Error");
}

TEST_F(oxMessagesTest, LanguageModuleTextsAndFormatting) {
    enterWithBoth();
    oxLanguageModule_c primary("oxLng.dll");
    oxLanguageModule_c missing("noSuchLng.dll");
    ASSERT_TRUE(primary.isLoaded());
    EXPECT_FALSE(missing.isLoaded());
    ASSERT_EQ(boxes_.count(), 1u);
    expectBox(0, "Unable to load language file : noSuchLng.dll", "OX Warning");

    EXPECT_STREQ(primary.loadText(oxMsgSourceHeader).text(), "%1!s!::%2!lu!\n");
    EXPECT_EQ(primary.loadText(oxMsgMifNameInstallRefused).length(), 0u) << "only in the OEM module";
    EXPECT_EQ(missing.loadText(oxMsgSourceHeader).length(), 0u);
    EXPECT_STREQ(primary.formatText(oxMsgSourceHeader, "src", 12u).text(), "src::12\n");
    EXPECT_STREQ(primary.formatText(oxMsgModuleFailed, oxString_c("m.dll")).text(),
                 withInsert(moduleText, "m.dll").c_str());
    // Failures leave the last text empty: too few inserts, or no text at all.
    EXPECT_EQ(primary.formatText(oxMsgSourceHeader, "src").length(), 0u);
    EXPECT_EQ(primary.formatText(oxMsgModuleFailed).length(), 0u);
    EXPECT_EQ(missing.formatText(oxMsgModuleFailed, "x").length(), 0u);
    // Texts without inserts format as they are.
    EXPECT_STREQ(primary.formatText(oxMsgInsufficientMemory).text(), memoryText.c_str());
}

} // namespace
