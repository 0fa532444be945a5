// Directory search over the backend's listing: one order and one handle table on every system.
#include "platform/oxpDirectory.h"
#include "platform/oxpDirectoryListing.h"
#include "platform/oxpPath.h"
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

int foldCase(char c) noexcept {
    auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') ? byte + 32 : byte;
}

// strcasecmp in the C locale: ASCII letters folded to lower case, other bytes as they are.
int compareFolded(const char* a, const char* b) noexcept {
    for (;; ++a, ++b) {
        int x = foldCase(*a), y = foldCase(*b);
        if (x != y || x == 0)
            return x - y;
    }
}

// Names in any case first, then the bytes, so that the order never depends on the system's
// collation (Windows' own compare ignores hyphens, for one).
bool lessNoCase(const oxp::FindData& a, const oxp::FindData& b) {
    int folded = compareFolded(a.fileName, b.fileName);
    return folded != 0 ? folded < 0 : std::strcmp(a.fileName, b.fileName) < 0;
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

FindHandle findFirstFile(const char* pattern, FindData* data) noexcept {
    if (!pattern || !data)
        return invalidFindHandle;
    try {
        std::string path = hostPath(pattern);
        std::size_t last = path.find_last_of("\\/");
        std::string folder = last == std::string::npos ? "."
                             : last == 0              ? path.substr(0, 1)
                                                      : path.substr(0, last);
        std::string name = last == std::string::npos ? path : path.substr(last + 1);
        if (name.empty())
            return invalidFindHandle;
        std::vector<FindData> found = matchingFiles(resolveHostPath(folder), name);
        if (found.empty())
            return invalidFindHandle;
        std::sort(found.begin(), found.end(), lessNoCase);
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
