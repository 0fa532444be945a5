// The message object over its language modules (found in real folder layouts), the box each
// report and exception shows, and the language modules' own texts.
#include "framework/diag/oxMessages.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxLanguageModule.h"
#include "framework/diag/oxStatus.h"
#include "platform/oxpMessageBox.h"
#include "platform/oxpModule.h"
#include "tests/support/oxBoxRecorder.h"
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Texts = std::vector<std::string>;
const std::string error = "Instrumentation Error|",
                  moduleText = "The component module osComp.dll failed and was unloaded.",
                  memoryText = "There is not enough memory to complete the operation.";

// Both modules in the current folder, and an empty program folder: only the copies a test
// places are found (a module the system's search reaches would make the layouts meaningless).
class Messages : public testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(root / "program");
        oxp::seam::setProgramDirectory((root / "program").c_str());
        fs::current_path(root / "program");
        for (const char* name : {"oxLng.dll", "oxOemLng.dll"}) {
            ASSERT_EQ(oxp::loadModule(name), 0u) << name << " is reachable without a copy";
            place(name, "work");
        }
        fs::current_path(root / "work");
    }
    void TearDown() override {
        fs::current_path(saved);
        oxp::seam::setProgramDirectory("");
        fs::remove_all(root);
    }
    void place(const char* module, const fs::path& folder) {
        fs::create_directories(root / folder);
        fs::copy_file(fs::path(OX_BIN_DIR) / module, root / folder / module);
    }
    // The boxes since the last call as "title|text", each with the style every box has.
    Texts shown() {
        Texts texts;
        for (const oxRecordedBox& box : boxes.boxes()) {
            texts.push_back(box.title + "|" + box.text);
            EXPECT_EQ(box.style, oxp::mbOk | oxp::mbTopmost) << box.text;
        }
        boxes.clear();
        return texts;
    }

    fs::path root = fs::temp_directory_path() / ("oxdiag-" + std::to_string(getpid()));
    fs::path saved = fs::current_path();
    oxBoxRecorder boxes;
};

// The modules are found beside the current folder or in its parent; each one missing is warned
// about once, and reports then fall back to built-in titles and headers and a placeholder for
// what no module holds. Titles and headers come from the primary module only.
TEST_F(Messages, LanguageModulesAreFoundBesideOrAboveTheCurrentFolder) {
    const std::string warn = "OX Warning|Unable to load language file : ", oem = "OX Error|";
    const struct {
        const char *lng, *oem, *current; // folders holding the modules (null: none)
        Texts atStart, reports;
    } layouts[] = {
        {"work",
         "work",
         "work",
         {},
         {error + "..\\coxKern1::169\n" + moduleText, error + "..\\..\\oxType::58\n" + memoryText}},
        {"up",
         "up",
         "up/child",
         {},
         {error + "..\\coxKern1::169\n" + moduleText, error + "..\\..\\oxType::58\n" + memoryText}},
        {"else/deeper",
         nullptr,
         "work/child",
         {warn + "oxLng.dll", warn + "oxOemLng.dll"},
         {oem + "Unable to resolve resource id: 4097",
          oem + "Unable to resolve resource id: 4109"}},
        {nullptr,
         "work",
         "work",
         {warn + "oxLng.dll"},
         {oem + "..\\coxKern1::169\nOEM: component module osComp.dll stopped working.",
          oem + "Unable to resolve resource id: 4109"}},
    };
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.current);
        fs::remove_all(root / "work"), fs::remove_all(root / "up"), fs::remove_all(root / "else");
        for (auto [folder, module] :
             {std::pair{layout.lng, "oxLng.dll"}, {layout.oem, "oxOemLng.dll"}})
            if (folder)
                place(module, folder);
        fs::create_directories(root / layout.current);
        fs::current_path(root / layout.current);
        const bool both = layout.atStart.empty();
        {
            oxMessages_c messages;
            EXPECT_EQ(shown(), layout.atStart);
            EXPECT_EQ(
                std::string(messages.errorTitle().text()) + "|" + messages.warningTitle().text(),
                both ? "Instrumentation Error|Instrumentation Warning" : "OX Error|OX Warning");
            for (const char* module : {"oxLng.dll", "oxOemLng.dll"}) {
                const oxp::ModuleHandle h = both ? oxp::loadModule(module) : 0;
                EXPECT_TRUE(!both ||
                            fs::equivalent(oxp::moduleFileName(h), root / layout.lng / module));
                oxp::freeModule(h);
            }
            messages.reportNumbered("..\\coxKern1", 169, oxMsgModuleFailed, "osComp.dll");
            messages.reportNumbered("..\\..\\oxType", 58, oxMsgInsufficientMemory);
            messages.reportFormatted("..\\..\\oxMIFPar", 214, "Invalid 'mix' file format");
            Texts expected = layout.reports;
            expected.push_back((both ? error : oem) +
                               "..\\..\\oxMIFPar::214\nInvalid 'mix' file format");
            EXPECT_EQ(shown(), expected);
        }
        EXPECT_EQ(shown(), Texts{}) << "destruction shows nothing";
    }
}

// Each report, show and exception gives one box: the primary module's text wins, the OEM module
// fills its gaps, inserts come from texts, strings and numbers, and a text naming more inserts
// than given cannot be formatted.
TEST_F(Messages, EachReportAndExceptionShowsOneBoxFormattedFromTheModules) {
    oxMessages_c m;
    const oxString_c group("DMTF|Probe|001");
    const std::string groupText = "The group DMTF|Probe|001 could not be registered with the "
                                  "service provider.";
    const std::pair<std::function<void()>, std::string> rows[] = {
        {[&] { m.reportNumbered("kern", 8, oxMsgModuleFailed, "osComp.dll"); },
         "kern::8\n" + moduleText},
        {[&] { m.reportNumbered("kern", 93, oxMsgMifNameInstallRefused); },
         "kern::93\nThe service provider refused to install the component from the given MIF "
         "name."},
        {[&] { m.showNumbered(0x1FFF); }, "Unable to resolve resource id: 8191"},
        {[&] { m.reportNumberedText("base", 52, oxMsgGroupNotRegistered, group); },
         "base::52\n" + groupText},
        {[&] { m.reportText("kern", 169, oxString_c("osComp.dll")); }, "kern::169\n" + moduleText},
        {[&] { m.showNumbered(oxMsgMixInstallRefused, group); },
         "The service provider refused the component DMTF|Probe|001 named in the MIX file."},
        {[&] { m.reportNumbered("kern", 8, oxMsgModuleFailed); }, "Unable to format Message"},
        {[&] { m.showNumbered(oxMsgModuleFailed); }, "Unable to format Message"},
        {[&] { m.showNumbered(oxMsgModuleFailed, "osComp.dll"); }, moduleText},
        {[&] { m.reportFormatted("mif", 34, "Unable to locate %s\n", "Os.mif"); },
         "mif::34\nUnable to locate Os.mif\n"},
        {[&] { m.showFormatted("%d of %s", 3, "four"); }, "3 of four"},
        {[] { throw oxInsufficientMemory_c("type", 58); }, "type::58\n" + memoryText},
        {[] { throw oxInvalidIndex_c("key", 97); },
         "key::97\nA lookup by index, ID, name or key found nothing."},
        {[] { throw oxInvalidDirectory_c("dir", 86); },
         "dir::86\nThe instrumentation directory cannot be read or made current."},
        {[] { throw oxFatal_c("base", 52, oxMsgGroupNotRegistered, "DMTF|Probe|001"); },
         "base::52\n" + groupText},
        {[] { throw oxFatal_c("type", 367, "Invalid string length"); },
         "type::367\nInvalid string length"},
        {[] { throw oxFatal_c("mif", 34, "Unable to locate %s\n", "C:\\os.mif"); },
         "mif::34\nUnable to locate C:\\os.mif\n"},
    };
    for (const auto& [call, text] : rows) {
        try {
            call();
        } catch (...) {
        }
        EXPECT_EQ(shown(), Texts{error + text});
    }
    // Texts are cut at the end of the 512-byte buffer; one that fits exactly is kept whole.
    const std::string name(700, 'n');
    m.reportNumbered("kern", 1038, oxMsgModuleFailed, name.c_str());
    m.reportFormatted("kern", 1038, "%s", name.c_str());
    m.showFormatted("%s", name.c_str());
    m.reportFormatted(name.c_str(), 7, "after a long header");
    m.showFormatted("%s", std::string(511, 'e').c_str());
    EXPECT_EQ(shown(),
              (Texts{error + ("kern::1038\nThe component module " + name).substr(0, 511),
                     error + ("kern::1038\n" + name).substr(0, 511), error + name.substr(0, 511),
                     error + name.substr(0, 511), error + std::string(511, 'e')}));
}

TEST_F(Messages, TheNewestLiveObjectIsTheInstance) {
    oxMessages_c outer;
    auto* inner = new oxMessages_c;
    auto* newest = new oxMessages_c;
    EXPECT_EQ(&oxMessages_c::instance(), newest);
    delete inner; // out of order: the newest stays, the chain skips the deleted one
    EXPECT_EQ(&oxMessages_c::instance(), newest);
    delete newest;
    EXPECT_EQ(&oxMessages_c::instance(), &outer);
}

TEST_F(Messages, LanguageModulesLoadAndFormatTheirOwnTexts) {
    oxLanguageModule_c primary("oxLng.dll"), missing("noSuchLng.dll");
    EXPECT_TRUE(primary.isLoaded() && !missing.isLoaded());
    EXPECT_EQ(shown(), Texts{"OX Warning|Unable to load language file : noSuchLng.dll"});
    EXPECT_STREQ(primary.loadText(oxMsgSourceHeader).text(), "%1!s!::%2!lu!\n");
    EXPECT_STREQ(primary.formatText(oxMsgSourceHeader, "src", 12u).text(), "src::12\n");
    EXPECT_EQ(primary.formatText(oxMsgModuleFailed, oxString_c("osComp.dll")).text(), moduleText);
    EXPECT_EQ(primary.formatText(oxMsgInsufficientMemory).text(), memoryText);
    // Only in the OEM module, or no module; too few inserts, or no text: empty.
    EXPECT_EQ(primary.loadText(oxMsgMifNameInstallRefused).length() +
                  missing.loadText(oxMsgSourceHeader).length() +
                  primary.formatText(oxMsgSourceHeader, "src").length() +
                  primary.formatText(oxMsgModuleFailed).length() +
                  missing.formatText(oxMsgModuleFailed, "x").length(),
              0u);
}

} // namespace
