// The MIX reader: the language and name values of 8-bit and UTF-16LE files, and the one box of
// a file that cannot be opened or walked.
#include "framework/model/oxMIFParser.h"
#include "oxModelFixture.h"
#include <filesystem>
#include <fstream>
#include <random>

namespace {
namespace fs = std::filesystem;

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

class oxMIFParserTest : public oxModelTest {
  protected:
    void TearDown() override { fs::remove_all(dir); }
    oxString_c write(const std::string& bytes, const char* name = "test.mix") {
        fs::create_directories(dir);
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return oxString_c((dir / name).string().c_str());
    }
    // Reads the file; true when both values were read (the status untouched), false on the box.
    bool read(const std::string& bytes) {
        oxMIFParser_c parser(write(bytes));
        oxStatus_t status = 0x1234;
        try {
            parser.readLanguageAndName(language, name, &status);
        } catch (const oxFatal_c&) {
            expectOneBox(oxMIFParserSource, 214, "Invalid 'mix' file format");
            return false;
        }
        EXPECT_TRUE(status == 0x1234u && boxes.count() == 0);
        return true;
    }
    const fs::path dir =
        fs::temp_directory_path() / ("oxmix-" + std::to_string(std::random_device{}()));
    oxString_c language, name;
};

// Every file is read as 8-bit and as UTF-16LE with the mark. A malformed one raises the box
// and keeps what was read; "old" stands for a value left as it was.
TEST_F(oxMIFParserTest, ReadsTheFirstLanguageAndTheNameAfterIt) {
    const std::u16string longWord(300, u'x');
    // clang-format off
    const std::tuple<std::u16string, std::u16string, std::u16string> cases[] = {
        {u"Language = \"en|US|iso8859-1\"\r\nName = \"Os.mif\"\n", u"en|US|iso8859-1", u"Os.mif"},
        {u"\tLanguage\t=\t\"de\"\r\n\r\nName =\r\n\"n\"", u"de", u"n"},
        {u"Name = \"a\"\nLanguage = \"en\"\nName = \"b\"\nName = \"c\"", u"en", u"b"},
        {u"Languages = \"fr\" Names = \"x\"\n", u"fr", u"x"},         // a longer word matches
        {u"Language= \"en\" \"fr\"\nName=\"a\" \"b\"\n", u"fr", u"b"}, // '=' after a word is lost
        {u"/ Language = \"no\" \"\n// Name = \"no\"\nLanguage = \"en\" Name = \"/\"", u"en", u"/"},
        {u"Language = \"\" Name = \"\"", u"", u""},
        {u"Language : \"en\" Name 7 \"n\"", u"en", u"n"},     // the token between is not compared
        // Units above 127 belong to no class; FE FF at the start is no mark.
        {u"\u00e9Language = \"caf\u00e9\" \uFFFEName = \"n\"", u"caf\u00e9", u"n"},
        {u"\u00fe\u00ffLanguage = \"en\" Name = \"n\"", u"en", u"n"},
        {longWord + u" Language = \"" + longWord + u"\" Name = \"n\"", longWord, u"n"}, // cut
        {u"", u"old", u"old"}, {u"Name = \"n\"\n", u"old", u"old"}, {u"Language = ", u"old", u"old"},
        {u"Language = \"en\nName = \"n", u"en\nName = ", u"old"}, // the quote closes in the name
        {u"Language = \"en\" / Name = \"n\"", u"en", u"old"},      // a comment to the end
        {u"Language = \"en\" Nam = \"n\"", u"en", u"old"},
    };
    // clang-format on
    for (const auto& [file, lang, nm] : cases)
        for (bool wide : {false, true}) {
            SCOPED_TRACE(::testing::Message() << bytesOf(file, false) << (wide ? ", wide" : ""));
            const auto expected = [wide](const std::u16string& text) {
                if (text == u"old")
                    return oxString_c("old");
                return wide ? oxString_c(text.substr(0, 255).c_str())
                            : oxString_c(bytesOf(text.substr(0, 258), false).c_str());
            };
            language = name = oxString_c("old");
            EXPECT_EQ(read(bytesOf(file, wide)), nm != u"old");
            EXPECT_TRUE(language == expected(lang) && name == expected(nm));
            EXPECT_TRUE(nm == u"old" || (language.isWide() == wide && name.isWide() == wide));
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
