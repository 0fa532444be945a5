// The MIX reader: the language and name values of 8-bit and UTF-16LE files, and the one box of
// a file that cannot be opened or walked.
#include "framework/model/oxMIFParser.h"
#include "oxModelFixture.h"
#include <filesystem>
#include <fstream>
#include <random>

namespace {
namespace fs = std::filesystem;
constexpr const char* invalidFormat = "Invalid 'mix' file format";

// The text as 8-bit bytes (each unit cut to its low byte), or as UTF-16LE bytes with the mark.
std::string bytesOf(const std::u16string& text, bool wide, bool mark = true) {
    std::string bytes = wide && mark ? std::string("\xFF\xFE", 2) : std::string();
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        if (wide)
            bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}
oxString_c stringOf(const std::u16string& text, bool wide) {
    return wide ? oxString_c(text.c_str()) : oxString_c(bytesOf(text, false).c_str());
}

class oxMIFParserTest : public oxModelTest {
  protected:
    void SetUp() override {
        oxModelTest::SetUp();
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    oxString_c write(const std::string& bytes, const char* name = "test.mix") {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return oxString_c((dir / name).string().c_str());
    }
    // Reads the file; true when both values were read. The status is never touched.
    bool read(const std::string& bytes) {
        oxMIFParser_c parser(write(bytes));
        oxStatus_t status = 0x1234;
        bool done = true;
        try {
            parser.readLanguageAndName(language, name, &status);
            EXPECT_EQ(boxes.count(), 0u);
        } catch (const oxFatal_c&) {
            expectOneBox(oxMIFParserSource, 214, invalidFormat);
            done = false;
        }
        EXPECT_EQ(status, 0x1234u);
        return done;
    }

    const fs::path dir =
        fs::temp_directory_path() / ("oxmix-" + std::to_string(std::random_device{}()));
    oxString_c language, name;
};

// Every case is read as an 8-bit file and as a UTF-16LE file with the mark.
TEST_F(oxMIFParserTest, ReadsTheFirstLanguageAndTheNameAfterIt) {
    const std::u16string longWord(300, u'x');
    const std::tuple<std::u16string, std::u16string, std::u16string> cases[] = {
        {u"Language = \"en|US|iso8859-1\"\r\nName = \"Os.mif\"\n", u"en|US|iso8859-1", u"Os.mif"},
        {u"\tLanguage\t=\t\"de\"\r\n\r\nName =\r\n\"n\"", u"de", u"n"},
        {u"Name = \"a\"\nLanguage = \"en\"\nName = \"b\"\nName = \"c\"", u"en", u"b"},
        {u"Languages = \"fr\" Names = \"x\"\n", u"fr", u"x"},         // a longer word matches
        {u"Language= \"en\" \"fr\"\nName=\"a\" \"b\"\n", u"fr", u"b"}, // '=' after a word is lost
        {u"/ Language = \"no\" \"\n// Name = \"no\"\nLanguage = \"en\" Name = \"/\"", u"en", u"/"},
        {u"Language = \"\" Name = \"\"", u"", u""},
        {u"Language : \"en\" Name 7 \"n\"", u"en", u"n"}, // the token between is not compared
        {u"9Language9 = \"en\" 9Name9 = \"n\"", u"en", u"n"}, // digits end words
        {u"\u00e9Language = \"caf\u00e9\" \uFFFEName = \"n\"", u"caf\u00e9", u"n"}, // high units
        {u"\u00fe\u00ffLanguage = \"en\" Name = \"n\"", u"en", u"n"}, // FE FF is no mark
        {longWord + u" Language = \"" + longWord + u"\" Name = \"n\"", longWord, u"n"},
    };
    for (const auto& [file, lang, nm] : cases)
        for (bool wide : {false, true}) {
            SCOPED_TRACE(::testing::Message() << bytesOf(file, false) << (wide ? ", wide" : ""));
            ASSERT_TRUE(read(bytesOf(file, wide)));
            EXPECT_TRUE(language.isWide() == wide && name.isWide() == wide);
            EXPECT_TRUE(language == stringOf(lang.substr(0, wide ? 255 : 258), wide)); // cut
            EXPECT_TRUE(name == stringOf(nm, wide));
        }
}

TEST_F(oxMIFParserTest, MalformedFilesRaiseInvalidFormatKeepingWhatWasRead) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"", u"old"}, {u"Name = \"n\"\n", u"old"}, {u"Language = ", u"old"},
        {u"Language = \"en\nName = \"n", u"en\nName = "}, // the quote closes in the name
        {u"Language = \"en\" / Name = \"n\"", u"en"},      // a comment to the end
        {u"Language = \"en\" Nam = \"n\"", u"en"}};
    for (const auto& [file, lang] : cases)
        for (bool wide : {false, true}) {
            SCOPED_TRACE(::testing::Message() << bytesOf(file, false) << (wide ? ", wide" : ""));
            language = name = oxString_c("old");
            EXPECT_FALSE(read(bytesOf(file, wide)));
            EXPECT_TRUE(language == (lang == u"old" ? oxString_c("old") : stringOf(lang, wide)));
            EXPECT_TRUE(name == oxString_c("old"));
        }
    // One byte; 16-bit text without the mark (NULs split every word); a unit whose low byte
    // is a letter; half a code unit.
    for (const std::string& file :
         {std::string("L"), bytesOf(u"Language = \"en\" Name = \"n\"", true, false),
          bytesOf(u"Lan\u0167uage = \"en\" Name = \"n\"", true),
          bytesOf(u"Language = \"en\" Name = \"n", true) + "\""})
        EXPECT_FALSE(read(file));
}

TEST_F(oxMIFParserTest, FileNames) {
    oxLiveAllocations live;
    const std::string missing = (dir / "absent.mix").string();
    EXPECT_THROW(oxMIFParser_c{oxString_c(missing.c_str())}, oxFatal_c);
    expectOneBox(oxMIFParserSource, 34, ("Unable to locate MIF File " + missing).c_str());
    EXPECT_THROW(oxMIFParser_c{oxString_c((dir / "absent16.mix").u16string().c_str())}, oxFatal_c);
    expectOneBox(oxMIFParserSource, 34, "absent16.mix");
    EXPECT_THROW(oxMIFParser_c{oxString_c()}, oxFatal_c);
    expectOneBox(oxMIFParserSource, 34, "Unable to locate MIF File \n");
    EXPECT_EQ(live.leaked(), 0);
    write("Language = \"en\" Name = \"w\"", "wide.mix"); // a 16-bit name
    oxMIFParser_c(oxString_c((dir / "wide.mix").u16string().c_str()))
        .readLanguageAndName(language, name, nullptr);
    EXPECT_TRUE(language == oxString_c("en") && name == oxString_c("w"));
}
} // namespace
