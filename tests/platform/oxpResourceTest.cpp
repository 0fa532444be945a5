#include "platform/oxpResource.h"
#include "tests/platform/oxpTestFolder.h"
#include <cstring>
#include <gtest/gtest.h>

namespace {

class StringResources : public testing::Test {
  protected:
    void SetUp() override {
        strings = oxp::loadModule(copies.copyBuilt("fxVersioned.dll", "fxStrings.dll").c_str());
        none = oxp::loadModule(copies.copyBuilt("fxPlain.dll", "fxNoStrings.dll").c_str());
        ASSERT_NE(strings, 0u);
        ASSERT_NE(none, 0u);
    }
    void TearDown() override {
        oxp::freeModule(strings);
        oxp::freeModule(none);
    }
    oxpTestFolder copies;
    oxp::ModuleHandle strings = 0;
    oxp::ModuleHandle none = 0;
    char buffer[64];
};

TEST_F(StringResources, NumbersFindTheirTexts) {
    struct Case {
        std::uint32_t id;
        const char* text;
    };
    for (const Case& c : {Case{4097, "Component module %1 failed."}, Case{4104, "OX Error"},
                          Case{0x2001, "Hex numbered"}}) {
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(oxp::loadString(strings, c.id, buffer, sizeof buffer),
                  static_cast<int>(std::strlen(c.text)));
        EXPECT_STREQ(buffer, c.text);
    }
}

TEST_F(StringResources, UnknownNumbersAndModulesGiveAnEmptyText) {
    struct Case {
        oxp::ModuleHandle module;
        std::uint32_t id;
    };
    for (const Case& c : {Case{strings, 4098}, Case{strings, 0}, Case{none, 4097}, Case{0, 4097},
                          Case{99999, 4097}}) {
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(oxp::loadString(c.module, c.id, buffer, sizeof buffer), 0) << c.id;
        EXPECT_STREQ(buffer, "") << c.id;
    }
}

TEST_F(StringResources, LongTextsAreCutToTheBuffer) {
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(oxp::loadString(strings, 4104, buffer, 4), 3);
    EXPECT_STREQ(buffer, "OX ");
    EXPECT_EQ(buffer[4], '#'); // nothing written past size
    EXPECT_EQ(oxp::loadString(strings, 4104, buffer, 1), 0);
    EXPECT_STREQ(buffer, "");
    buffer[0] = '#';
    EXPECT_EQ(oxp::loadString(strings, 4104, buffer, 0), 0);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(oxp::loadString(strings, 4104, nullptr, 10), 0);
}

TEST_F(StringResources, TextsAreReadAtLoadAndForgottenAtTheLastFree) {
    ASSERT_TRUE(oxp::freeModule(strings));
    EXPECT_EQ(oxp::loadString(strings, 4104, buffer, sizeof buffer), 0);
    strings = oxp::loadModule((copies / "fxStrings.dll").c_str());
    ASSERT_NE(strings, 0u);
    // Changing the file after the load does not change the texts.
    std::filesystem::remove(copies / "fxStrings.dll");
    EXPECT_EQ(oxp::loadString(strings, 4104, buffer, sizeof buffer), 8);
}

} // namespace
