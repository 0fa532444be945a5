// The MIF reader: enumerations, tables, value forms, text encodings, and errors that name the
// file, the line and what was expected.
#include "sp/oxMifReader.h"
#include "tests/sp/oxSpTestFolder.h"
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(oxMifReaderTest, ReadsEnumerationsTablesAndValueForms) {
    const oxMifComponent c = oxMifReader_c::parseComponent(R"(Language = "en|US|iso8859-1"
// a comment line
Start Component Name = "Disk Drives"   // trailing comment
  Start Enum Name = "Media" Type = Integer 1 = "Fixed" 2 = "Removable" End Enum
  Start Path Name = "diskComp" Win32 = "diskComp.dll" End Path
  Start Group Name = "Drive" Class = "ACME|Drive|001" Key = 1 Start Attribute Name = "Index" ID = 1
    Type = Integer Value = 0 End Attribute Start Attribute Name = "Media" ID = 2 Type = "Media"
    Value = "Removable" End Attribute Start Attribute Name = "Label" ID = 3 Type = String(8)
    Access = Read-Write Storage = Specific Value = *"diskComp" End Attribute
    Start Attribute Name = "Blocks" ID = 4 Type = Counter64 Value = 0x10 End Attribute End Group
  Start Table Name = "Drives" Class = "ACME|Drive|001" ID = 7 {1, "Fixed", "sys"} {2, , "data", 99}
  End Table
End Component)", "disk.mif");
    EXPECT_EQ(c.language, "en|US|iso8859-1");
    ASSERT_EQ(c.groups.size(), 1u); // the template is replaced by the table's copy
    const oxMifGroup& g = c.groups[0];
    EXPECT_EQ(std::tuple(g.id, g.name, g.keys), std::tuple(7u, "Drives", std::vector<std::uint32_t>{1}));
    // The enumeration's text became its number.
    EXPECT_EQ(std::tuple(g.attributes[1].type, g.attributes[1].value, g.attributes[3].value),
              std::tuple(oxMifType_e::integer, "2", "16"));
    const oxMifAttribute& label = g.attributes[2];
    EXPECT_EQ(std::tuple(label.access, label.storage, label.maxLength),
              std::tuple("Read-Write", "Specific", 8u));
    // An omitted value is the template's.
    EXPECT_EQ(g.rows, (std::vector<oxMifRow>{{"1", "1", "sys", "16"}, {"2", "2", "data", "99"}}));
}

// One attribute per case in a MIF with a path block, no Language statement and a DOS end.
TEST(oxMifReaderTest, ReadsEveryLiteralAndNumberForm) {
    const struct { const char* type; std::string value, stored; } cases[] = {
        // clang-format off
        {"String(64)", R"("Manufacturer of this" "component.")", "Manufacturer of thiscomponent."},
        {"String(64)", "\"a\" // between\n  \"b\"", "ab"},
        {"String(9)", R"("a\tb")", "a\tb"},
        {"String(9)", R"("\x41BC")", "ABC"},
        {"String(9)", R"("\101BC")", "ABC"},
        {"String(9)", R"("\a\b\f\n\r\v\\\"\xe9")", "\a\b\f\n\r\v\\\"\xC3\xA9"},
        {"String(4)", "\"Caf\xE9\"", "Caf\xC3\xA9"},           // ISO 8859-1: four characters
        {"String(5)", "\"Caf\xC3\xA9\"", "Caf\xC3\x83\xC2\xA9"}, // never taken for UTF-8
        {"Integer", "0777", "511"},
        {"Integer", "-010", "-8"},
        {"Integer", "0", "0"},
        {"Integer64", "-0x10", "-16"},
        {"Date", R"("20261203123456.123456-300")", "20261203123456.123456-300"},
        {"Date", R"("2026****123456.******+000")", "2026****123456.******+000"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const oxMifComponent m = oxMifReader_c::parseComponent(
            "Start Component Name = \"C\"\nStart Path Name = \"p\" OS2 = direct-interface "
            "Win32 = \"p.dll\" End Path\nStart Group Name = \"G\" Class = \"X|G|1\" ID = 011\n"
            "Start Attribute Name = \"A\" ID = 1 Type = " + std::string(c.type) + " Value = " +
                c.value + " End Attribute\nEnd Group\nEnd Component\r\n\x1A\x01",
            "v.mif");
        EXPECT_EQ(std::tuple(m.language, m.groups.at(0).id, m.groups[0].attributes.at(0).value),
                  std::tuple("en|US|iso8859-1", 9u, c.stored));
    }
}

TEST(oxMifReaderTest, TableRowsFollowTheAttributeIdsAndOmittedValuesAreTheTemplates) {
    const oxMifComponent c = oxMifReader_c::parseComponent(R"(Start Component Name = "C"
  Start Group Name = "G" Class = "X|G|1" Key = 1
    Start Attribute Name = "B" ID = 3 Type = String(8) Value = "b" End Attribute
    Start Attribute Name = "A" ID = 1 Type = Integer End Attribute
    Start Attribute Name = "M" ID = 2 Type = Integer Value = 7 End Attribute End Group
  Start Table Name = "T" Class = "X|G|1" ID = 5 {1, , "x"} {2} {3,unknown,} End Table
End Component)", "t.mif");
    EXPECT_EQ(c.groups.at(0).rows, (std::vector<oxMifRow>{
                                       {"x", "1", "7"}, {"b", "2", "7"}, {"b", "3", std::nullopt}}));
}

TEST(oxMifReaderTest, ReadsUtf16AndEightBitFiles) {
    for (const char* bom : {"\xFF\xFE", ""}) {
        std::string wide = bom;
        for (char c : oxSpExampleMif())
            wide += std::string{c, '\0'};
        const oxMifComponent c = oxMifReader_c::parseComponent(wide, "Os.mif");
        EXPECT_EQ(c.name, "Operating System");
        EXPECT_EQ(c.groups.at(0).attributes.size(), 6u);
    }
    // A String(n) counts UCS-2 characters; escapes take up to four hexadecimal digits.
    const std::string mif = "Start Component Name = \"C\" Start Group Name = \"G\" Class = \"X|G|1\" "
        "ID = 1 Start Attribute Name = \"A\" ID = 1 Type = String(5) Value = \"Caf\xE9\\x263A\" "
        "End Attribute End Group End Component";
    for (const bool bigEndian : {false, true}) {
        std::string wide = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char c : mif)
            wide += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
        EXPECT_EQ(oxMifReader_c::parseComponent(wide, "u.mif").groups.at(0).attributes.at(0).value,
                  "Caf\xC3\xA9\xE2\x98\xBA");
    }
}

TEST(oxMifReaderTest, AnErrorNamesFileLineAndWhatWasExpected) {
    const std::string head = "Start Component\nName = \"C\"\n";
    const std::string group = "Start Group\nName = \"G\"\nClass = \"X|G|1\"\nID = 1\n";
    const std::string attr = "Start Attribute\nName = \"A\"\nID = 1\nType = Integer\nEnd Attribute\n";
    const std::string typed = head + group + "Start Attribute\nName = \"A\"\nID = 1\nType = ";
    const struct { std::string text; std::uint32_t line; const char* problem; } cases[] = {
        // clang-format off
        {"", 1, "expected 'Start'"},
        {head + group + "Start Attribute\nName = \"A", 8, "unterminated string"},
        {head + group + attr + "End Group\n", 12, "'End Component'"},
        {head + group + attr + "End Attribute\n", 12, "'End Group'"},
        {head + "Colour = \"red\"\nEnd Component\n", 3, "a component keyword"},
        {head + group + "Start Attribute\nSize = 3\n", 8, "an attribute keyword"},
        {head + group + attr + "End Group\n" + group + attr + "End Group\nEnd Component\n", 13, "duplicate group ID 1"},
        {head + group + attr + attr + "End Group\nEnd Component\n", 12, "duplicate attribute ID 1"},
        {head + "Description \"d\"\nEnd Component\n", 3, "'='"},
        {head + group + "Start Attribute\nType = Float\n", 8, "a type"},
        {typed + "Integer\nValue = \"x\"\nEnd Attribute\n", 11, "a number"},
        {typed + "String(2)\nValue = \"abc\"\nEnd Attribute\n", 11, "longer than"},
        {typed + "Counter\nValue = -1\nEnd Attribute\n", 11, "value -1 of attribute 'A' out of the range of Counter (0 to"},
        {typed + "Integer\nValue = 0x80000000\nEnd Attribute\n", 11, "range of Integer (-2147483648 to 2147483647)"},
        {typed + "Start Enum\n1 = \"One\"\n-1 = \"Less\"\nType = Gauge\nEnd Enum\n", 12, "-1 of an enumeration out of the range of Gauge"},
        {typed + "Start Enum\n1 = \"One\"\nEnd Enum\nValue = \"Two\"\nEnd Attribute\n", 13, "enumeration's texts"},
        {head + "Start Group\nName = \"G\"\nID = 1\nEnd Group\n", 3, "Class"},
        {head + "Start Group\nName = \"G\"\nClass = \"X|G|1\"\nKey = 1\n" + attr + "End Group\nEnd Component\n", 3, "(or a Table of its class)"},
        {head + "Start Group\nName = \"G\\n\"\nClass = \"X|G|1\"\n" + attr + "End Group\n", 3, "an ID or a Key for group 'G\\x0A'"},
        {head + group + "End Group\n", 3, "at least one attribute in group 'G'"},
        {typed + "String(9)\nValue = \"a\\qb\"\n", 11, "unknown escape '\\q'"},
        {typed + "String(9)\nValue = \"a\\0b\"\n", 11, "NUL"},
        {typed + "String(9)\nValue = \"\\777\"\n", 11, "escape of 511, not a character of the file's character set"},
        {typed + "Integer\nValue = 08\nEnd Attribute\n", 11, "expected an octal number (digits 0 to 7), found 08"},
        {typed + "Date\nValue = \"2026-12-03\"\nEnd Attribute\n", 11, "expected a date yyyymmddHHMMSS.uuuuuu+ooo"},
        {typed + "Date\nValue = \"20261303123456.000000+000\"\nEnd Attribute\n", 11, "expected a date"},
        {head + "Start Path\nName = \"p\"\nWin32 = 5\n", 5, "a quoted path text or direct-interface"},
        {head + "\x01", 3, "unexpected character '\\x01'"},
        {head + "\xE9\x85", 3, "unexpected character '\xC3\xA9'"},
        {head + "Start \"\x85\"\n", 3, "found \"\\x85\""},
        {head + "Start \"\x01\"\n", 3, "found \"\\x01\""},
        {head + group + attr + "Key = 4\nEnd Group\n", 3, "key attribute 4"},
        {head + "Start Table\nClass = \"No|Such|1\"\nID = 2\nEnd Table\n", 4, "Class of a group"},
        {head + group + attr + "End Group\nStart Table\nClass = \"X|G|1\"\n{1, 2}\nEnd Table\n", 15, "at most 1"},
        {head + std::string("\0", 1), 3, "NUL"},
        {std::string("\xFF\xFE" "S\0t\0\n\0x", 9), 2, "odd number"},
        {head + "End Component\nStart", 4, "end of file"},
        {"Start Component\nEnd Component\n", 1, "no Name"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        try {
            oxMifReader_c::parseComponent(c.text, "bad.mif");
            ADD_FAILURE() << "no error";
        } catch (const oxMifError_c& e) {
            EXPECT_EQ(std::tuple(e.file(), e.line()), std::tuple("bad.mif", c.line)) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.problem), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("bad.mif:" + std::to_string(c.line), 0), 0u);
            EXPECT_TRUE(std::none_of(e.what(), e.what() + std::strlen(e.what()),
                                     [](char ch) { return std::iscntrl(static_cast<unsigned char>(ch)); }));
        }
    }
}

} // namespace
