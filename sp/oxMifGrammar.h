// oxMifGrammar_c: the recursive-descent parser behind oxMifReader_c. One object reads one
// file's tokens.
#pragma once
#include "sp/oxMifModel.h"
#include "sp/oxMifTokenizer.h"
#include <map>
#include <string>
#include <unordered_set>
#include <vector>

class oxMifGrammar_c {
  public:
    oxMifGrammar_c(const std::string& bytes, const std::string& fileName)
        : tokens_(bytes, fileName) {}

    oxMifComponent component();
    oxMifGroup definitionFile();

  private:
    // A number token's sign and magnitude: every number of both 64-bit ranges fits.
    struct Number {
        bool negative = false;
        std::uint64_t magnitude = 0;
    };
    struct NamedEnum {
        oxMifType_e type = oxMifType_e::integer;
        std::vector<oxMifEnumItem> items;
    };

    void optionalLanguage(std::string& language);
    void group(oxMifGroup& g);
    // ids: the group's attribute IDs so far, so a duplicate is found without a scan.
    void attribute(oxMifGroup& g, std::uint32_t line, std::unordered_set<std::uint32_t>& ids);
    void type(oxMifAttribute& a);
    void enumBody(std::vector<oxMifEnumItem>& items, std::string* name, oxMifType_e* type);
    void value(oxMifAttribute& a);
    void table(std::vector<oxMifGroup>& groups, std::vector<bool>& templateUsed);
    void skipPath();
    void finishGroup(const oxMifGroup& g);
    void checkUniqueGroupIds(const std::vector<oxMifGroup>& groups);

    // A cell or static value of the attribute from a string or number token, checked
    // against the attribute's type.
    std::string valueText(const oxMifAttribute& a, const oxMifToken& t);

    // Token helpers; each throws "expected ..." on a mismatch.
    bool atWord(const char* word);
    void expectWord(const char* word, const char* context);
    void expectEquals();
    std::string expectString(const char* what);
    std::uint32_t expectId(const char* what);
    // '=' and one of the words (ignoring case); returns it as written in the list.
    std::string oneOf(const std::vector<const char*>& words, const char* expected);
    Number numberOf(const oxMifToken& t, const char* what);
    // The number as a signed 64-bit one; above that range its bits (callers check the range).
    std::int64_t number(const oxMifToken& t, const char* what);
    // The decimal text of a number token in the numeric type's range; else a MIF error.
    std::string numberInRange(const oxMifToken& t, oxMifType_e type, const std::string& what);
    void expectEnd(const char* block);
    [[noreturn]] void fail(const oxMifToken& at, const std::string& expected);
    [[noreturn]] void failAtLine(std::uint32_t line, const std::string& problem);

    oxMifTokenizer_c tokens_;
    std::map<std::string, NamedEnum> enums_; // by lower-case name
};
