// Message boxes through a replaceable presenter; the default one is MessageBoxA.
#include "platform/oxpMessageBox.h"
#include <atomic>
#include <windows.h>

namespace {

// A real modal box with no owner window.
int presentWithMessageBoxA(const char* text, const char* title, std::uint32_t style) {
    return MessageBoxA(nullptr, text, title, style);
}

std::atomic<oxp::MessageBoxPresenter> presenter{&presentWithMessageBoxA};

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
    return presenter.exchange(replacement ? replacement : &presentWithMessageBoxA);
}

} // namespace oxp
