#include "sp/oxMifReader.h"
#include "tests/sp/oxSpTestFolder.h"
#include <gtest/gtest.h>

namespace {

// A component with a named enumeration, a template table, comments and every value form.
const char* const richMif = R"(Language = "en|US|iso8859-1"
// a comment line
Start Component
  Name = "Disk Drives"   // trailing comment
  Description = "Two drives"
  Start Enum
    Name = "Media"
    Type = Integer
    1 = "Fixed"
    2 = "Removable"
  End Enum
  Start Path
    Name = "diskComp"
    Win32 = "diskComp.dll"
  End Path
  Start Group
    Name = "Drive"
    Class = "ACME|Drive|001"
    Key = 1
    Start Attribute
      Name = "Index"  ID = 1  Type = Integer  Value = 0
    End Attribute
    Start Attribute
      Name = "Media"  ID = 2  Type = "Media"  Value = "Removable"
    End Attribute
    Start Attribute
      Name = "Label"  ID = 3  Type = String(8)  Access = Read-Write  Storage = Specific
      Value = *"diskComp"
    End Attribute
    Start Attribute
      Name = "Blocks" ID = 4  Type = Counter64  Value = 0x10
    End Attribute
  End Group
  Start Table
    Name = "Drives"
    Class = "ACME|Drive|001"
    ID = 7
    {1, "Fixed", "sys"}
    {2, , "data", 99}
  End Table
End Component
)";

TEST(oxMifReaderTest, ReadsTheExampleComponent) {
    const oxMifComponent c = oxMifReader_c::parseComponent(oxSpExampleMif(), "Os.mif");
    EXPECT_EQ(c.name, "Operating System");
    ASSERT_EQ(c.groups.size(), 1u);
    const oxMifGroup& g = c.groups[0];
    EXPECT_EQ(g.id, 1u);
    EXPECT_EQ(g.groupClass, "DMTF|ComponentID|001");
    ASSERT_EQ(g.attributes.size(), 6u);
    EXPECT_EQ(g.attributes[0].value, "Ox Project");
    EXPECT_EQ(g.attributes[3].value, std::nullopt); // Unknown
    const oxMifAttribute& verify = g.attributes[5];
    EXPECT_EQ(verify.id, 6u);
    EXPECT_EQ(verify.value, std::nullopt); // from the instrumentation
    ASSERT_EQ(verify.enumeration.size(), 8u);
    EXPECT_EQ(verify.enumeration[7].value, 7);
    EXPECT_EQ(verify.enumeration[7].name, "This component exists, and is functioning correctly");
}

TEST(oxMifReaderTest, ReadsEnumerationsTablesAndValueForms) {
    const oxMifComponent c = oxMifReader_c::parseComponent(richMif, "disk.mif");
    EXPECT_EQ(c.language, "en|US|iso8859-1");
    ASSERT_EQ(c.groups.size(), 1u); // the template is replaced by the table's copy
    const oxMifGroup& g = c.groups[0];
    EXPECT_EQ(g.id, 7u);
    EXPECT_EQ(g.name, "Drives");
    EXPECT_EQ(g.keys, std::vector<std::uint32_t>{1});
    EXPECT_EQ(g.attributes[1].type, oxMifType_e::integer);
    EXPECT_EQ(g.attributes[1].value, "2"); // the enumeration's text became its number
    EXPECT_EQ(g.attributes[2].access, "Read-Write");
    EXPECT_EQ(g.attributes[2].storage, "Specific");
    EXPECT_EQ(g.attributes[2].maxLength, 8u);
    EXPECT_EQ(g.attributes[3].value, "16");
    ASSERT_EQ(g.rows.size(), 2u);
    EXPECT_EQ(g.rows[0], (oxMifRow{"1", "1", "sys", std::nullopt}));
    EXPECT_EQ(g.rows[1], (oxMifRow{"2", std::nullopt, "data", "99"}));
}

std::string utf16le(const std::string& ascii, bool bom) {
    std::string out = bom ? "\xFF\xFE" : "";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

TEST(oxMifReaderTest, ReadsUtf16AndEightBitFiles) {
    const std::string mif = oxSpExampleMif();
    for (bool bom : {true, false}) {
        const oxMifComponent c = oxMifReader_c::parseComponent(utf16le(mif, bom), "Os.mif");
        EXPECT_EQ(c.name, "Operating System");
        EXPECT_EQ(c.groups.at(0).attributes.size(), 6u);
    }
    // A Latin-1 byte becomes UTF-8; text already in UTF-8 stays as it is.
    const std::string latin = "Start Component Name = \"Caf\xE9\" End Component";
    EXPECT_EQ(oxMifReader_c::parseComponent(latin, "l.mif").name, "Caf\xC3\xA9");
    const std::string utf8 = "Start Component Name = \"Caf\xC3\xA9\" End Component";
    EXPECT_EQ(oxMifReader_c::parseComponent(utf8, "u.mif").name, "Caf\xC3\xA9");
}

TEST(oxMifReaderTest, ReadsADefinitionFileWithOrWithoutId) {
    const char* grp = "Start Group Name = \"Events\" Class = \"ACME|Events|001\"\n"
                      "Start Attribute Name = \"Code\" ID = 1 Type = Integer End Attribute\n"
                      "End Group\n";
    const oxMifGroup g = oxMifReader_c::parseGroup(grp, "x.evt");
    EXPECT_EQ(g.id, 0u);
    EXPECT_EQ(g.groupClass, "ACME|Events|001");
    EXPECT_EQ(g.attributes.at(0).name, "Code");
}

struct BadMif {
    const char* name;
    std::string text;
    std::uint32_t line;
    const char* problem; // a part of the error text
};

class oxMifReaderErrorTest : public ::testing::TestWithParam<BadMif> {};

const std::string head = "Start Component\nName = \"C\"\n";
const std::string attr = "Start Attribute\nName = \"A\"\nID = 1\nType = Integer\nEnd Attribute\n";
const std::string group1 = "Start Group\nName = \"G\"\nClass = \"X|G|1\"\nID = 1\n";

TEST_P(oxMifReaderErrorTest, NamesFileLineAndWhatWasExpected) {
    const BadMif& bad = GetParam();
    try {
        oxMifReader_c::parseComponent(bad.text, "bad.mif");
        FAIL() << "no error for " << bad.name;
    } catch (const oxMifError_c& e) {
        EXPECT_EQ(e.file(), "bad.mif");
        EXPECT_EQ(e.line(), bad.line) << e.what();
        EXPECT_NE(std::string(e.what()).find(bad.problem), std::string::npos) << e.what();
        EXPECT_EQ(std::string(e.what()).rfind("bad.mif:" + std::to_string(bad.line), 0), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, oxMifReaderErrorTest,
    ::testing::Values(
        BadMif{"Empty", "", 1, "expected 'Start'"},
        BadMif{"Truncated", head + group1 + "Start Attribute\nName = \"A", 8,
               "unterminated string"},
        BadMif{"MissingEnd", head + group1 + attr + "End Group\n", 12, "'End Component'"},
        BadMif{"WrongEnd", head + group1 + attr + "End Attribute\n", 12, "'End Group'"},
        BadMif{"UnknownKeyword", head + "Colour = \"red\"\nEnd Component\n", 3,
               "a component keyword"},
        BadMif{"UnknownAttributeKeyword", head + group1 + "Start Attribute\nSize = 3\n", 8,
               "an attribute keyword"},
        BadMif{"DuplicateGroupId", head + group1 + "End Group\n" + group1 + "End Group\n" +
                                       "End Component\n", 8, "duplicate group ID 1"},
        BadMif{"DuplicateAttributeId", head + group1 + attr + attr + "End Group\nEnd Component\n",
               12, "duplicate attribute ID 1"},
        BadMif{"MissingEquals", head + "Description \"d\"\nEnd Component\n", 3, "'='"},
        BadMif{"BadType", head + group1 + "Start Attribute\nType = Float\n", 8, "a type"},
        BadMif{"ValueNotANumber", head + group1 +
                                      "Start Attribute\nName = \"A\"\nID = 1\nType = Integer\n"
                                      "Value = \"x\"\nEnd Attribute\n", 11, "a number"},
        BadMif{"ValueTooLong", head + group1 +
                                   "Start Attribute\nName = \"A\"\nID = 1\nType = String(2)\n"
                                   "Value = \"abc\"\nEnd Attribute\n", 11, "longer than"},
        BadMif{"UnknownEnumText", head + group1 +
                                      "Start Attribute\nName = \"A\"\nID = 1\nType = Start Enum\n"
                                      "1 = \"One\"\nEnd Enum\nValue = \"Two\"\nEnd Attribute\n",
               13, "enumeration's texts"},
        BadMif{"GroupWithoutClass", head + "Start Group\nName = \"G\"\nID = 1\nEnd Group\n", 3,
               "Class"},
        BadMif{"GroupWithoutId", head + "Start Group\nName = \"G\"\nClass = \"X|G|1\"\nEnd Group\n"
                                        "End Component\n", 3, "expected an ID"},
        BadMif{"KeyNotAnAttribute", head + group1 + "Key = 4\nEnd Group\n", 3, "key attribute 4"},
        BadMif{"TableOfUnknownClass", head + "Start Table\nClass = \"No|Such|1\"\nID = 2\n"
                                             "End Table\n", 4, "Class of a group"},
        BadMif{"RowTooLong", head + group1 + attr + "End Group\nStart Table\nClass = \"X|G|1\"\n"
                                                    "{1, 2}\nEnd Table\n", 15, "at most 1"},
        BadMif{"NulByte", head + std::string("\0", 1), 3, "NUL"},
        BadMif{"OddUtf16", std::string("\xFF\xFE" "S\0t\0\n\0x", 9), 2, "odd number"},
        BadMif{"TextAfterEnd", head + "End Component\nStart", 4, "end of file"},
        BadMif{"NoName", "Start Component\nEnd Component\n", 1, "no Name"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(oxMifReaderTest, AnUnreadableFileIsAnErrorWithoutLine) {
    oxSpTestFolder folder;
    try {
        oxMifReader_c::readComponentFile(folder.file("missing.mif"));
        FAIL();
    } catch (const oxMifError_c& e) {
        EXPECT_EQ(e.line(), 0u);
        EXPECT_NE(std::string(e.what()).find("missing.mif"), std::string::npos);
    }
}

} // namespace
