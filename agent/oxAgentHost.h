// oxAgentHost_c: what every subcommand that drives kernels shares: the service provider over
// its database and the kernels, one per instrumentation directory, kept in a coxKernelList_c.
// Kernels are destroyed in the order they were created, when the host goes or on
// closeAll().
#pragma once
#include "framework/kernel/coxKernelList.h"
#include "sp/oxSqliteServiceProvider.h"
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class coxKernel_c;

namespace oxagent {

// A failure the program reports in one line and exits 1 for.
class oxAgentError_c : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class oxAgentHost_c {
  public:
    // Opens (creates) the database; ":memory:" for none. Throws oxAgentError_c.
    explicit oxAgentHost_c(const std::string& databasePath);
    ~oxAgentHost_c();
    oxAgentHost_c(const oxAgentHost_c&) = delete;
    oxAgentHost_c& operator=(const oxAgentHost_c&) = delete;

    // Starts a kernel on the directory (made absolute first: kernels change the current
    // directory). Throws oxAgentError_c, with everything the start-up did taken back, when the
    // directory is missing, has no description file, its description is refused, or the
    // kernel's start-up ends with a non-zero status. The module candidates its scan passed
    // over are named on standard error.
    coxKernel_c& openKernel(const std::string& directory);
    // Stops and destroys every kernel, in the order they were opened.
    void closeAll() noexcept;

    const std::vector<coxKernel_c*>& kernels() const noexcept { return order_; }
    const coxKernelList_c& kernelList() const noexcept { return list_; }
    oxSqliteServiceProvider_c& serviceProvider() noexcept { return *sp_; }
    oxSpDatabase_c& database() noexcept { return sp_->database(); }

    // The directory's absolute form, links resolved. Throws oxAgentError_c when it is not a
    // directory.
    static std::string absoluteDirectory(const std::string& directory);

  private:
    std::optional<oxSqliteServiceProvider_c> sp_;
    coxKernelList_c list_;
    std::vector<coxKernel_c*> order_;
};

} // namespace oxagent
