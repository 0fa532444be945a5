// Message boxes through a replaceable presenter, the backend's own by default.
#include "platform/oxpMessageBox.h"
#include "platform/oxpMessageBoxDefault.h"
#include <atomic>

namespace {
std::atomic<oxp::MessageBoxPresenter> presenter{&oxp::box::presentByDefault};
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
    return presenter.exchange(replacement ? replacement : &box::presentByDefault);
}

} // namespace oxp
