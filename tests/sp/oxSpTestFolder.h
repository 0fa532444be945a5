// A temporary folder for one test, removed with everything in it afterwards; files are
// written as raw bytes. The current directory is restored too, since kernels change it.
#pragma once
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

class oxSpTestFolder {
  public:
    oxSpTestFolder() : previous_(std::filesystem::current_path()) {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("oxsp-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~oxSpTestFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    oxSpTestFolder(const oxSpTestFolder&) = delete;
    oxSpTestFolder& operator=(const oxSpTestFolder&) = delete;

    std::string path() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return file(name);
    }

  private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// The example component description, as shipped.
inline std::string oxSpExampleMif() {
    std::ifstream in(std::string(OX_SOURCE_DIR) + "/examples/os/Os.mif", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
