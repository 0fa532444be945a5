// The backend's half of directory search: the plain files of one folder whose names match a
// wildcard. Splitting the pattern, the order and the search handles are portable
// (oxpDirectory.cpp), so every system hands files out alike.
#pragma once
#include "platform/oxpDirectory.h"
#include <string>
#include <vector>

namespace oxp {

// folder is a host path ("." for the current folder), pattern a name with '*' and '?'. The
// files come in the system's order; may throw std::bad_alloc.
std::vector<FindData> matchingFiles(const std::string& folder, const std::string& pattern);

} // namespace oxp
