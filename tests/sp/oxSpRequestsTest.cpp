#include "framework/diag/oxMessages.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "sp/oxMifReader.h"
#include "sp/oxSpRequests.h"
#include "sp/oxSpStatus.h"
#include "sp/oxSpValueText.h"
#include "sp/oxSqliteServiceProvider.h"
#include "tests/sp/oxSpTestFolder.h"
#include <filesystem>
#include <gtest/gtest.h>

namespace {

const char* const drives = R"(Start Component
  Name = "Drives"
  Start Group
    Name = "Drive" Class = "ACME|Drive|001" ID = 2 Key = 1, 2
    Start Attribute Name = "Index" ID = 1 Type = Integer End Attribute
    Start Attribute Name = "Media" ID = 2 Type = Start Enum 1 = "Fixed" 2 = "Removable" End Enum
    End Attribute
    Start Attribute Name = "Label" ID = 3 Type = String(8) End Attribute
  End Group
  Start Table Class = "ACME|Drive|001" {1, 1, "sys"} {1, 2, "usb"} {2, 1, } End Table
End Component
)";

class oxSpRequestsTest : public ::testing::Test {
  protected:
    oxSpAnswer ask(std::uint32_t component, std::uint32_t group, std::uint32_t attribute,
                   const oxKey_c& key = oxKey_c()) {
        return requests.request(kernels, component, group, attribute, key);
    }

    oxSqliteServiceProvider_c provider{":memory:"};
    oxSpRequests_c requests{provider.database()};
    std::vector<coxKernel_c*> kernels;
};

TEST_F(oxSpRequestsTest, WithoutAKernelTheMifAnswers) {
    const auto os = provider.database().installComponent(
        oxMifReader_c::parseComponent(oxSpExampleMif(), "Os.mif"), "Os.mif");
    const oxSpAnswer product = ask(os, 1, 2);
    EXPECT_EQ(product.status, 0u);
    EXPECT_FALSE(product.fromComponent);
    EXPECT_EQ(product.value.id, 2u);
    EXPECT_EQ(product.value.value.kind, 8u);
    EXPECT_EQ(oxSpTextOfValue(product.value.value), "Operating System");

    struct Case {
        std::uint32_t component, group, attribute, status;
    };
    for (const Case& c : {Case{os, 1, 6, oxSpStatusNoValue}, Case{os, 1, 99, oxSpStatusNoAttribute},
                          Case{os, 5, 1, oxSpStatusNoGroup}, Case{os + 1, 1, 1, oxSpStatusNoComponent}}) {
        const oxSpAnswer a = ask(c.component, c.group, c.attribute);
        EXPECT_EQ(a.status, c.status) << c.attribute;
        EXPECT_FALSE(a.error.empty());
    }
    oxKey_c key;
    key.add(oxAttribValue_c(1));
    EXPECT_EQ(ask(os, 1, 1, key).status, oxStatusInvalidRowKey); // no rows to pick from
}

TEST_F(oxSpRequestsTest, AKeyPicksTheTableRow) {
    const auto id = provider.database().installComponent(
        oxMifReader_c::parseComponent(drives, "drives.mif"), "drives.mif");
    EXPECT_EQ(oxSpTextOfValue(ask(id, 2, 3).value.value), "sys"); // empty key: first row
    const oxKey_c usb = requests.makeKey(id, 2, {"1", "Removable"});
    EXPECT_EQ(oxSpTextOfValue(ask(id, 2, 3, usb).value.value), "usb");
    const oxSpAnswer media = ask(id, 2, 2, usb);
    EXPECT_EQ(media.value.value.kind, 6u);
    EXPECT_EQ(media.value.value.number6, 2u);
    EXPECT_EQ(ask(id, 2, 3, requests.makeKey(id, 2, {"2", "1"})).status, oxSpStatusNoValue);
    EXPECT_EQ(ask(id, 2, 3, requests.makeKey(id, 2, {"3", "1"})).status, oxStatusInvalidRowKey);
    EXPECT_THROW(requests.makeKey(id, 2, {"1"}), oxSpError_c);
    EXPECT_THROW(requests.makeKey(id, 2, {"one", "1"}), oxSpError_c);
}

// A real instrumentation directory: the example description and the built module.
class oxSpKernelRoutingTest : public oxSpRequestsTest {
  protected:
    oxSpKernelRoutingTest() {
        oxMessages_c::instance(); // language modules from the build
        folder.write("Os.mif", oxSpExampleMif());
        std::filesystem::copy_file(std::string(OX_BIN_DIR) + "/osComp.dll",
                                   folder.file("osComp.dll"));
    }
    oxSpTestFolder folder;
};

TEST_F(oxSpKernelRoutingTest, TheComponentAnswersWhatItServesAndTheMifTheRest) {
    std::uint32_t status = 0;
    // An older copy of the component, as a crashed run would leave it.
    const auto older = provider.database().installComponent(
        oxMifReader_c::parseComponent(oxSpExampleMif(), "Os.mif"), "Os.mif");
    {
        coxKernel_c kernel(oxString_c(folder.path().c_str()), &provider, &status);
        ASSERT_EQ(status, 0u) << provider.lastError();
        const std::uint32_t os = kernel.ownDescription().id;
        ASSERT_NE(os, 0u);
        // The duplicate check removed the older copy: the component is listed once.
        ASSERT_EQ(provider.database().components().size(), 1u);
        EXPECT_FALSE(provider.database().component(older));
        kernels.push_back(&kernel);

        const oxSpAnswer verify = ask(os, 1, 6);
        EXPECT_EQ(verify.status, 0u);
        EXPECT_TRUE(verify.fromComponent);
        EXPECT_EQ(verify.value.value.kind, 6u);
        EXPECT_EQ(verify.value.value.number6, 7u);

        const oxSpAnswer manufacturer = ask(os, 1, 1); // the component leaves it (0x2008)
        EXPECT_EQ(manufacturer.status, 0u);
        EXPECT_FALSE(manufacturer.fromComponent);
        EXPECT_EQ(oxSpTextOfValue(manufacturer.value.value), "Ox Project");
        EXPECT_EQ(ask(os, 1, 4).status, oxSpStatusNoValue); // neither answers

        oxKey_c key;
        key.add(oxAttribValue_c(1));
        EXPECT_EQ(ask(os, 1, 6, key).status, oxStatusInvalidRowKey); // the component's verdict
    }
    // The kernel deletes the component it installed from the MIF.
    EXPECT_TRUE(provider.database().components().empty());
}

TEST_F(oxSpKernelRoutingTest, AKernelOfAnotherComponentIsNotAsked) {
    std::uint32_t status = 0;
    coxKernel_c kernel(oxString_c(folder.path().c_str()), &provider, &status);
    kernels.push_back(&kernel);
    const auto other = provider.database().installComponent(
        oxMifReader_c::parseComponent(oxSpExampleMif(), "Os.mif"), "Os.mif");
    const oxSpAnswer verify = ask(other, 1, 6);
    EXPECT_FALSE(verify.fromComponent);
    EXPECT_EQ(verify.status, oxSpStatusNoValue);
}

} // namespace
