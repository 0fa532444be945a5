// The floors every figure is measured against, in the same run: an uncontended mutex with one
// virtual call, reading a module file's ELF headers, and loading and freeing osComp.dll.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct oxBenchCallee {
    virtual ~oxBenchCallee() = default;
    virtual unsigned call(unsigned x) { return x + 1; }
};

// glibc takes its atomic lock path only once the process has started a thread.
void startOneThread() {
    static const bool started = [] {
        std::thread([] {}).join();
        return true;
    }();
    benchmark::DoNotOptimize(started);
}

void BM_FloorMutexVirtualCall(benchmark::State& state) {
    startOneThread();
    std::mutex mutex;
    oxBenchCallee plain;
    oxBenchCallee* callee = &plain;
    benchmark::DoNotOptimize(callee); // the compiler no longer knows the type: the call stays virtual
    unsigned x = 0;
    for (auto _ : state) {
        std::lock_guard lock(mutex);
        x = callee->call(x);
        benchmark::DoNotOptimize(x);
    }
}
BENCHMARK(BM_FloorMutexVirtualCall);

// A reference, not a floor: the same std::mutex and call shared by 2 and 4 threads, what any
// lock costs once its cache line moves between processors.
void BM_ContendedMutexVirtualCall(benchmark::State& state) {
    static std::mutex mutex;
    oxBenchCallee plain;
    oxBenchCallee* callee = &plain;
    benchmark::DoNotOptimize(callee);
    unsigned x = 0;
    for (auto _ : state) {
        std::lock_guard lock(mutex);
        x = callee->call(x);
        benchmark::DoNotOptimize(x);
    }
}
BENCHMARK(BM_ContendedMutexVirtualCall)->Threads(2)->Threads(4)->UseRealTime();

// Open, ELF header, section headers with pread, close.
void BM_FloorReadElfHeaders(benchmark::State& state) {
    const std::string path = std::string(OX_EXAMPLE_DIR) + "/osComp.dll";
    std::vector<Elf64_Shdr> sections;
    for (auto _ : state) {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        Elf64_Ehdr header{};
        if (fd < 0 || pread(fd, &header, sizeof header, 0) != sizeof header) {
            state.SkipWithError("cannot read osComp.dll");
            break;
        }
        sections.resize(header.e_shnum);
        const auto bytes = static_cast<ssize_t>(sizeof(Elf64_Shdr) * header.e_shnum);
        if (pread(fd, sections.data(), bytes, static_cast<off_t>(header.e_shoff)) != bytes)
            state.SkipWithError("cannot read the section headers");
        close(fd);
        benchmark::DoNotOptimize(sections.data());
    }
}
BENCHMARK(BM_FloorReadElfHeaders);

void BM_FloorDlopenOsComp(benchmark::State& state) {
    const std::string path = std::string(OX_EXAMPLE_DIR) + "/osComp.dll";
    for (auto _ : state) {
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            state.SkipWithError(dlerror());
            break;
        }
        dlclose(module);
    }
}
BENCHMARK(BM_FloorDlopenOsComp);

} // namespace
