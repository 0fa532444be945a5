// oxversion FILE [PATH]: prints the version block of a module file without loading it.
// Without PATH: the fixed part and every value, one per line. With PATH: that value only
// ("\" gives the fixed part). Exit status: 0 printed, 1 no block or no such value, 2 usage
// or unreadable file.
#include "platform/oxpVersion.h"
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

void printVersion(const char* label, std::uint32_t high, std::uint32_t low) {
    std::printf("%-15s%u.%u.%u.%u\n", label, high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF);
}

void printFixed(const oxp::FixedFileInfo& fixed) {
    printVersion("FileVersion", fixed.fileVersionMS, fixed.fileVersionLS);
    printVersion("ProductVersion", fixed.productVersionMS, fixed.productVersionLS);
    const char* kind = fixed.fileType == 1 ? " (application)" : fixed.fileType == 2 ? " (DLL)" : "";
    std::printf("%-15s%u%s\n", "FileType", fixed.fileType, kind);
}

int printValue(const void* block, const char* file, const char* path) {
    const void* value = nullptr;
    std::uint32_t length = 0;
    if (!oxp::verQueryValue(block, path, &value, &length)) {
        std::fprintf(stderr, "oxversion: %s: the version block has no value %s\n", file, path);
        return 1;
    }
    if (path[0] == '\\' && path[1] == '\0')
        printFixed(*static_cast<const oxp::FixedFileInfo*>(value));
    else
        std::printf("%s\n", static_cast<const char*>(value));
    return 0;
}

int printBlock(const void* block) {
    const void* fixed = nullptr;
    std::uint32_t length = 0;
    if (oxp::verQueryValue(block, "\\", &fixed, &length))
        printFixed(*static_cast<const oxp::FixedFileInfo*>(fixed));
    const char* path = nullptr;
    const char* value = nullptr;
    for (std::uint32_t i = 0; oxp::versionValueAt(block, i, &path, &value); ++i)
        std::printf("%s = %s\n", path, value);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: oxversion FILE [PATH]\n");
        return 2;
    }
    const char* file = argv[1];
    if (!std::ifstream(file)) {
        std::fprintf(stderr, "oxversion: %s: cannot open the file\n", file);
        return 2;
    }
    std::uint32_t size = oxp::getFileVersionInfoSize(file);
    std::vector<unsigned char> block(size);
    if (size == 0 || !oxp::getFileVersionInfo(file, size, block.data())) {
        std::fprintf(stderr, "oxversion: %s: no version block\n", file);
        return 1;
    }
    return argc == 3 ? printValue(block.data(), file, argv[2]) : printBlock(block.data());
}
