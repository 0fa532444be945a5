// A temporary folder removed with everything in it afterwards (the current directory is restored
// too, since kernels change it); files are written as raw bytes. And the example description.
#pragma once
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

struct oxSpTestFolder {
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("oxsp-" + std::to_string(std::random_device()()));
    oxSpTestFolder() { std::filesystem::create_directories(path); }
    ~oxSpTestFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous, ignored);
        std::filesystem::remove_all(path, ignored);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories((path / name).parent_path());
        std::ofstream(path / name, std::ios::binary) << bytes;
        return file(name);
    }
};

inline std::string oxSpExampleMif() {
    std::ifstream in(OX_SOURCE_DIR "/examples/os/Os.mif", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
