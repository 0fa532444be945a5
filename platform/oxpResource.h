// Resources a module file carries: its version block and its string table.
//
// Both are declared once in the module's source and land in their own sections of the module
// file, where the platform reads them without running the module's code:
//
//   OX_VERSION_BLOCK(
//       OX_VERSION_FIXED(1, 0, 1, 0, 1, 8, 8, 0, OX_VFT_DLL)
//       OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\FileVersion", "1.88.01")
//       OX_VERSION_VALUE("\\OXInfo\\coxBaseTag", "coxBaseTag"))
//
//   OX_STRING_TABLE(
//       OX_STRING(4097, "Component module %1 failed.")
//       OX_STRING(4104, "OX Error"))
//
// The macros are defined by the platform (see the definitions below this comment); a module
// uses each block macro at most once.
#pragma once
#include "platform/oxpModule.h"
#include <cstdint>

// (definitions supplied with the platform implementation)

namespace oxp {

// LoadStringA: copies the text of string resource id of a loaded module into buffer,
// truncated to size - 1 characters and terminated; returns the number of characters copied,
// 0 when the module or the number is unknown (the buffer then holds an empty text).
int loadString(ModuleHandle module, std::uint32_t id, char* buffer, int size) noexcept;

} // namespace oxp
