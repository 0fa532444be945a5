// Current directory and the plain files a wildcard matches, over SetCurrentDirectoryA,
// GetCurrentDirectoryA and FindFirstFileA / FindNextFileA / FindClose: the system matches.
#include "platform/oxpDirectory.h"
#include "platform/oxpDirectoryListing.h"
#include <cstring>
#include <string>
#include <vector>
#include <windows.h>

namespace oxp {

bool setCurrentDirectory(const char* path) noexcept {
    return path && *path && SetCurrentDirectoryA(path);
}

std::uint32_t getCurrentDirectory(std::uint32_t size, char* buffer) noexcept {
    return GetCurrentDirectoryA(buffer ? size : 0, buffer);
}

std::vector<FindData> matchingFiles(const std::string& folder, const std::string& pattern) {
    // A pattern without folder goes to the system as written: "C:*.dll" keeps its drive.
    const char last = folder.empty() ? '\\' : folder.back();
    std::string path = folder == "."                  ? pattern
                       : last == '\\' || last == '/' ? folder + pattern
                                                     : folder + '\\' + pattern;
    std::vector<FindData> found;
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA(path.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    try {
        do {
            if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
                continue;
            FindData data{};
            std::memcpy(data.fileName, entry.cFileName, sizeof data.fileName);
            data.fileName[maxPath - 1] = '\0';
            data.fileSize =
                static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32 | entry.nFileSizeLow;
            found.push_back(data);
        } while (FindNextFileA(search, &entry));
    } catch (...) {
        FindClose(search); // the system's search must not outlive a failed copy
        throw;
    }
    FindClose(search);
    return found;
}

} // namespace oxp
