// Current directory and wildcard directory search over SetCurrentDirectoryA,
// GetCurrentDirectoryA and FindFirstFileA / FindNextFileA / FindClose. The system matches the
// pattern; plain files are kept and handed out in sorted order.
#include "platform/oxpDirectory.h"
#include "platform/oxpPath.h"
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>
#include <windows.h>

namespace {

bool lessNoCase(const oxp::FindData& a, const oxp::FindData& b) {
    int folded = lstrcmpiA(a.fileName, b.fileName);
    return folded != 0 ? folded < 0 : std::strcmp(a.fileName, b.fileName) < 0;
}

// The plain files the pattern matches, in search order.
std::vector<oxp::FindData> matchingFiles(const std::string& pattern) {
    std::vector<oxp::FindData> found;
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do {
        if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
            continue;
        oxp::FindData data{};
        std::memcpy(data.fileName, entry.cFileName, sizeof data.fileName);
        data.fileName[oxp::maxPath - 1] = '\0';
        data.fileSize = static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32 | entry.nFileSizeLow;
        found.push_back(data);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    std::sort(found.begin(), found.end(), lessNoCase);
    return found;
}

// Open searches: the files still to hand out, by handle.
struct Searches {
    std::mutex lock;
    std::map<oxp::FindHandle, std::deque<oxp::FindData>> open;
    oxp::FindHandle next = 1;
};

Searches& searches() {
    static Searches* all = new Searches; // never destroyed: searches may close at exit
    return *all;
}

} // namespace

namespace oxp {

bool setCurrentDirectory(const char* path) noexcept {
    return path && *path && SetCurrentDirectoryA(path);
}

std::uint32_t getCurrentDirectory(std::uint32_t size, char* buffer) noexcept {
    return GetCurrentDirectoryA(buffer ? size : 0, buffer);
}

FindHandle findFirstFile(const char* pattern, FindData* data) noexcept {
    if (!pattern || !data)
        return invalidFindHandle;
    try {
        std::string name = baseName(pattern);
        if (name.empty())
            return invalidFindHandle;
        std::vector<FindData> found = matchingFiles(pattern);
        if (found.empty())
            return invalidFindHandle;
        *data = found.front();
        Searches& all = searches();
        std::lock_guard<std::mutex> hold(all.lock);
        FindHandle handle = all.next++;
        all.open.emplace(handle, std::deque<FindData>(found.begin() + 1, found.end()));
        return handle;
    } catch (...) {
        return invalidFindHandle;
    }
}

bool findNextFile(FindHandle h, FindData* data) noexcept {
    if (!data)
        return false;
    Searches& all = searches();
    std::lock_guard<std::mutex> hold(all.lock);
    auto it = all.open.find(h);
    if (it == all.open.end() || it->second.empty())
        return false;
    *data = it->second.front();
    it->second.pop_front();
    return true;
}

bool findClose(FindHandle h) noexcept {
    Searches& all = searches();
    std::lock_guard<std::mutex> hold(all.lock);
    return all.open.erase(h) == 1;
}

} // namespace oxp
