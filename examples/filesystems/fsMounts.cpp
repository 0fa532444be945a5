// Reading /proc/self/mounts and measuring each entry with statvfs.
#include "fsMounts.h"
#include <fstream>
#include <sstream>
#include <sys/statvfs.h>

namespace {

// The table escapes space, tab, newline and backslash as three octal digits (\040).
std::string unescape(const std::string& field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() &&
            field.find_first_not_of("01234567", i + 1) >= i + 4) {
            text += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

} // namespace

std::vector<fsMount> fsListMounts() {
    std::vector<fsMount> mounts;
    std::ifstream table("/proc/self/mounts");
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        fsMount m;
        if (!(fields >> m.device >> m.mountPoint >> m.type))
            continue;
        m.device = unescape(m.device);
        m.mountPoint = unescape(m.mountPoint);
        bool seen = false;
        for (fsMount& earlier : mounts)
            if (earlier.mountPoint == m.mountPoint) {
                earlier = m;
                seen = true;
            }
        if (!seen)
            mounts.push_back(m);
    }
    return mounts;
}

bool fsMeasure(fsMount& mount) {
    struct statvfs s {};
    if (statvfs(mount.mountPoint.c_str(), &s) != 0)
        return false;
    const std::uint64_t unit = s.f_frsize ? s.f_frsize : s.f_bsize;
    const std::uint64_t used = s.f_blocks - s.f_bfree; // in blocks
    mount.size = static_cast<std::uint64_t>(s.f_blocks) * unit;
    mount.free = static_cast<std::uint64_t>(s.f_bavail) * unit;
    const std::uint64_t usable = used + s.f_bavail;
    mount.usedPercent =
        usable ? static_cast<std::uint32_t>((used * 100 + usable - 1) / usable) : 0;
    return true;
}

std::vector<fsMount> fsMountedFileSystems() {
    std::vector<fsMount> measured;
    for (fsMount& m : fsListMounts())
        if (fsMeasure(m))
            measured.push_back(m);
    return measured;
}

std::optional<fsMount> fsFindMount(const std::string& mountPoint) {
    for (fsMount& m : fsListMounts())
        if (m.mountPoint == mountPoint)
            return fsMeasure(m) ? std::optional<fsMount>(m) : std::nullopt;
    return std::nullopt;
}
