// Where the service provider's database lives: --db FILE, ":memory:" for none, or by default
// $XDG_STATE_HOME/ox/oxagent.db ($HOME/.local/state/ox/oxagent.db without XDG_STATE_HOME).
#pragma once
#include <string>

namespace oxagent {

constexpr const char* memoryDatabase = ":memory:";

// The default file; its folder is created. Throws std::runtime_error when neither
// XDG_STATE_HOME nor HOME is set, or the folder cannot be made.
std::string defaultDatabasePath();
// The given path, or the default one when it is empty.
std::string resolveDatabasePath(const std::string& given);

} // namespace oxagent
