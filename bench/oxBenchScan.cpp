// The module scan's cost per file: loadAllModules over a directory of N copies of a module file
// that is no component module (a version block without the tag), the common case of a
// directory that holds other DLLs. Every copy is read and passed over, none is loaded, so the
// time per file is the scan and the version test alone. The kernel's own osComp.dll, already
// loaded, is passed over by name and not counted.
#include "bench/oxBenchDirectory.h"
#include <benchmark/benchmark.h>

namespace {

void BM_ModuleScanPerFile(benchmark::State& state) {
    const auto files = static_cast<std::uint32_t>(state.range(0));
    const oxBenchDirectory directory;
    directory.writeMif();
    directory.copyBuilt("osComp.dll", "osComp.dll");
    for (std::uint32_t i = 0; i < files; ++i)
        directory.copyBuilt("bxOther.dll", "other" + std::to_string(i) + ".dll");
    const oxBenchKernel kernel(directory);
    for (auto _ : state) {
        // osComp.dll is already loaded: the scan passes over it as over the others.
        kernel->loadAllModules();
    }
    if (kernel->componentObjects().count() != 1)
        state.SkipWithError("the scan loaded a module it should have passed over");
    state.counters["files"] = files;
}
BENCHMARK(BM_ModuleScanPerFile)->Arg(1)->Arg(10)->Arg(100)->Arg(1000);

} // namespace
