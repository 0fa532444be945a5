// Resources a module file carries: its version block and its string table.
//
// Both are declared once in the module's source. On POSIX they land in their own sections of
// the module file, where the platform reads them without running the module's code; on Windows
// the build makes them the module's version and string resources:
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

// Layout. Each macro emits one const char array into its own section, built from string
// literals, so the bytes sit in the file exactly as written:
//   .oxversion:  "oxVersionBlock" NUL "1" NUL, then entries  path NUL value NUL,  then NUL.
//   .oxstrings:  "oxStringTable" NUL "1" NUL, then entries  number NUL text NUL,  then NUL.
// The first two texts are the magic and the format version: a section that does not start
// with them is no block. The fixed part is the entry of path "\" whose value reads
// "FM.Fm.Fb.Fr PM.Pm.Pb.Pr T" (file version, product version, file type; each number decimal
// or 0x-hex, at most 0xFFFF, T at most 0xFFFFFFFF). getFileVersionInfo turns it into a
// FixedFileInfo. Values and texts may not hold NUL characters.
//
// The arrays have internal linkage and are marked used and retained, so they survive hidden
// visibility, --exclude-libs and --gc-sections.
#define OX_RESOURCE_TEXT_(x) #x
#define OX_RESOURCE_TEXT(x) OX_RESOURCE_TEXT_(x)
#define OX_RESOURCE_SECTION_(name) [[gnu::used, gnu::retain, gnu::section(name)]]

#define OX_VFT_APP 1
#define OX_VFT_DLL 2

#define OX_VERSION_MAGIC "oxVersionBlock"
#define OX_STRINGS_MAGIC "oxStringTable"
#define OX_RESOURCE_FORMAT "1"

#ifdef _WIN32
// Windows: the build turns the declarations into the module's RT_VERSION and RT_STRING
// resources (cmake/OxResourceScript.cmake), so here they leave nothing in the code.
#define OX_VERSION_BLOCK(entries)
#define OX_STRING_TABLE(entries)
#else
#define OX_VERSION_BLOCK(entries)                                                              \
    OX_RESOURCE_SECTION_(".oxversion")                                                         \
    static const char oxVersionBlock_[] = OX_VERSION_MAGIC "\0" OX_RESOURCE_FORMAT "\0" entries;

#define OX_VERSION_FIXED(fileMajor, fileMinor, fileBuild, fileRevision, productMajor,          \
                         productMinor, productBuild, productRevision, fileType)                \
    "\\" "\0" OX_RESOURCE_TEXT(fileMajor) "." OX_RESOURCE_TEXT(fileMinor) "."                  \
    OX_RESOURCE_TEXT(fileBuild) "." OX_RESOURCE_TEXT(fileRevision) " "                         \
    OX_RESOURCE_TEXT(productMajor) "." OX_RESOURCE_TEXT(productMinor) "."                      \
    OX_RESOURCE_TEXT(productBuild) "." OX_RESOURCE_TEXT(productRevision) " "                   \
    OX_RESOURCE_TEXT(fileType) "\0"

#define OX_VERSION_VALUE(path, value) path "\0" value "\0"

#define OX_STRING_TABLE(entries)                                                               \
    OX_RESOURCE_SECTION_(".oxstrings")                                                         \
    static const char oxStringTable_[] = OX_STRINGS_MAGIC "\0" OX_RESOURCE_FORMAT "\0" entries;
#endif

#define OX_STRING(number, text) OX_RESOURCE_TEXT(number) "\0" text "\0"

namespace oxp {

// LoadStringA: copies the text of string resource id of a loaded module into buffer,
// truncated to size - 1 characters and terminated; returns the number of characters copied,
// 0 when the module or the number is unknown (the buffer then holds an empty text).
int loadString(ModuleHandle module, std::uint32_t id, char* buffer, int size) noexcept;

} // namespace oxp
