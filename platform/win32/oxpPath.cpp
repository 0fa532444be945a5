// Windows paths are the host's own: both separators work and names match in any case.
#include "platform/oxpPath.h"

namespace oxp {

std::string hostPath(const char* windowsPath) { return windowsPath ? windowsPath : ""; }

std::string resolveHostPath(const std::string& path) { return path; }

} // namespace oxp
