#include "agent/oxAgentDatabasePath.h"
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace oxagent {

std::string defaultDatabasePath() {
    namespace fs = std::filesystem;
    fs::path folder;
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    // XDG: a relative XDG_STATE_HOME is invalid and ignored.
    if (state && *state && fs::path(state).is_absolute())
        folder = fs::path(state);
    else if (home && *home)
        folder = fs::path(home) / ".local" / "state";
    else
        throw std::runtime_error("neither XDG_STATE_HOME nor HOME is set; give --db FILE");
    folder /= "ox";
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        throw std::runtime_error("cannot create " + folder.string() + ": " + error.message());
    return (folder / "oxagent.db").string();
}

std::string resolveDatabasePath(const std::string& given) {
    return given.empty() ? defaultDatabasePath() : given;
}

} // namespace oxagent
