// A fresh folder under the system's temporary folder, removed with everything in it.
#pragma once
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

class oxpTestFolder {
  public:
    oxpTestFolder() {
        static std::atomic<unsigned> serial{0};
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                ("oxp-" + std::to_string(stamp) + "-" + std::to_string(serial++));
        std::filesystem::create_directories(path_);
    }
    ~oxpTestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    oxpTestFolder(const oxpTestFolder&) = delete;
    oxpTestFolder& operator=(const oxpTestFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

    std::string write(const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories((path_ / name).parent_path());
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return *this / name;
    }
    // Copies a file of the build's bin folder (a fixture module, a tool) in under a new name.
    std::string copyBuilt(const std::string& built, const std::string& name) const {
        std::filesystem::create_directories((path_ / name).parent_path());
        std::filesystem::copy_file(std::filesystem::path(OX_BIN_DIR) / built, path_ / name);
        return *this / name;
    }

  private:
    std::filesystem::path path_;
};

// Restores the current folder when it goes.
class oxpKeepCurrentFolder {
  public:
    oxpKeepCurrentFolder() : saved_(std::filesystem::current_path()) {}
    ~oxpKeepCurrentFolder() { std::filesystem::current_path(saved_); }
    oxpKeepCurrentFolder(const oxpKeepCurrentFolder&) = delete;
    oxpKeepCurrentFolder& operator=(const oxpKeepCurrentFolder&) = delete;

  private:
    std::filesystem::path saved_;
};

// Reads a whole file.
inline std::string oxpReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
