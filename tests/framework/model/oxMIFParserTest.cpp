#include "framework/model/oxMIFParser.h"
#include "framework/diag/oxExceptions.h"
#include "oxModelFixture.h"
#include <filesystem>
#include <fstream>
#include <random>

namespace {
namespace fs = std::filesystem;
constexpr const char* invalidFormat = "Invalid 'mix' file format";

// The bytes of an 8-bit text as UTF-16LE, with or without the mark FF FE.
std::string utf16(const std::u16string& text, bool mark = true) {
    std::string bytes = mark ? std::string("\xFF\xFE", 2) : std::string();
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::string narrowOf(const oxString_c& s) {
    return s.length() ? std::string(s.text()) : std::string();
}

class oxMIFParserTest : public oxModelTest {
  protected:
    void SetUp() override {
        oxModelTest::SetUp();
        dir = fs::temp_directory_path() / ("oxmix-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    oxString_c write(const std::string& bytes, const char* name = "test.mix") {
        fs::path file = dir / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return oxString_c(file.string().c_str());
    }

    // Reads the file; true when both values were read. The status must stay untouched.
    bool read(const std::string& bytes) {
        oxMIFParser_c parser(write(bytes));
        oxStatus_t status = 0x1234;
        try {
            parser.readLanguageAndName(language, name, &status);
        } catch (const oxFatal_c&) {
            EXPECT_EQ(status, 0x1234u);
            expectOneBox(oxMIFParserSource, 214, invalidFormat);
            return false;
        }
        EXPECT_EQ(status, 0x1234u);
        EXPECT_EQ(boxes.count(), 0u);
        return true;
    }

    fs::path dir;
    oxString_c language;
    oxString_c name;
};

struct NarrowCase {
    const char* what;
    std::string file;
    std::string language;
    const char* name;
};

TEST_F(oxMIFParserTest, Reads8BitFiles) {
    const std::string longWord(300, 'x');
    const NarrowCase cases[] = {
        {"plain", "Language = \"en|US|iso8859-1\"\nName = \"Os.mif\"\n", "en|US|iso8859-1", "Os.mif"},
        {"crlf and tabs", "\tLanguage\t=\t\"de\"\r\n\r\nName =\r\n\"n\"\r\n", "de", "n"},
        {"name before language skipped",
         "Name = \"early\"\nLanguage = \"en\"\nName = \"late\"\nName = \"later\"\n", "en", "late"},
        {"longer keyword matches", "Languages = \"fr\" Names = \"x\"\n", "fr", "x"},
        {"glued equals is lost", "Language= \"en\" \"fr\"\nName=\"a\" \"b\"\n", "fr", "b"},
        {"comment with quotes skipped",
         "/ Language = \"no\" \"\n// Name = \"no\"\nLanguage = \"en\"\nName = \"n\"\n", "en", "n"},
        {"slash in quotes kept", "Language = \"a/b\" Name = \"c//d\"\n", "a/b", "c//d"},
        {"quote spans lines", "Language = \"one\ntwo\" Name = \"x\"\n", "one\ntwo", "x"},
        {"empty values", "Language = \"\" Name = \"\"", "", ""},
        {"token between is not compared", "Language : \"en\" Name 7 \"n\"", "en", "n"},
        {"digits end words", "9Language9 = \"en\" 9Name9 = \"n\"", "en", "n"},
        {"high bytes belong to no class", "\xE9Language = \"caf\xE9\" Name = \"n\"", "caf\xE9", "n"},
        {"FE FF is no mark", "\xFE\xFFLanguage = \"en\" Name = \"n\"", "en", "n"},
        {"long word skipped", longWord + " Language = \"en\" Name = \"n\"", "en", "n"},
        {"long value cut to 258", "Language = \"" + longWord + "\" Name = \"n\"", longWord.substr(0, 258), "n"},
        {"mif source", "Start Component\n  Name = \"Os.mif\"\n  Description = \"a \"\n"
                       "Start Path\n Language = \"en|US|iso8859-1\"\nEnd\n"
                       "Start Group Name = \"ComponentID\" Class = \"DMTF|ComponentID|001\"\n",
         "en|US|iso8859-1", "ComponentID"},
    };
    for (const NarrowCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(read(c.file));
        EXPECT_FALSE(language.isWide());
        EXPECT_EQ(narrowOf(language), c.language);
        EXPECT_EQ(narrowOf(name), c.name);
    }
}

TEST_F(oxMIFParserTest, ReadsUtf16FilesWithTheMark) {
    const std::u16string longValue(300, u'w');
    const std::tuple<std::u16string, std::u16string, std::u16string> cases[] = {
        {u"Language = \"en|US|iso8859-1\"\r\nName = \"Os.mif\"\r\n", u"en|US|iso8859-1", u"Os.mif"},
        // Units of 128 and above: kept inside quotes, of no class outside them.
        {u"\u4e2dLanguage = \"\u00e9\u4e2d\" \u0141Name = \"/\" / Name = \"no\"\n", u"\u00e9\u4e2d", u"/"},
        {u"Language = \"" + longValue + u"\" Name = \"\"", longValue.substr(0, 255), u""},
    };
    for (const auto& [file, lang, nm] : cases) {
        ASSERT_TRUE(read(utf16(file)));
        EXPECT_TRUE(language.isWide() && name.isWide());
        EXPECT_TRUE(language == oxString_c(lang.c_str()));
        EXPECT_TRUE(name == oxString_c(nm.c_str()));
    }
}

TEST_F(oxMIFParserTest, MalformedFilesRaiseInvalidFormat) {
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"one byte", "L"},
        {"no language", "Name = \"n\"\n"},
        {"language keyword last", "Language"},
        {"language value missing", "Language = "},
        {"unclosed quote", "Language = \"en\nName = \"n"},
        {"comment on last line", "Language = \"en\" / Name = \"n\""},
        {"utf16 without mark: NULs split every word", utf16(u"Language = \"en\" Name = \"n\"", false)},
        {"low byte of a unit is no letter", utf16(u"Lan\u0167uage = \"en\" Name = \"n\"")},
        {"mark only", utf16(u"")},
        {"utf16 half unit", utf16(u"Language = \"en\" Name = \"n") + "\""},
        {"utf16 comment to end", utf16(u"/ Language = \"en\" Name = \"n\"")},
    };
    for (const auto& [what, file] : cases) {
        SCOPED_TRACE(what);
        language = oxString_c("old");
        name = oxString_c("old");
        EXPECT_FALSE(read(file));
        EXPECT_EQ(narrowOf(name), "old");
    }
    // A value already read stays.
    EXPECT_FALSE(read("Language = \"en\" Nam = \"n\""));
    EXPECT_EQ(narrowOf(language), "en");
    EXPECT_FALSE(read(utf16(u"Language = \"de\" Name = ")));
    EXPECT_TRUE(language == oxString_c(u"de"));
    EXPECT_EQ(narrowOf(name), "old");
}

TEST_F(oxMIFParserTest, TokensAndModes) {
    // The constructor consumed "  " as the mark; without readLanguageAndName's rewind the
    // walk goes on from there.
    oxMIFParser_c parser(write("  abc= \"q r\"/c\n+x"));
    EXPECT_FALSE(parser.isUnicode());
    for (const char* expected : {"abc", "q r", "", ""}) { // '=' lost, comment, '+'
        parser.nextToken();
        EXPECT_STREQ(parser.token8(), expected);
    }
    EXPECT_THROW(parser.nextToken(), oxFatal_c); // "x" then the end of the file
    expectOneBox(oxMIFParserSource, 214, invalidFormat);

    oxMIFParser_c wide(write(utf16(u"= ab"), "wide.mix"));
    EXPECT_TRUE(wide.isUnicode());
    wide.nextToken();
    EXPECT_EQ(std::u16string(wide.token16()), u"=");
    EXPECT_THROW(wide.nextToken(), oxFatal_c);
    EXPECT_EQ(std::u16string(wide.token16()), u"ab"); // what was read, still terminated
    expectOneBox(oxMIFParserSource, 214, invalidFormat);
}

TEST_F(oxMIFParserTest, FileNames) {
    oxLiveAllocations live;
    const std::string missing = (dir / "absent.mix").string();
    EXPECT_THROW(oxMIFParser_c parser{oxString_c(missing.c_str())}, oxFatal_c);
    expectOneBox(oxMIFParserSource, 34, ("Unable to locate MIF File " + missing).c_str());
    EXPECT_THROW(oxMIFParser_c parser{oxString_c((dir / "absent16.mix").u16string().c_str())},
                 oxFatal_c);
    expectOneBox(oxMIFParserSource, 34, "absent16.mix");
    EXPECT_THROW(oxMIFParser_c parser{oxString_c()}, oxFatal_c);
    expectOneBox(oxMIFParserSource, 34, "Unable to locate MIF File \n");
    EXPECT_EQ(live.leaked(), 0);

    // A 16-bit name, and a name relative to the current directory.
    write("Language = \"en\" Name = \"w\"", "wide.mix");
    oxMIFParser_c parser(oxString_c((dir / "wide.mix").u16string().c_str()));
    parser.readLanguageAndName(language, name, nullptr);
    EXPECT_EQ(narrowOf(name), "w");
    const fs::path previous = fs::current_path();
    fs::current_path(dir);
    oxMIFParser_c relative(oxString_c("wide.mix"));
    fs::current_path(previous);
    relative.readLanguageAndName(language, name, nullptr);
    EXPECT_EQ(narrowOf(language), "en");

    // A directory opens on some platforms but holds no text: the walk ends at once.
    fs::create_directories(dir / "sub.mix");
    try {
        oxMIFParser_c folder(oxString_c((dir / "sub.mix").string().c_str()));
        EXPECT_THROW(folder.readLanguageAndName(language, name, nullptr), oxFatal_c);
        expectOneBox(oxMIFParserSource, 214, invalidFormat);
    } catch (const oxFatal_c&) {
        expectOneBox(oxMIFParserSource, 34, "sub.mix");
    }
}
} // namespace
