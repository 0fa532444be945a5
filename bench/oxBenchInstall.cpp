// Installing a MIF of N attributes (one group) through the SQLite provider into a fresh
// in-memory database: the parse and the one transaction of slot 13.
#include "bench/oxBenchDirectory.h"
#include "framework/model/oxComponent.h"
#include "sp/oxSqliteServiceProvider.h"
#include <benchmark/benchmark.h>
#include <memory>

namespace {

std::string mifOf(std::uint32_t attributes) {
    std::string mif = "Start Component\n  Name = \"Bench\"\n  Start Group\n    Name = \"G\"\n"
                      "    Class = \"BX|Big|001\"\n    ID = 1\n";
    for (std::uint32_t id = 1; id <= attributes; ++id) {
        const std::string n = std::to_string(id);
        mif += "    Start Attribute Name = \"A" + n + "\" ID = " + n +
               " Type = Integer Value = " + n + " End Attribute\n";
    }
    return mif + "  End Group\nEnd Component\n";
}

void BM_InstallMif(benchmark::State& state) {
    const auto attributes = static_cast<std::uint32_t>(state.range(0));
    const oxBenchDirectory directory;
    directory.write("Big.mif", mifOf(attributes));
    const oxString_c path((directory.path().string() + "\\Big.mif").c_str());
    for (auto _ : state) {
        state.PauseTiming();
        auto sp = std::make_unique<oxSqliteServiceProvider_c>(":memory:");
        oxComponent_c own{0, "Unknown", "", ""};
        oxOctetString_c context;
        std::uint32_t status = 0;
        state.ResumeTiming();
        if (!sp->installFromMIF(own, path, context, &status)) {
            state.SkipWithError(sp->lastError().c_str());
            break;
        }
        state.PauseTiming();
        sp.reset();
        state.ResumeTiming();
    }
    state.counters["attributes"] = attributes;
}
BENCHMARK(BM_InstallMif)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
