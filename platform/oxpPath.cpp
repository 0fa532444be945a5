// Windows-style paths: the parts every host shares (names, separators, case folding).
#include "platform/oxpPath.h"
#include <cstring>

namespace {
char foldCase(char c) noexcept { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
} // namespace

namespace oxp {

bool hasSeparator(const char* name) noexcept {
    return name && (std::strchr(name, '\\') || std::strchr(name, '/'));
}

std::string baseName(const std::string& path) {
    std::size_t last = path.find_last_of("\\/");
    return last == std::string::npos ? path : path.substr(last + 1);
}

bool sameNameNoCase(const std::string& a, const std::string& b) noexcept {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldCase(a[i]) != foldCase(b[i]))
            return false;
    return true;
}

} // namespace oxp
