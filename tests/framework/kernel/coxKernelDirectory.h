// A real instrumentation directory in a fresh temporary folder: description files and copies
// of built module files. While it lives it stands in for the program's directory in the module
// search order, so a bare module name finds the copies here rather than the build's originals;
// when it goes, the current directory the kernel changed and the search order are restored.
#pragma once
#include "framework/diag/oxMessages.h"
#include "framework/types/oxString.h"
#include "platform/oxpModule.h"
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class coxKernelDirectory {
  public:
    coxKernelDirectory() : saved_(std::filesystem::current_path()) {
        oxMessages_c::instance(); // its language modules come from the build, not from here
        static std::atomic<unsigned> serial{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                ("coxk-" + std::to_string(stamp) + "-" + std::to_string(serial++));
        std::filesystem::create_directories(path_);
        oxp::seam::setProgramDirectory(path_.string().c_str());
    }
    ~coxKernelDirectory() {
        oxp::seam::setProgramDirectory("");
        std::error_code ignored;
        std::filesystem::current_path(saved_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    coxKernelDirectory(const coxKernelDirectory&) = delete;
    coxKernelDirectory& operator=(const coxKernelDirectory&) = delete;

    std::string path() const { return path_.string(); }
    oxString_c directory() const { return oxString_c(path().c_str()); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    // The path as the kernel composes it: directory, backslash, file name.
    std::string kernelPath(const std::string& name) const { return path() + "\\" + name; }

    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return *this / name;
    }
    // A built module file under its own name or another.
    std::string copyModule(const std::string& built, std::string name = {}) const {
        if (name.empty())
            name = built;
        std::filesystem::copy_file(builtPath(built), path_ / name,
                                   std::filesystem::copy_options::overwrite_existing);
        return *this / name;
    }
    // The first bytes of a built module file: no section table, so no version block.
    std::string truncatedCopy(const std::string& built, const std::string& name,
                              std::size_t bytes) const {
        return write(name, read(builtPath(built)).substr(0, bytes));
    }
    // A built module whose ELF header names another processor: its version block still
    // reads, but it cannot be loaded.
    std::string foreignCopy(const std::string& built, const std::string& name) const {
        std::string bytes = read(builtPath(built));
        constexpr std::size_t machineField = 18; // e_machine, the same in both ELF classes
        bytes[machineField] = static_cast<char>(bytes[machineField] == 0x28 ? 0xB7 : 0x28);
        bytes[machineField + 1] = 0;
        return write(name, bytes);
    }
    std::string writeMif(const std::string& name = "Os.mif") const {
        return write(name, "Start Component\n  Name = \"Operating System\"\nEnd Component\n");
    }
    std::string writeMix(const std::string& name, const std::string& language,
                         const std::string& component) const {
        return write(name, "Language = \"" + language + "\"\nName = \"" + component + "\"\n");
    }
    // The component modules and language modules of an ordinary directory.
    void addLanguageModules() const {
        copyModule("oxLng.dll");
        copyModule("oxOemLng.dll");
    }

    static std::string builtPath(const std::string& built) {
        return (std::filesystem::path(OX_BIN_DIR) / built).string();
    }
    static std::string read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

  private:
    std::filesystem::path path_;
    std::filesystem::path saved_;
};
