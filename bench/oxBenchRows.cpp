// A get-next walk over a table of N rows (bxRows.dll, its row count in bxRows.rows): from the
// first row's key to the last, one request per row, the last answering "no next row". Reported
// per walk; scripts/bench.sh divides by N floors.
#include "bench/oxBenchDirectory.h"
#include "framework/model/oxAttribValue.h"
#include "framework/model/oxKey.h"
#include <benchmark/benchmark.h>
#include <vector>

namespace {

constexpr std::uint32_t noNextRow = 0x7004;

void BM_GetNextWalk(benchmark::State& state) {
    const auto rows = static_cast<std::uint32_t>(state.range(0));
    const oxBenchDirectory directory;
    directory.writeMif();
    directory.copyBuilt("bxRows.dll", "bxRows.dll");
    directory.write("bxRows.rows", std::to_string(rows));
    const oxBenchKernel kernel(directory);
    std::vector<oxKey_c> keys;
    keys.reserve(rows);
    for (std::uint32_t row = 1; row <= rows; ++row) {
        keys.emplace_back(oxIdList_c{1});
        keys.back().at(0)->value.number6 = row;
    }
    const std::uint32_t group = oxBenchRowsGroup;
    oxAttribValue_c value(2);
    for (auto _ : state) {
        for (std::uint32_t row = 1; row <= rows; ++row) {
            std::uint32_t status = 0;
            kernel->getNextAttribute(value, &group, keys[row - 1], 0, 0, &status);
            const bool right = row < rows ? status == 0 && value.value.number6 == row + 1
                                          : status == noNextRow;
            if (!right) {
                state.SkipWithError("the walk did not answer the next row");
                return;
            }
        }
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_GetNextWalk)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace
