// Requests to a kernel on a real directory (Os.mif, osComp.dll): the guarded get of Verify
// (attribute 6 of the ComponentID group) from 1, 2 and 4 threads on reused objects, a get as
// the host makes it (a new value and key for each), and start-up with teardown on the example
// directory. An answer other than status 0 and 7 stops the benchmark with an error.
#include "bench/oxBenchDirectory.h"
#include "framework/model/oxAttribValue.h"
#include "framework/model/oxKey.h"
#include <benchmark/benchmark.h>

namespace {

constexpr std::uint32_t verify = 6;

// One kernel for the whole run, shared by the threads of a benchmark.
coxKernel_c& osKernel() {
    static const oxBenchDirectory directory;
    static const oxBenchKernel kernel = [] {
        directory.writeMif();
        directory.copyBuilt("osComp.dll", "osComp.dll");
        return oxBenchKernel(directory);
    }();
    return *kernel;
}

bool answeredVerify(bool done, const oxAttribValue_c& value, std::uint32_t status) {
    return done && status == 0 && value.value.kind == 6 && value.value.number6 == 7;
}

void BM_GuardedGetVerify(benchmark::State& state) {
    coxKernel_c& kernel = osKernel();
    oxAttribValue_c value(verify);
    oxKey_c key;
    const std::uint32_t group = oxBenchIdGroup;
    std::uint32_t status = 0;
    for (auto _ : state) {
        value.value.number6 = 0;
        const bool done = kernel.getAttribute(value, &group, key, 0, 0, &status);
        if (!answeredVerify(done, value, status)) {
            state.SkipWithError("Verify did not answer 7");
            break;
        }
    }
}
BENCHMARK(BM_GuardedGetVerify)->Threads(1)->Threads(2)->Threads(4)->UseRealTime();

void BM_HostGetVerify(benchmark::State& state) {
    coxKernel_c& kernel = osKernel();
    const oxKey_c empty;
    const std::uint32_t group = oxBenchIdGroup;
    for (auto _ : state) {
        oxAttribValue_c value(verify);
        oxKey_c key(empty);
        std::uint32_t status = 0;
        const bool done = kernel.getAttribute(value, &group, key, 0, 0, &status);
        if (!answeredVerify(done, value, status)) {
            state.SkipWithError("Verify did not answer 7");
            break;
        }
    }
}
BENCHMARK(BM_HostGetVerify);

// The example directory as the build assembles it; the recording provider installs nothing.
void BM_StartUpAndTeardown(benchmark::State& state) {
    oxMessages_c::instance();
    oxRecordingServiceProvider sp;
    oxBenchListGroups(sp);
    const auto saved = std::filesystem::current_path();
    for (auto _ : state) {
        std::uint32_t status = 0;
        {
            coxKernel_c kernel(OX_EXAMPLE_DIR, &sp, &status);
            if (status != 0 || kernel.componentObjects().count() != 1) {
                state.SkipWithError("start-up on the example directory failed");
                break;
            }
        }
        sp.calls.clear(); // osComp's teardown deleted the event group it added
    }
    std::filesystem::current_path(saved);
}
BENCHMARK(BM_StartUpAndTeardown);

} // namespace
