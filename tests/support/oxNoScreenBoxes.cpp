// Windows test programs: no real MessageBoxA may wait for a user who is not there. A box that
// reaches this presenter (no recorder installed) fails the running test at once.
#include "platform/oxpMessageBox.h"
#include <gtest/gtest.h>

namespace {
int failInsteadOfShowing(const char* text, const char* title, std::uint32_t) {
    ADD_FAILURE() << "a message box would have been shown: " << title << ": " << text;
    return oxp::idOk;
}
const oxp::MessageBoxPresenter realBox = oxp::setMessageBoxPresenter(&failInsteadOfShowing);
} // namespace
