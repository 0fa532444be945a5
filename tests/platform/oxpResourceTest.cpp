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
        ASSERT_TRUE(strings && none);
    }
    void TearDown() override {
        oxp::freeModule(strings);
        oxp::freeModule(none);
    }
    // The text of a number and the count loadString answers, into a buffer of size bytes.
    std::pair<std::string, int> load(oxp::ModuleHandle m, std::uint32_t id, int size = 64) {
        std::memset(buffer, '#', sizeof buffer);
        const int n = oxp::loadString(m, id, buffer, size);
        EXPECT_EQ(buffer[size], '#') << "written past size";
        return {size ? std::string(buffer) : "(untouched)", n};
    }
    oxpTestFolder copies;
    oxp::ModuleHandle strings = 0, none = 0;
    char buffer[65];
};

TEST_F(StringResources, NumbersFindTheirTextsCutToTheBuffer) {
    using R = std::pair<std::string, int>;
    EXPECT_EQ(load(strings, 4097), R("Component module %1 failed.", 27));
    EXPECT_EQ(load(strings, 4104), R("OX Error", 8));
    EXPECT_EQ(load(strings, 0x2001), R("Hex numbered", 12));
    EXPECT_EQ(load(strings, 4104, 4), R("OX ", 3));
    EXPECT_EQ(load(strings, 4104, 1), R("", 0));
    EXPECT_EQ(load(strings, 4104, 0), R("(untouched)", 0));
    EXPECT_EQ(oxp::loadString(strings, 4104, nullptr, 10), 0);
    // Unknown numbers and modules give an empty text.
    for (auto [m, id] : {std::pair{strings, 4098u}, {strings, 0u}, {none, 4097u}, {0u, 4097u},
                         {99999u, 4097u}})
        EXPECT_EQ(load(m, id), R("", 0)) << id;
}

TEST_F(StringResources, TextsAreReadAtLoadAndForgottenAtTheLastFree) {
    ASSERT_TRUE(oxp::freeModule(strings));
    EXPECT_EQ(load(strings, 4104).second, 0);
    strings = oxp::loadModule((copies / "fxStrings.dll").c_str());
    ASSERT_NE(strings, 0u);
    std::filesystem::remove(copies / "fxStrings.dll"); // the texts stay
    EXPECT_EQ(load(strings, 4104).second, 8);
}

} // namespace
