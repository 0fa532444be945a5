#include "sp/oxMifGrammar.h"
#include "sp/oxMifError.h"
#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>
#include <string_view>

namespace {

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool sameWord(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

const oxMifEnumItem* enumByName(const std::vector<oxMifEnumItem>& items,
                                const std::string& name) {
    for (const auto& item : items)
        if (item.name == name)
            return &item;
    return nullptr;
}

} // namespace

// ---- token helpers --------------------------------------------------------------------------

// Names in a message may hold control characters (escapes): they are shown as \xNN.
void oxMifGrammar_c::fail(const oxMifToken& at, const std::string& expected) {
    failAtLine(at.line, "expected " + expected + ", found " + oxMifTokenizer_c::describe(at));
}

void oxMifGrammar_c::failAtLine(std::uint32_t line, const std::string& problem) {
    throw oxMifError_c(tokens_.fileName(), line, oxMifPrintable(problem));
}

bool oxMifGrammar_c::atWord(const char* word) {
    const oxMifToken& t = tokens_.peek();
    return t.kind == oxMifToken_e::word && sameWord(t.text, word);
}

void oxMifGrammar_c::expectWord(const char* word, const char* context) {
    const oxMifToken t = tokens_.next();
    if (t.kind != oxMifToken_e::word || !sameWord(t.text, word))
        fail(t, std::string("'") + word + "'" + context);
}

void oxMifGrammar_c::expectEquals() {
    const oxMifToken t = tokens_.next();
    if (t.kind != oxMifToken_e::equals)
        fail(t, "'='");
}

std::string oxMifGrammar_c::expectString(const char* what) {
    expectEquals();
    const oxMifToken t = tokens_.next();
    if (t.kind != oxMifToken_e::string)
        fail(t, std::string("a quoted ") + what);
    return t.text;
}

oxMifGrammar_c::Number oxMifGrammar_c::numberOf(const oxMifToken& t, const char* what) {
    if (t.kind != oxMifToken_e::number)
        fail(t, what);
    Number n;
    std::string_view digits = t.text;
    if (digits[0] == '-' || digits[0] == '+') { // the tokenizer signs decimal numbers only
        n.negative = digits[0] == '-';
        digits.remove_prefix(1);
    }
    int base = 10; // 0x hexadecimal, 0 octal
    if (digits.size() > 2 && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    } else if (digits.size() > 1 && digits[0] == '0') {
        digits.remove_prefix(1);
        base = 8;
        if (digits.find_first_of("89") != std::string_view::npos)
            failAtLine(t.line, "expected an octal number (digits 0 to 7), found " + t.text);
    }
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(),
                                           n.magnitude, base);
    if (ec != std::errc() || end != digits.data() + digits.size())
        failAtLine(t.line, std::string("number out of range: ") + t.text);
    return n;
}

std::int64_t oxMifGrammar_c::number(const oxMifToken& t, const char* what) {
    const Number n = numberOf(t, what);
    return n.negative ? static_cast<std::int64_t>(0 - n.magnitude)
                      : static_cast<std::int64_t>(n.magnitude);
}

std::string oxMifGrammar_c::numberInRange(const oxMifToken& t, oxMifType_e type,
                                          const std::string& what) {
    const Number n = numberOf(t, ("a number for " + what).c_str());
    if (!oxMifInRange(type, n.negative, n.magnitude))
        failAtLine(t.line, "value " + t.text + " of " + what + " out of the range of " +
                               oxMifTypeName(type) + " (" + oxMifRangeText(type) + ")");
    return (n.negative && n.magnitude != 0 ? "-" : "") + std::to_string(n.magnitude);
}

std::uint32_t oxMifGrammar_c::expectId(const char* what) {
    expectEquals();
    const oxMifToken t = tokens_.next();
    const std::int64_t v = number(t, what);
    if (v < 1 || v > 0xFFFFFFFFll)
        failAtLine(t.line, std::string(what) + " out of range (1 to 4294967295): " + t.text);
    return static_cast<std::uint32_t>(v);
}

void oxMifGrammar_c::expectEnd(const char* block) {
    tokens_.next(); // "End", seen by the caller's loop
    const oxMifToken t = tokens_.next();
    if (t.kind != oxMifToken_e::word || !sameWord(t.text, block))
        fail(t, std::string("'End ") + block + "'");
}

std::string oxMifGrammar_c::oneOf(const std::vector<const char*>& words, const char* expected) {
    expectEquals();
    const oxMifToken t = tokens_.next();
    if (t.kind == oxMifToken_e::word)
        for (const char* w : words)
            if (sameWord(t.text, w))
                return w;
    fail(t, expected);
}

// ---- files ----------------------------------------------------------------------------------

void oxMifGrammar_c::optionalLanguage(std::string& language) {
    if (atWord("Language")) {
        tokens_.next();
        language = expectString("language text");
    }
}

oxMifComponent oxMifGrammar_c::component() {
    oxMifComponent c;
    c.language = "en|US|iso8859-1"; // what a MIF without a Language statement is written in
    optionalLanguage(c.language);
    expectWord("Start", " to open the component");
    expectWord("Component", " after 'Start'");
    std::vector<bool> templateUsed;
    bool named = false;
    for (;;) {
        const oxMifToken t = tokens_.peek();
        if (t.kind == oxMifToken_e::end)
            fail(t, "'End Component'");
        if (t.kind != oxMifToken_e::word)
            fail(t, "a component keyword (Name, Description, Start, End)");
        if (atWord("End"))
            break;
        tokens_.next();
        if (sameWord(t.text, "Name")) {
            c.name = expectString("component name");
            named = true;
        } else if (sameWord(t.text, "Description")) {
            c.description = expectString("description");
        } else if (sameWord(t.text, "Pragma")) {
            expectString("pragma");
        } else if (sameWord(t.text, "Start")) {
            const oxMifToken what = tokens_.next();
            if (what.kind == oxMifToken_e::word && sameWord(what.text, "Group")) {
                oxMifGroup g;
                g.line = t.line;
                group(g);
                finishGroup(g);
                if (g.id == 0 && g.keys.empty())
                    failAtLine(g.line, "expected an ID or a Key for group '" + g.name + "'");
                c.groups.push_back(std::move(g));
                templateUsed.push_back(false);
            } else if (what.kind == oxMifToken_e::word && sameWord(what.text, "Enum")) {
                std::string name;
                NamedEnum e;
                enumBody(e.items, &name, &e.type);
                if (name.empty())
                    failAtLine(what.line, "a component-level enumeration needs a Name");
                enums_[lower(name)] = e;
            } else if (what.kind == oxMifToken_e::word && sameWord(what.text, "Table")) {
                table(c.groups, templateUsed);
            } else if (what.kind == oxMifToken_e::word && sameWord(what.text, "Path")) {
                skipPath();
            } else {
                fail(what, "Group, Enum, Table or Path after 'Start'");
            }
        } else {
            fail(t, "a component keyword (Name, Description, Start, End)");
        }
    }
    expectEnd("Component");
    const oxMifToken rest = tokens_.next();
    if (rest.kind != oxMifToken_e::end)
        fail(rest, "end of file after 'End Component'");
    if (!named)
        failAtLine(1, "the component has no Name");
    // Templates are replaced by their tables' copies; one no table used is an error.
    std::vector<oxMifGroup> groups;
    for (std::size_t i = 0; i < c.groups.size(); ++i) {
        if (c.groups[i].id != 0)
            groups.push_back(std::move(c.groups[i]));
        else if (!templateUsed[i])
            failAtLine(c.groups[i].line, "expected an ID for group '" + c.groups[i].name +
                                             "' (or a Table of its class)");
    }
    c.groups = std::move(groups);
    checkUniqueGroupIds(c.groups);
    return c;
}

oxMifGroup oxMifGrammar_c::definitionFile() {
    std::string language;
    optionalLanguage(language);
    for (;;) {
        const oxMifToken start = tokens_.next();
        if (start.kind != oxMifToken_e::word || !sameWord(start.text, "Start"))
            fail(start, "'Start Group'");
        const oxMifToken what = tokens_.next();
        if (what.kind == oxMifToken_e::word && sameWord(what.text, "Enum")) {
            std::string name;
            NamedEnum e;
            enumBody(e.items, &name, &e.type);
            if (name.empty())
                failAtLine(what.line, "a named enumeration needs a Name");
            enums_[lower(name)] = e;
            continue;
        }
        if (what.kind != oxMifToken_e::word || !sameWord(what.text, "Group"))
            fail(what, "'Group' or 'Enum' after 'Start'");
        oxMifGroup g;
        g.line = start.line;
        group(g);
        finishGroup(g);
        const oxMifToken rest = tokens_.next();
        if (rest.kind != oxMifToken_e::end)
            fail(rest, "end of file after 'End Group'");
        return g;
    }
}

// ---- groups and attributes ------------------------------------------------------------------

void oxMifGrammar_c::group(oxMifGroup& g) {
    std::unordered_set<std::uint32_t> ids;
    for (;;) {
        const oxMifToken t = tokens_.peek();
        if (t.kind == oxMifToken_e::end)
            fail(t, "'End Group'");
        if (t.kind != oxMifToken_e::word)
            fail(t, "a group keyword (Name, Class, ID, Description, Key, Start, End)");
        if (atWord("End"))
            break;
        tokens_.next();
        if (sameWord(t.text, "Name")) {
            g.name = expectString("group name");
        } else if (sameWord(t.text, "Class")) {
            g.groupClass = expectString("class text");
        } else if (sameWord(t.text, "ID")) {
            g.id = expectId("a group ID");
        } else if (sameWord(t.text, "Description")) {
            g.description = expectString("description");
        } else if (sameWord(t.text, "Pragma")) {
            expectString("pragma");
        } else if (sameWord(t.text, "Key")) {
            expectEquals();
            for (;;) {
                const oxMifToken k = tokens_.next();
                const std::int64_t v = number(k, "a key attribute ID");
                if (v < 1 || v > 0xFFFFFFFFll)
                    failAtLine(k.line, "key attribute ID out of range: " + k.text);
                g.keys.push_back(static_cast<std::uint32_t>(v));
                if (tokens_.peek().kind != oxMifToken_e::comma)
                    break;
                tokens_.next();
            }
        } else if (sameWord(t.text, "Start")) {
            expectWord("Attribute", " after 'Start' in a group");
            attribute(g, t.line, ids);
        } else {
            fail(t, "a group keyword (Name, Class, ID, Description, Key, Start, End)");
        }
    }
    expectEnd("Group");
}

void oxMifGrammar_c::finishGroup(const oxMifGroup& g) {
    if (g.name.empty())
        failAtLine(g.line, "expected a Name for the group");
    if (g.groupClass.empty())
        failAtLine(g.line, "expected a Class for group '" + g.name + "'");
    if (g.attributes.empty())
        failAtLine(g.line, "expected at least one attribute in group '" + g.name + "'");
    for (std::uint32_t k : g.keys)
        if (std::none_of(g.attributes.begin(), g.attributes.end(),
                         [k](const oxMifAttribute& a) { return a.id == k; }))
            failAtLine(g.line, "key attribute " + std::to_string(k) + " of group '" + g.name +
                                   "' is not one of its attributes");
}

void oxMifGrammar_c::checkUniqueGroupIds(const std::vector<oxMifGroup>& groups) {
    std::set<std::uint32_t> seen;
    for (const auto& g : groups)
        if (!seen.insert(g.id).second)
            failAtLine(g.line, "duplicate group ID " + std::to_string(g.id));
}

void oxMifGrammar_c::attribute(oxMifGroup& g, std::uint32_t line,
                               std::unordered_set<std::uint32_t>& ids) {
    oxMifAttribute a;
    a.line = line;
    bool typed = false;
    oxMifToken valueToken;
    bool valued = false;
    for (;;) {
        const oxMifToken t = tokens_.peek();
        if (t.kind == oxMifToken_e::end)
            fail(t, "'End Attribute'");
        if (t.kind != oxMifToken_e::word)
            fail(t, "an attribute keyword (Name, ID, Description, Type, Access, Storage, "
                    "Value, End)");
        if (atWord("End"))
            break;
        tokens_.next();
        if (sameWord(t.text, "Name")) {
            a.name = expectString("attribute name");
        } else if (sameWord(t.text, "ID")) {
            a.id = expectId("an attribute ID");
        } else if (sameWord(t.text, "Description")) {
            a.description = expectString("description");
        } else if (sameWord(t.text, "Pragma")) {
            expectString("pragma");
        } else if (sameWord(t.text, "Type")) {
            type(a);
            typed = true;
        } else if (sameWord(t.text, "Access")) {
            static const std::vector<const char*> accesses = {
                "Read-Only", "Read-Write", "Write-Only", "Unsupported", "Unknown"};
            a.access = oneOf(accesses, "Read-Only, Read-Write, Write-Only or Unsupported");
        } else if (sameWord(t.text, "Storage")) {
            static const std::vector<const char*> storages = {"Common", "Specific"};
            a.storage = oneOf(storages, "Common or Specific");
        } else if (sameWord(t.text, "Value")) {
            expectEquals();
            valueToken = tokens_.next();
            valued = true;
            if (valueToken.kind == oxMifToken_e::star) {
                const oxMifToken name = tokens_.next();
                if (name.kind != oxMifToken_e::string && name.kind != oxMifToken_e::word)
                    fail(name, "an instrumentation name after '*'");
                valued = false; // instrumented: no static value
            } else if (valueToken.kind == oxMifToken_e::word &&
                       (sameWord(valueToken.text, "Unknown") ||
                        sameWord(valueToken.text, "Unsupported"))) {
                valued = false;
            } else if (valueToken.kind != oxMifToken_e::string &&
                       valueToken.kind != oxMifToken_e::number) {
                fail(valueToken, "a value (a quoted text, a number, '*' and a name, Unknown)");
            }
        } else {
            fail(t, "an attribute keyword (Name, ID, Description, Type, Access, Storage, "
                    "Value, End)");
        }
    }
    expectEnd("Attribute");
    if (a.name.empty())
        failAtLine(a.line, "expected a Name for the attribute");
    if (a.id == 0)
        failAtLine(a.line, "expected an ID for attribute '" + a.name + "'");
    if (!typed)
        failAtLine(a.line, "expected a Type for attribute '" + a.name + "'");
    if (!ids.insert(a.id).second)
        failAtLine(a.line, "duplicate attribute ID " + std::to_string(a.id) + " in group '" +
                               g.name + "'");
    // The value is checked once the type is known, wherever the Value line stood.
    if (valued)
        a.value = valueText(a, valueToken);
    g.attributes.push_back(std::move(a));
}

void oxMifGrammar_c::type(oxMifAttribute& a) {
    expectEquals();
    const oxMifToken t = tokens_.next();
    if (t.kind == oxMifToken_e::string) { // the name of a component-level enumeration
        const auto it = enums_.find(lower(t.text));
        if (it == enums_.end())
            fail(t, "the name of an enumeration defined before this attribute");
        a.type = it->second.type;
        a.enumeration = it->second.items;
        return;
    }
    if (t.kind != oxMifToken_e::word)
        fail(t, "a type (Counter, Gauge, Integer, String(n), Date, Start Enum, ...)");
    if (sameWord(t.text, "Start")) {
        expectWord("Enum", " after 'Start' in a type");
        enumBody(a.enumeration, nullptr, &a.type);
        return;
    }
    struct Name {
        const char* word;
        oxMifType_e type;
    };
    static const Name names[] = {
        {"Counter", oxMifType_e::counter},          {"Counter32", oxMifType_e::counter},
        {"Counter64", oxMifType_e::counter64},      {"Gauge", oxMifType_e::gauge},
        {"Gauge32", oxMifType_e::gauge},            {"Integer", oxMifType_e::integer},
        {"Int", oxMifType_e::integer},              {"Integer64", oxMifType_e::integer64},
        {"Int64", oxMifType_e::integer64},          {"Date", oxMifType_e::date},
        {"String", oxMifType_e::displayString},     {"DisplayString", oxMifType_e::displayString},
        {"OctetString", oxMifType_e::octetString},
    };
    for (const Name& n : names) {
        if (!sameWord(t.text, n.word))
            continue;
        a.type = n.type;
        if (n.type == oxMifType_e::displayString || n.type == oxMifType_e::octetString) {
            const oxMifToken open = tokens_.next();
            if (open.kind != oxMifToken_e::openParen)
                fail(open, "'(' and the maximum length");
            const oxMifToken len = tokens_.next();
            const std::int64_t v = number(len, "the maximum length");
            if (v < 1 || v > 0xFFFFFFFFll)
                failAtLine(len.line, "string length out of range: " + len.text);
            a.maxLength = static_cast<std::uint32_t>(v);
            const oxMifToken close = tokens_.next();
            if (close.kind != oxMifToken_e::closeParen)
                fail(close, "')'");
        }
        return;
    }
    fail(t, "a type (Counter, Counter64, Gauge, Integer, Integer64, String(n), "
            "OctetString(n), Date, Start Enum)");
}

void oxMifGrammar_c::enumBody(std::vector<oxMifEnumItem>& items, std::string* name,
                              oxMifType_e* type) {
    std::set<std::int64_t> values;
    std::vector<oxMifToken> numbers; // checked against the type once the block is read
    for (;;) {
        const oxMifToken t = tokens_.peek();
        if (t.kind == oxMifToken_e::end)
            fail(t, "'End Enum'");
        if (atWord("End"))
            break;
        tokens_.next();
        if (t.kind == oxMifToken_e::number) {
            oxMifEnumItem item;
            item.value = number(t, "an enumeration value");
            item.name = expectString("enumeration text");
            numbers.push_back(t);
            if (!values.insert(item.value).second)
                failAtLine(t.line, "duplicate enumeration value " + t.text);
            items.push_back(std::move(item));
        } else if (t.kind == oxMifToken_e::word && sameWord(t.text, "Name") && name) {
            *name = expectString("enumeration name");
        } else if (t.kind == oxMifToken_e::word && sameWord(t.text, "Type")) {
            expectEquals();
            const oxMifToken w = tokens_.next();
            if (w.kind == oxMifToken_e::word && (sameWord(w.text, "Integer") || sameWord(w.text, "Int")))
                *type = oxMifType_e::integer;
            else if (w.kind == oxMifToken_e::word && sameWord(w.text, "Counter"))
                *type = oxMifType_e::counter;
            else if (w.kind == oxMifToken_e::word && sameWord(w.text, "Gauge"))
                *type = oxMifType_e::gauge;
            else
                fail(w, "Integer, Counter or Gauge as the type of an enumeration");
        } else {
            fail(t, name ? "Name, Type, 'value = \"text\"' or 'End Enum'"
                         : "Type, 'value = \"text\"' or 'End Enum'");
        }
    }
    expectEnd("Enum");
    for (const oxMifToken& t : numbers)
        numberInRange(t, *type, "an enumeration");
}

std::string oxMifGrammar_c::valueText(const oxMifAttribute& a, const oxMifToken& t) {
    if (!a.enumeration.empty() && t.kind == oxMifToken_e::string) {
        const oxMifEnumItem* item = enumByName(a.enumeration, t.text);
        if (!item)
            fail(t, "one of the enumeration's texts for attribute '" + a.name + "'");
        return std::to_string(item->value);
    }
    if (oxMifIsNumeric(a.type))
        return numberInRange(t, a.type, "attribute '" + a.name + "'");
    if (t.kind != oxMifToken_e::string)
        fail(t, "a quoted text for attribute '" + a.name + "'");
    if (a.maxLength && oxMifLength(t.text) > a.maxLength)
        failAtLine(t.line, "value longer than the " + std::to_string(a.maxLength) +
                               " characters of attribute '" + a.name + "'");
    if (a.type == oxMifType_e::date && !oxMifIsDate(t.text))
        failAtLine(t.line, "expected a date yyyymmddHHMMSS.uuuuuu+ooo for attribute '" + a.name +
                               "', found \"" + oxMifPrintable(t.text) + "\"");
    return t.text;
}

// ---- tables and paths -----------------------------------------------------------------------

void oxMifGrammar_c::table(std::vector<oxMifGroup>& groups, std::vector<bool>& templateUsed) {
    const std::uint32_t line = tokens_.peek().line;
    std::string name, groupClass;
    std::uint32_t id = 0;
    std::vector<std::vector<oxMifToken>> rows; // empty tokens (kind end) are empty cells
    for (;;) {
        const oxMifToken t = tokens_.peek();
        if (t.kind == oxMifToken_e::end)
            fail(t, "'End Table'");
        if (atWord("End"))
            break;
        tokens_.next();
        if (t.kind == oxMifToken_e::openBrace) {
            std::vector<oxMifToken> row;
            for (;;) {
                oxMifToken cell = tokens_.next();
                if (cell.kind == oxMifToken_e::comma || cell.kind == oxMifToken_e::closeBrace) {
                    row.push_back(oxMifToken{oxMifToken_e::end, "", cell.line});
                } else {
                    const bool unknown = cell.kind == oxMifToken_e::word &&
                                         (sameWord(cell.text, "Unknown") ||
                                          sameWord(cell.text, "Unsupported"));
                    if (cell.kind != oxMifToken_e::string && cell.kind != oxMifToken_e::number &&
                        !unknown)
                        fail(cell, "a row value (a quoted text, a number, Unknown), ',' or '}'");
                    row.push_back(cell);
                    cell = tokens_.next();
                    if (cell.kind != oxMifToken_e::comma && cell.kind != oxMifToken_e::closeBrace)
                        fail(cell, "',' or '}'");
                }
                if (cell.kind == oxMifToken_e::closeBrace)
                    break;
            }
            rows.push_back(std::move(row));
        } else if (t.kind == oxMifToken_e::word && sameWord(t.text, "Name")) {
            name = expectString("table name");
        } else if (t.kind == oxMifToken_e::word && sameWord(t.text, "Class")) {
            groupClass = expectString("class text");
        } else if (t.kind == oxMifToken_e::word && sameWord(t.text, "ID")) {
            id = expectId("a table ID");
        } else {
            fail(t, "a table keyword (Name, Class, ID), a row '{ ... }' or 'End Table'");
        }
    }
    expectEnd("Table");
    std::size_t g = 0;
    while (g < groups.size() && groups[g].groupClass != groupClass)
        ++g;
    if (g == groups.size())
        failAtLine(line, "expected the Class of a group defined before the table, found \"" +
                             groupClass + "\"");
    oxMifGroup* target = &groups[g];
    if (target->id == 0) {
        if (id == 0)
            failAtLine(line, "expected an ID for the table of template '" + target->name + "'");
        templateUsed[g] = true;
        oxMifGroup copy = *target;
        copy.id = id;
        copy.line = line;
        if (!name.empty())
            copy.name = name;
        groups.push_back(std::move(copy));
        templateUsed.push_back(false);
        target = &groups.back();
    } else if (id != 0 && id != target->id) {
        failAtLine(line, "table ID " + std::to_string(id) + " differs from group ID " +
                             std::to_string(target->id));
    }
    // A row lists its values by ascending attribute ID; an omitted one is the template's value.
    const std::vector<oxMifAttribute>& attributes = target->attributes;
    std::vector<std::size_t> byId(attributes.size());
    for (std::size_t i = 0; i < byId.size(); ++i)
        byId[i] = i;
    std::sort(byId.begin(), byId.end(),
              [&](std::size_t a, std::size_t b) { return attributes[a].id < attributes[b].id; });
    for (const auto& row : rows) {
        if (row.size() > attributes.size())
            failAtLine(row.back().line, "expected at most " + std::to_string(attributes.size()) +
                                            " values in a row of '" + target->name + "'");
        oxMifRow cells(attributes.size());
        for (std::size_t i = 0; i < attributes.size(); ++i)
            cells[i] = attributes[i].value;
        for (std::size_t i = 0; i < row.size(); ++i)
            if (row[i].kind == oxMifToken_e::word) // Unknown or Unsupported: no value
                cells[byId[i]].reset();
            else if (row[i].kind != oxMifToken_e::end)
                cells[byId[i]] = valueText(attributes[byId[i]], row[i]);
        target->rows.push_back(std::move(cells));
    }
}

void oxMifGrammar_c::skipPath() {
    // Name = "text", then one line per operating system (DOS, MacOS, OS2, UNIX, Win16, Win32,
    // Win9x, WinNT, ...): a quoted file name or the keyword direct-interface.
    for (;;) {
        const oxMifToken t = tokens_.peek();
        if (t.kind == oxMifToken_e::end)
            fail(t, "'End Path'");
        if (atWord("End"))
            break;
        tokens_.next();
        if (t.kind != oxMifToken_e::word)
            fail(t, "a path keyword and '= \"text\"'");
        if (sameWord(t.text, "Name")) {
            expectString("path name");
            continue;
        }
        expectEquals();
        const oxMifToken v = tokens_.next();
        if (v.kind != oxMifToken_e::string &&
            (v.kind != oxMifToken_e::word || !sameWord(v.text, "direct-interface")))
            fail(v, "a quoted path text or direct-interface");
    }
    expectEnd("Path");
}
