// Scratch instrumentation directories for the benchmarks, and a kernel on one of them with a
// recording provider that lists the groups the bench modules serve.
#pragma once
#include "framework/diag/oxMessages.h"
#include "framework/kernel/coxKernel.h"
#include "tests/support/oxRecordingServiceProvider.h"
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

// The served group IDs the recording provider lists.
enum : std::uint32_t { oxBenchIdGroup = 11, oxBenchRowsGroup = 12 };

// A fresh folder under the temporary folder, removed with its files when it goes; the
// current folder it was made in is current again (kernels change it).
class oxBenchDirectory {
  public:
    oxBenchDirectory()
        : saved_(std::filesystem::current_path()),
          path_(mkdtemp((std::filesystem::temp_directory_path() / "oxbench-XXXXXX").string().data())) {}
    ~oxBenchDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(saved_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    oxBenchDirectory(const oxBenchDirectory&) = delete;
    oxBenchDirectory& operator=(const oxBenchDirectory&) = delete;

    const std::filesystem::path& path() const noexcept { return path_; }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }
    // A file of the build's bin folder copied in under a name of its own.
    void copyBuilt(const std::string& built, const std::string& name) const {
        std::filesystem::copy_file(std::filesystem::path(OX_BIN_DIR) / built, path_ / name,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    void writeMif() const { write("Os.mif", "Start Component\nEnd Component\n"); }

  private:
    std::filesystem::path saved_;
    std::filesystem::path path_;
};

// The recording provider as the bench kernels see it: it knows the served groups.
inline void oxBenchListGroups(oxRecordingServiceProvider& sp) {
    sp.groups = {{oxBenchIdGroup, "DMTF|ComponentID|001"},
                 {oxBenchRowsGroup, "BX|Rows|001"},
                 {oxBenchRowsGroup + 1, "BX|RowsEvent|001"}};
}

// A kernel started on a directory the caller filled. Start-up failures end the program: a
// benchmark of a kernel that did not start measures nothing.
class oxBenchKernel {
  public:
    explicit oxBenchKernel(const oxBenchDirectory& directory) {
        oxMessages_c::instance(); // the language modules come from the bin folder, not from here
        oxBenchListGroups(sp_);
        std::uint32_t status = 0;
        kernel_ = std::make_unique<coxKernel_c>(directory.path().c_str(), &sp_, &status);
        if (status != 0 || kernel_->componentObjects().count() == 0) {
            std::fprintf(stderr, "bench kernel on %s: status 0x%x, %u objects\n",
                         directory.path().c_str(), status, kernel_->componentObjects().count());
            std::exit(1);
        }
        sp_.calls.clear();
    }
    coxKernel_c& operator*() const noexcept { return *kernel_; }
    coxKernel_c* operator->() const noexcept { return kernel_.get(); }

  private:
    oxRecordingServiceProvider sp_;
    std::unique_ptr<coxKernel_c> kernel_;
};
