#include "framework/types/oxText.h"
#include "oxRaiseFixture.h"
#include <functional>
#include <vector>

namespace {

std::string contents(const oxText_c& t) {
    return t.text() ? std::string(t.text()) : "(null)";
}

TEST(oxText, ComposesAndRemovesTheEarliestExactMatch) {
    oxText_c name("C:\\x");
    name.append("\\");
    name.append(oxText_c("osComp.dll"));
    name.removeFirst(".dll");
    name.append(".evt");
    EXPECT_TRUE(name == "C:\\x\\osComp.evt" && name.length() == 15);
    struct Row {
        const char *text, *piece, *after;
    };
    const std::vector<Row> rows = {
        {".dll", ".dll", ""},
        {"a.dll.dll", ".dll", "a.dll"},
        {"C:\\a.dll\\b.dll", ".dll", "C:\\a\\b.dll"},
        {"abc", "c", "ab"},
        {"abab", "b", "aab"},
        {"x.DLL", ".dll", "x.DLL"},
        {"ab", "abc", "ab"},
        {"abc", "", "abc"},
    };
    for (const Row& row : rows) {
        oxText_c byText(row.text), byObject(row.text);
        byText.removeFirst(row.piece);
        byObject.removeFirst(oxText_c(row.piece));
        EXPECT_EQ(contents(byText), row.after) << row.text << " - " << row.piece;
        EXPECT_EQ(byText.length(), std::string(row.after).size()) << row.text;
        EXPECT_TRUE(byObject == byText) << row.text << " - " << row.piece;
    }
    oxText_c empty;
    empty.removeFirst(".dll");
    EXPECT_EQ(contents(empty), "(null)");
}

TEST(oxText, EmptyPiecesAddNothingAndEmptyTextsHaveNoBuffer) {
    oxText_c t("ab"), empty;
    t.append("");
    t.append(static_cast<const char*>(nullptr));
    t.append(oxText_c());
    EXPECT_EQ(contents(t), "ab");
    EXPECT_TRUE(empty == "" && empty == nullptr && empty.text() == nullptr);
    empty.append(t);
    t.append(t);
    EXPECT_EQ(contents(empty), "ab");
    EXPECT_TRUE(t == "abab" && t.length() == 4);
    t.assign("");
    EXPECT_TRUE(t.text() == nullptr && t.length() == 0);
}

TEST(oxText, ComparesAndCopiesCharacters) {
    const oxText_c abc("abc");
    EXPECT_TRUE(abc == "abc" && abc == oxText_c(abc));
    EXPECT_FALSE(abc == "abd" || abc == "ab" || abc == oxText_c("abd") || abc == oxText_c());
    char out[5] = "xxxx";
    EXPECT_EQ(abc.copyTo(nullptr), 0u);
    EXPECT_EQ(abc.copyTo(out), 3u);
    EXPECT_STREQ(out, "abcx"); // no terminator copied
    EXPECT_EQ(oxText_c().copyTo(out), 1u);
    EXPECT_EQ(std::string(out, 2), std::string("\0b", 2));
}

class oxTextRaise : public oxRaiseFixture {};

TEST_F(oxTextRaise, AllocationFailuresRaiseFromTheirLines) {
    struct Site {
        std::uint32_t line;
        std::function<void(oxText_c&)> run;
        bool keeps;
    };
    const oxText_c piece("new");
    const std::vector<Site> sites = {
        {74, [](oxText_c& t) { t.assign("new"); }, false},
        {95, [&](oxText_c& t) { t.assign(piece); }, false},
        {146, [](oxText_c& t) { t.append("new"); }, true},
        {166, [&](oxText_c& t) { t.append(piece); }, true},
    };
    for (const Site& site : sites) {
        SCOPED_TRACE(site.line);
        oxLiveAllocations live;
        {
            oxText_c t("old");
            {
                oxFailAllocation fail(1);
                EXPECT_THROW(site.run(t), oxInsufficientMemory_c);
            }
            expectOneBox("..\\..\\cppType", site.line);
            EXPECT_EQ(contents(t), site.keeps ? "old" : "(null)");
            EXPECT_EQ(t.length(), site.keeps ? 3u : 0u);
        }
        EXPECT_EQ(live.leaked(), 0);
    }
}

} // namespace
