// A scratch folder under the system's temporary folder, shared by every suite. When it goes it is
// removed with everything in it, and the current folder it was made in is current again (kernels
// change it).
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

inline std::string oxReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct oxTestFolder {
    const std::filesystem::path saved = std::filesystem::current_path();
    const std::filesystem::path path = makeUnique();
    ~oxTestFolder() {
        std::error_code ignored;
        std::filesystem::current_path(saved, ignored);
        std::filesystem::remove_all(path, ignored);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
    std::string operator/(const std::string& name) const { return file(name); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories((path / name).parent_path());
        std::ofstream(path / name, std::ios::binary) << bytes;
        return file(name);
    }
    // A new folder "ox-" and a random suffix under the temporary folder.
    static std::filesystem::path makeUnique() {
        static std::random_device seed;
        for (;;) {
            auto candidate = std::filesystem::temp_directory_path() /
                             ("ox-" + std::to_string(std::uniform_int_distribution<unsigned>()(seed)));
            if (std::filesystem::create_directory(candidate))
                return candidate;
        }
    }
    // A file of the build's bin folder (a fixture module) copied in under a new name.
    std::string copyBuilt(const std::string& built, const std::string& name) const {
        return write(name, oxReadFile(std::string(OX_BIN_DIR) + "/" + built));
    }
};
