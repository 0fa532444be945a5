// Current directory and wildcard directory search.
#pragma once
#include <cstdint>

namespace oxp {

// SetCurrentDirectoryA: false on failure.
bool setCurrentDirectory(const char* path) noexcept;

// GetCurrentDirectoryA: with room, copies the path and its terminator and returns the
// length without terminator; without room, returns the size needed (terminator included)
// and writes nothing; 0 on failure.
std::uint32_t getCurrentDirectory(std::uint32_t size, char* buffer) noexcept;

constexpr std::uint32_t maxPath = 260;

// WIN32_FIND_DATAA, reduced to what the framework reads.
struct FindData {
    char fileName[maxPath];
    std::uint64_t fileSize;
};

using FindHandle = std::intptr_t;
constexpr FindHandle invalidFindHandle = -1;

// FindFirstFileA / FindNextFileA / FindClose. The pattern is a path whose last part may hold
// '*' and '?', matched case-insensitively; only plain files are found. As on Windows, "x.*"
// also matches names without a dot. The order is the same on every system: names compared
// with ASCII letters folded to lower case, then byte by byte ("b-a", "b.x", "B_a", "ba"), so a
// scan of the same folder visits its files alike on Windows and POSIX.
FindHandle findFirstFile(const char* pattern, FindData* data) noexcept;
bool findNextFile(FindHandle h, FindData* data) noexcept;
bool findClose(FindHandle h) noexcept;

} // namespace oxp
