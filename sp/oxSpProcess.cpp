#include "sp/oxSpProcess.h"
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// The process as /proc/<which>/stat shows it; unknown when that cannot be read or the process
// has ended (a zombie).
oxSpProcess running(const std::string& which) {
    std::ifstream in("/proc/" + which + "/stat");
    std::string line;
    std::getline(in, line);
    // "pid (name) state ppid ...": the name may hold spaces and ')', so the fields after it
    // count from the last ')': field 3 (state) up to field 22 (start time).
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos)
        return {};
    std::istringstream fields(line.substr(close + 1));
    oxSpProcess process{std::strtoll(line.c_str(), nullptr, 10), 0};
    char state = 0;
    std::string skipped;
    fields >> state;
    for (int field = 4; field < 22; ++field)
        fields >> skipped;
    fields >> process.start;
    if (!fields || process.pid <= 0 || state == 'Z' || state == 'X')
        return {};
    return process;
}

} // namespace

oxSpProcess oxSpProcess::current() { return running("self"); }

oxSpProcess oxSpProcess::withId(std::int64_t pid) {
    return pid > 0 ? running(std::to_string(pid)) : oxSpProcess{};
}

bool oxSpProcess::isRunning() const { return pid > 0 && withId(pid) == *this; }
