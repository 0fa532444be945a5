// The File Systems example through a kernel on its built directory: the usage threshold's
// guarded reserve, set and release, read back; a value that is no percentage changes nothing.
#include "framework/kernel/coxKernel.h"
#include "framework/model/oxAttribValue.h"
#include "sp/oxSqliteServiceProvider.h"
#include <gtest/gtest.h>

namespace {

TEST(fsComponentTest, ThresholdIsReservedAndSetThroughTheKernelAndNothingAbove100) {
    oxSqliteServiceProvider_c sp(":memory:");
    std::uint32_t status = 0, table = 2;
    coxKernel_c kernel(oxString_c(OX_BIN_DIR "/../examples/filesystems"), &sp, &status);
    oxKey_c firstRow;
    struct Case { std::uint32_t attribute, kind, number, status, after; };
    for (const Case c : {Case{7, 5, 42, 0, 42}, Case{7, 6, 0, 0, 0}, Case{7, 5, 100, 0, 100},
                         Case{7, 5, 101, 0xF001, 100}, Case{7, 6, 0xFFFFFFFF, 0xF001, 100},
                         Case{7, 8, 7, 0xF001, 100}, Case{4, 5, 7, 0x2006, 100}}) {
        SCOPED_TRACE(testing::Message() << c.attribute << " " << c.kind << " " << c.number);
        oxAttribValue_c value(c.attribute);
        value.value.kind = c.kind;
        value.value.number5 = value.value.number6 = c.number;
        EXPECT_EQ(kernel.reserveAttribute(value, &table, firstRow, 0, 0, &status), c.status == 0);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(kernel.setAttribute(value, &table, firstRow, 0, 0, &status), c.status == 0);
        EXPECT_EQ(status, c.status);
        EXPECT_TRUE(kernel.releaseAttribute(value, &table, firstRow, 0, 0, &status));
        oxAttribValue_c read(7);
        EXPECT_TRUE(kernel.getAttribute(read, &table, firstRow, 0, 0, &status));
        EXPECT_EQ(std::tuple(read.value.kind, read.value.number5), std::tuple(5u, c.after));
    }
}

} // namespace
