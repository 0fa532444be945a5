#include "agent/oxAgentBoxes.h"
#include "platform/oxpMessageBox.h"
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

namespace oxagent {

namespace {

struct Directories {
    std::mutex lock;
    std::vector<std::string> paths;
};

Directories& directories() {
    static Directories* all = new Directories; // never destroyed: a box may come at exit
    return *all;
}

bool followsDirectory(const char* text, const char* at, const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        if (static_cast<std::size_t>(at - text) >= path.size() &&
            std::memcmp(at - path.size(), path.data(), path.size()) == 0)
            return true;
    return false;
}

// Collects the line in a fixed buffer (a box may report that memory ran out, so nothing is
// allocated) and writes it in as few pieces as it fits in.
class LineWriter {
  public:
    ~LineWriter() { flush(); }
    void put(char c) {
        if (used_ == sizeof buffer_)
            flush();
        buffer_[used_++] = c;
    }
    void put(const char* text) {
        while (*text)
            put(*text++);
    }

  private:
    void flush() {
        std::fwrite(buffer_, 1, used_, stderr);
        used_ = 0;
    }
    char buffer_[512];
    std::size_t used_ = 0;
};

int presentOnOneLine(const char* text, const char* title, std::uint32_t) {
    Directories& known = directories();
    const std::lock_guard<std::mutex> hold(known.lock);
    {
        LineWriter line;
        line.put("oxagent: ");
        if (title && *title) {
            line.put(title);
            line.put(": ");
        }
        bool space = false;
        char last = ' '; // the prefix ends in a space
        text = text ? text : "";
        for (const char* c = text; *c; ++c) {
            if (*c == '\r' || *c == '\n' || *c == '\t') {
                space = true;
                continue;
            }
            if (space && last != ' ')
                line.put(' ');
            space = false;
            last = *c == '\\' && followsDirectory(text, c, known.paths) ? '/' : *c;
            line.put(last);
        }
        line.put('\n');
    }
    std::fflush(stderr);
    return oxp::idOk;
}

} // namespace

void installBoxPresenter() {
    oxp::setMessageBoxPresenter(presentOnOneLine);
}

void showPathsUnder(const std::string& hostDirectory) {
    Directories& known = directories();
    const std::lock_guard<std::mutex> hold(known.lock);
    known.paths.push_back(hostDirectory);
}

} // namespace oxagent
