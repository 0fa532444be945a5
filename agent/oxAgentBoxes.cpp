#include "agent/oxAgentBoxes.h"
#include "platform/oxpMessageBox.h"
#include <cstdio>

namespace oxagent {

namespace {

int presentOnOneLine(const char* text, const char* title, std::uint32_t) {
    const std::string line = boxLine(text, title) + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    return oxp::idOk;
}

} // namespace

std::string boxLine(const char* text, const char* title) {
    std::string line = "oxagent: ";
    if (title && *title) {
        line += title;
        line += ": ";
    }
    bool space = false;
    for (const char* c = text ? text : ""; *c; ++c) {
        if (*c == '\r' || *c == '\n' || *c == '\t') {
            space = true;
            continue;
        }
        if (space && line.back() != ' ')
            line += ' ';
        space = false;
        line += *c;
    }
    return line;
}

void installBoxPresenter() {
    oxp::setMessageBoxPresenter(presentOnOneLine);
}

} // namespace oxagent
