// The File Systems example through a kernel on its built directory: the threshold's guarded
// reserve, set and release, and the rows a get-next walk visits.
#include "framework/kernel/coxKernel.h"
#include "framework/model/oxAttribValue.h"
#include "sp/oxSqliteServiceProvider.h"
#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/statvfs.h>

namespace {

// Mount points of /proc/self/mounts that statvfs answers for, each once, in mount order.
std::vector<std::string> measurableMountPoints() {
    std::vector<std::string> points;
    std::ifstream table("/proc/self/mounts");
    for (std::string line, device, point; std::getline(table, line);) {
        std::istringstream(line) >> device >> point;
        for (std::size_t at; (at = point.find("\\040")) != std::string::npos;)
            point.replace(at, 4, " ");
        struct statvfs s {};
        if (std::find(points.begin(), points.end(), point) == points.end() &&
            statvfs(point.c_str(), &s) == 0)
            points.push_back(point);
    }
    return points;
}

class fsComponentTest : public ::testing::Test {
  protected:
    oxSqliteServiceProvider_c sp{":memory:"};
    std::uint32_t status = 0, table = 2;
    coxKernel_c kernel{oxString_c(OX_BIN_DIR "/../examples/filesystems"), &sp, &status};
    oxKey_c firstRow;
};

TEST_F(fsComponentTest, ThresholdIsReservedAndSetThroughTheKernelAndNothingAbove100) {
    struct Case { std::uint32_t kind, number, status, after; };
    for (const Case c : {Case{5, 42, 0, 42}, Case{6, 0, 0, 0}, Case{5, 100, 0, 100},
                         Case{5, 101, 0xF001, 100}, Case{6, 0xFFFFFFFF, 0xF001, 100},
                         Case{8, 7, 0xF001, 100}}) {
        SCOPED_TRACE(testing::Message() << c.kind << " " << c.number);
        oxAttribValue_c value(7);
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
    oxAttribValue_c size(4);
    size.value.kind = 5;
    EXPECT_FALSE(kernel.setAttribute(size, &table, firstRow, 0, 0, &status));
    EXPECT_EQ(status, 0x2006u) << "only the threshold is writable";
}

TEST_F(fsComponentTest, GetNextWalksOneRowPerMeasurableMountPointInMountOrder) {
    std::vector<std::string> walked;
    oxAttribValue_c point(1);
    oxKey_c key;
    for (bool more = kernel.getAttribute(point, &table, key, 0, 0, &status); more;
         more = kernel.getNextAttribute(point, &table, key, 0, 0, &status)) {
        walked.emplace_back(point.value.string.text());
        key = oxKey_c();
        key.add(point);
    }
    EXPECT_EQ(status, 0x7004u);
    EXPECT_EQ(walked, measurableMountPoints());
}

} // namespace
