// The backend's default box presenter: the real MessageBoxA on Windows, standard error on
// POSIX. Installing, replacing and calling the presenter are portable (oxpMessageBox.cpp).
#pragma once
#include <cstdint>

namespace oxp::box {
int presentByDefault(const char* text, const char* title, std::uint32_t style);
} // namespace oxp::box
