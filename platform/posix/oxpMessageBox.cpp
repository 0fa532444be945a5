// Message boxes through a replaceable presenter; the default one writes to standard error.
#include "platform/oxpMessageBox.h"
#include <atomic>
#include <cstdio>

namespace {

// One line per box: "title: text". MessageBoxA shows "Error" for a missing title.
int presentOnStandardError(const char* text, const char* title, std::uint32_t) {
    std::fprintf(stderr, "%s: %s\n", title ? title : "Error", text ? text : "");
    std::fflush(stderr);
    return oxp::idOk;
}

std::atomic<oxp::MessageBoxPresenter> presenter{&presentOnStandardError};

} // namespace

namespace oxp {

int messageBox(const char* text, const char* title, std::uint32_t style) noexcept {
    try {
        return presenter.load()(text ? text : "", title ? title : "Error", style);
    } catch (...) {
        // A presenter that fails has still dismissed the box.
        return idOk;
    }
}

MessageBoxPresenter setMessageBoxPresenter(MessageBoxPresenter replacement) noexcept {
    return presenter.exchange(replacement ? replacement : &presentOnStandardError);
}

} // namespace oxp
