// Modal message boxes, shown through a replaceable presenter.
#pragma once
#include <cstdint>

namespace oxp {

constexpr std::uint32_t mbOk = 0x0;
constexpr std::uint32_t mbIconError = 0x10;
constexpr std::uint32_t mbTopmost = 0x40000;
constexpr int idOk = 1;

// Shows one box and returns when it is dismissed (the button's ID).
using MessageBoxPresenter = int (*)(const char* text, const char* title, std::uint32_t style);

// MessageBoxA with no owner window. The default presenter writes title and text to standard
// error and answers IDOK.
int messageBox(const char* text, const char* title, std::uint32_t style) noexcept;

// Installs a presenter (null restores the default); returns the one it replaces.
MessageBoxPresenter setMessageBoxPresenter(MessageBoxPresenter presenter) noexcept;

} // namespace oxp
