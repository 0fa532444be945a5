// Scratch folders under the system's temporary folder, removed with everything in them.
#pragma once
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

class oxpTestFolder {
  public:
    oxpTestFolder() {
        static std::atomic<unsigned> serial{0};
        path_ = std::filesystem::temp_directory_path() /
                ("oxp-" + std::to_string(getpid()) + "-" + std::to_string(serial++));
        std::filesystem::create_directories(path_);
    }
    ~oxpTestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories((path_ / name).parent_path());
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return *this / name;
    }
    // Copies a file of the build's bin folder (a fixture module, a tool) in under a new name.
    std::string copyBuilt(const std::string& built, const std::string& name) const {
        std::ifstream in(std::string(OX_BIN_DIR) + "/" + built, std::ios::binary);
        return write(name, std::string(std::istreambuf_iterator<char>(in), {}));
    }

  private:
    std::filesystem::path path_;
};

// Restores the current folder when it goes.
struct oxpKeepCurrentFolder {
    std::filesystem::path saved = std::filesystem::current_path();
    ~oxpKeepCurrentFolder() { std::filesystem::current_path(saved); }
};

inline std::string oxpReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
