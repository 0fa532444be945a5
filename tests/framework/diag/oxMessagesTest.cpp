// Insert-style formatting (escapes, insert types, argument arrays and lists, refusals and
// bounds), then the message object over its language modules: the box each report and
// exception shows, and the language modules' own texts.
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxFormatMessage.h"
#include "framework/diag/oxLanguageModule.h"
#include "framework/diag/oxMessages.h"
#include "framework/diag/oxStatus.h"
#include "platform/oxpModule.h"
#include "tests/support/oxBoxRecorder.h"
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <chrono>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t fromString = oxFormatFlag::fromString;
constexpr std::uint32_t fromArray = fromString | oxFormatFlag::argumentArray;
using Error = oxFormatError;
using Formatted = std::tuple<std::uint32_t, std::string, Error>;

std::uintptr_t p(const char* s) {
    return reinterpret_cast<std::uintptr_t>(s);
}

// Result, text and error of one call into a buffer of size bytes; nothing may pass the buffer.
Formatted viaArray(const char* text, std::vector<std::uintptr_t> args, std::uint32_t size = 256,
                   std::uint32_t flags = fromArray) {
    std::vector<char> buffer(size + 1, '#');
    Error error = Error::none;
    const std::uint32_t n = oxFormatMessageArray(flags, text, buffer.data(), size,
                                                 static_cast<std::uint32_t>(args.size()),
                                                 args.empty() ? nullptr : args.data(), &error);
    EXPECT_EQ(buffer[size], '#') << "written past the buffer";
    return {n, buffer.data(), error};
}
// The variadic form, with the number of inserts given first.
Formatted viaList(std::uint32_t count, const char* text, ...) {
    char buffer[65] = {};
    Error error = Error::none;
    va_list args;
    va_start(args, text);
    const std::uint32_t n = oxFormatMessageV(fromString, text, buffer, 64, count, &args, &error);
    va_end(args);
    return {n, buffer, error};
}

// Each text with its inserts: the output, or the error and an empty buffer; output that does
// not fit is cut at the buffer end.
TEST(oxFormatMessage, ArrayInsertsEscapesRefusalsAndBounds) {
    constexpr Error invalid = Error::invalidParameter;
    constexpr std::uint32_t ignore = fromArray | oxFormatFlag::ignoreInserts;
    const struct {
        const char* text;
        std::vector<std::uintptr_t> args;
        std::string expected;
        Error error = Error::none;
        std::uint32_t flags = fromArray;
    } cases[] = {
        // clang-format off
        {"%1 and %2", {p("a"), p("b")}, "a and b"},
        {"%1!lu!|%2!lu!", {4294967295u, 0x100000005}, "4294967295|5"},
        {"%1!d!/%2!ld!", {static_cast<std::uintptr_t>(-7), 0xFFFFFFFEu}, "-7/-2"},
        {"%1!x! %1!X! %1!lx! %1!#x! %2!llx!", {0xBEEF, 0x1F}, "beef BEEF beef 0xbeef 1f"},
        {"%1!Iu! %2!o! %3!c!", {4000000000, 8u, 'Z'}, "4000000000 10 Z"},
        {"[%1!5lu!][%2!-4s!]", {42u, p("ab")}, "[   42][ab  ]"},
        {"[%1!08X!][%2!.2s!]", {0xABu, p("abcdef")}, "[000000AB][ab]"},
        {"%1!hs! %2!hu!", {p("h"), 0x10005u}, "h 5"},
        {"%10|%100", {p("one"), 2, 3, 4, 5, 6, 7, 8, 9, p("ten")}, "ten|ten0"},
        {"<%1>", {0}, "<(null)>"},
        {"100%% %. %! % x", {}, "100% . !  x"},
        {"a%nb%tc%rd", {}, "a\nb\tc\rd"},
        {"kept%0dropped %5", {}, "kept"},
        {"a\r\nb\nc\rd%ne", {}, "a b c d\ne", Error::none, fromArray | oxFormatFlag::maxWidthMask},
        // Ignoring inserts copies every insert and '%' pair as written; %0, %n, %r and %t act.
        {"%1!lu! of %2%n%%% %.%!%r%t%3!*s!%1!x%0gone", {},
         "%1!lu! of %2\n%%% %.%!\r\t%3!*s!%1!x", Error::none, ignore},
        {"50%", {}, "", invalid, ignore},
        {"%1!p!", {0xAB}, sizeof(void*) == 8 ? "00000000000000AB" : "000000AB"},
        {"%1 %2", {p("a")}, "", Error::missingInsert},
        {"50%", {}, "", invalid},
        {"%1!*s!", {}, "", invalid},
        {"%1!!", {}, "", invalid},
        {"%1!f!", {}, "", invalid},
        {"%1!ls!", {}, "", invalid},
        {"%1!#s!", {}, "", invalid},
        {"x", {}, "", invalid, oxFormatFlag::argumentArray},
        {"line width", {}, "", invalid, fromArray | 40},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(viaArray(c.text, c.args, 256, c.flags),
                  Formatted(c.expected.size(), c.expected, c.error))
            << c.text;
    char buffer[16] = "unchanged";
    EXPECT_EQ(oxFormatMessageArray(fromArray, "x", buffer, 0, 0, nullptr), 0u);
    EXPECT_STREQ(buffer, "unchanged") << "a zero size writes nothing";
    EXPECT_EQ(oxFormatMessageArray(fromArray, nullptr, buffer, 16, 0, nullptr) +
                  oxFormatMessageArray(fromArray, "x", nullptr, 16, 0, nullptr),
              0u);
    // "abc-12345-xyz" is 13 characters: it needs 14 bytes; less keeps what fits.
    for (std::uint32_t size = 1; size <= 14; ++size)
        EXPECT_EQ(viaArray("abc-%1!lu!-%2", {12345u, p("xyz")}, size),
                  size == 14 ? Formatted(13, "abc-12345-xyz", Error::none)
                             : Formatted(0, std::string("abc-12345-xyz").substr(0, size - 1),
                                         Error::insufficientBuffer))
            << size;
}

// Inserts are read in insert order with their types, not in the order the text names them; a
// repeat reads nothing more, a skipped one is read as one pointer-sized value, extra ones are
// left unread; fewer given than named: nothing is read and nothing written.
TEST(oxFormatMessage, ListReadsEachInsertWithItsTypeInInsertOrder) {
    EXPECT_EQ(viaList(4, "%1!s! %2!lu! %3!I64d! %4!c!", "txt", 7u, 123456789012LL, 'q'),
              Formatted(20, "txt 7 123456789012 q", Error::none));
    EXPECT_EQ(std::get<1>(viaList(3, "%3!d!,%1!s!,%3!d!,%2!I64u!", "first", ~0ULL, -3)),
              "-3,first,-3,18446744073709551615");
    EXPECT_EQ(std::get<1>(viaList(3, "%1!s!%3!s!", "a", static_cast<void*>(nullptr), "c")) +
                  std::get<1>(viaList(2, "|only %1", "this", "unused")),
              "ac|only this");
    EXPECT_EQ(viaList(1, "%1 and %2", "a", "b"), Formatted(0, "", Error::missingInsert));
    // The array flag and a missing list are refused, unless nothing is inserted.
    char buffer[16];
    EXPECT_EQ(oxFormatMessageV(fromArray, "x", buffer, 16, 0, nullptr) +
                  oxFormatMessageV(fromString, "%1", buffer, 16, 1, nullptr),
              0u);
    EXPECT_EQ(oxFormatMessageV(fromString, "no inserts", buffer, 16, 0, nullptr), 10u);
}

// Uses of one insert agree when they read the same kind of argument (a text, a 32-bit, 64-bit
// or pointer-sized number); any other mix is refused before an argument is read, in both forms.
TEST(oxFormatMessage, UsesOfOneInsertMustReadOneKindOfArgument) {
    // clang-format off
    const std::pair<const char*, std::string> rows[] = {
        {"%1!c!%1!u! %1!-3d!|%1!X!", "A65 65 |41"}, {"%2 %2!s! %2!.1s!", "bc bc b"},
        {"%1!I64u! %1!llx!", "65 41"},            {"%1!Iu! %1!Ix!", "65 41"},
        {"%1!c!%1", ""},      {"%2!s! %2!p!", ""},  {"%1!lu!%1!I64u!", ""},
        {"%1!u! %1!Iu!", ""}, {"%1!I64u!%1!p!", ""}, {"%1 %2!lu!%2", ""}};
    // clang-format on
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(viaArray(text, {65, p("bc")}),
                  Formatted(expected.size(), expected,
                            expected.empty() ? Error::conflictingInsert : Error::none))
            << text;
    EXPECT_EQ(viaList(1, "%1!c!%1", 'x'), Formatted(0, "", Error::conflictingInsert));
    // Refused flags leave an empty text too.
    char buffer[16] = "unchanged";
    EXPECT_EQ(oxFormatMessageV(fromArray, "x", buffer, 16, 0, nullptr), 0u);
    EXPECT_STREQ(buffer, "");
}

using Texts = std::vector<std::string>;
const std::string error = "Instrumentation Error|",
                  moduleText = "The component module osComp.dll failed and was unloaded.";

// Both modules in the current folder, and an empty program folder: only the copies a test
// places are found.
class Messages : public testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(root / "program");
        fs::create_directories(root / "work/child");
        oxp::seam::setProgramDirectory((root / "program").string().c_str());
        for (const char* module : {"oxLng.dll", "oxOemLng.dll"})
            fs::copy_file(fs::path(OX_BIN_DIR) / module, root / "work" / module);
        fs::current_path(root / "work");
    }
    void TearDown() override {
        fs::current_path(saved);
        oxp::seam::setProgramDirectory("");
        fs::remove_all(root);
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

    fs::path root = fs::temp_directory_path() /
                    ("oxdiag-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::path saved = fs::current_path();
    oxBoxRecorder boxes;
};

// Each report, show and exception gives one box: the primary module's text wins, the OEM module
// fills its gaps, inserts come from texts, strings (read to their length) and numbers, and a
// text naming more inserts than given, or reading a number as a text, cannot be formatted.
// Texts are cut at the end of the 512-byte buffer.
TEST_F(Messages, EachReportAndExceptionShowsOneBoxFormattedFromTheModules) {
    oxMessages_c m;
    const std::string name(700, 'n');
    const oxString_c counted(40, name.c_str());
    const oxString_c copied(counted); // 40 bytes, no terminator
    const std::pair<std::function<void()>, std::string> rows[] = {
        // clang-format off
        {[&] { m.reportNumbered("kern", 8, oxMsgModuleFailed, "osComp.dll"); }, "kern::8" + oxBoxLineBreak + moduleText},
        {[&] { m.reportNumbered("kern", 93, oxMsgMifNameInstallRefused); },
         "kern::93" + oxBoxLineBreak + "The service provider refused to install the component from the given MIF name."},
        {[&] { m.showNumbered(0x1FFF); }, "Unable to resolve resource id: 8191"},
        {[&] { m.reportText("kern", 169, oxString_c("osComp.dll")); }, "kern::169" + oxBoxLineBreak + moduleText},
        {[&] { m.showNumbered(oxMsgMixInstallRefused, oxString_c("DMTF|Probe|001")); },
         "The service provider refused the component DMTF|Probe|001 named in the MIX file."},
        {[&] { m.reportNumbered("kern", 8, oxMsgModuleFailed); }, "Unable to format Message"},
        {[&] { m.reportNumbered("kern", 8, oxMsgModuleFailed, 5u); }, "Unable to format Message"},
        {[&] { m.reportText("kern", 169, copied); },
         "kern::169" + oxBoxLineBreak + "The component module " + name.substr(0, 40) + " failed and was unloaded."},
        {[] { throw oxInsufficientMemory_c("type", 58); },
         "type::58" + oxBoxLineBreak + "There is not enough memory to complete the operation."},
        {[] { throw oxInvalidIndex_c("key", 97); },
         "key::97" + oxBoxLineBreak + "A lookup by index, ID, name or key found nothing."},
        {[] { throw oxInvalidDirectory_c("dir", 86); },
         "dir::86" + oxBoxLineBreak + "The instrumentation directory cannot be read or made current."},
        {[] { throw oxFatal_c("base", 52, oxMsgGroupNotRegistered, "DMTF|Probe|001"); },
         "base::52" + oxBoxLineBreak + "The group DMTF|Probe|001 could not be registered with the service provider."},
        {[] { throw oxFatal_c("type", 367, "Invalid string length"); }, "type::367" + oxBoxLineBreak + "Invalid string length"},
        {[] { throw oxFatal_c("mif", 34, "Unable to locate %s\n", "C:\\os.mif"); },
         "mif::34" + oxBoxLineBreak + "Unable to locate C:\\os.mif\n"},
        {[&] { m.reportNumbered("kern", 1038, oxMsgModuleFailed, name.c_str()); },
         ("kern::1038" + oxBoxLineBreak + "The component module " + name).substr(0, 511)},
        {[&] { m.reportFormatted(name.c_str(), 7, "after a long header"); }, name.substr(0, 511)},
        {[&] { m.showFormatted("%s", std::string(511, 'e').c_str()); }, std::string(511, 'e')},
        // clang-format on
    };
    for (const auto& [call, text] : rows) {
        try {
            call();
        } catch (...) {
        }
        EXPECT_EQ(shown(), Texts{error + text});
    }
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

// A module is found in the current folder or its parent, else warned about. Its texts formatted
// with inserts; a text only the other module holds, a module not loaded, too few inserts or one
// of another kind than its text reads give an empty text.
TEST_F(Messages, LanguageModulesLoadAndFormatTheirOwnTexts) {
    fs::current_path(root / "work/child");
    oxLanguageModule_c primary("oxLng.dll"), missing("noSuchLng.dll");
    EXPECT_EQ(shown(), Texts{"OX Warning|Unable to load language file : noSuchLng.dll"});
    EXPECT_EQ(primary.formatText(oxMsgModuleFailed, oxString_c("osComp.dll")).text(), moduleText);
    EXPECT_EQ(primary.loadText(oxMsgMifNameInstallRefused).length() +
                  missing.loadText(oxMsgSourceHeader).length() +
                  primary.formatText(oxMsgSourceHeader, "src").length() +
                  primary.formatText(oxMsgModuleFailed).length() +
                  primary.formatText(oxMsgModuleFailed, 7u).length() +
                  missing.formatText(oxMsgModuleFailed, "x").length(),
              0u);
}

} // namespace
