// The default box on POSIX: one line on standard error, "title: text", answered with IDOK.
#include "platform/oxpMessageBox.h"
#include "platform/oxpMessageBoxDefault.h"
#include <cstdio>

namespace oxp::box {

// MessageBoxA shows "Error" for a missing title.
int presentByDefault(const char* text, const char* title, std::uint32_t) {
    std::fprintf(stderr, "%s: %s\n", title ? title : "Error", text ? text : "");
    std::fflush(stderr);
    return idOk;
}

} // namespace oxp::box
