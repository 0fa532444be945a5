// The active code page and UTF-16 conversions over GetACP, MultiByteToWideChar and
// WideCharToMultiByte. A host may choose the active code page (1252, 28591, 65001); CP_ACP then
// converts with that one. UTF-8 takes no flags there and fails on invalid input, as the
// portable converter does.
#include "platform/oxpCodePage.h"
#include <atomic>
#include <windows.h>

namespace {

// The host's choice; 0 while it made none.
std::atomic<std::uint32_t> chosenCodePage{0};

bool known(std::uint32_t codePage) {
    return codePage == 1252 || codePage == 28591 || codePage == oxp::cpUtf8;
}

std::uint32_t effective(std::uint32_t codePage) {
    return codePage == oxp::cpAcp ? oxp::activeCodePage() : codePage;
}

bool badArguments(const void* src, int srcLength, const void* dst, int dstCount) {
    return !src || srcLength == 0 || srcLength < -1 || dstCount < 0 || (dstCount > 0 && !dst);
}

} // namespace

namespace oxp {

std::uint32_t activeCodePage() noexcept {
    std::uint32_t chosen = chosenCodePage.load();
    return chosen ? chosen : GetACP();
}

bool setActiveCodePage(std::uint32_t codePage) noexcept {
    if (!known(codePage) || !IsValidCodePage(codePage))
        return false;
    chosenCodePage.store(codePage);
    return true;
}

int multiByteToWideChar(std::uint32_t codePage, std::uint32_t flags, const char* src,
                        int srcLength, char16_t* dst, int dstCount) noexcept {
    codePage = effective(codePage);
    if (badArguments(src, srcLength, dst, dstCount))
        return 0;
    if (codePage == cpUtf8)
        flags = MB_ERR_INVALID_CHARS;
    return MultiByteToWideChar(codePage, flags, src, srcLength,
                               reinterpret_cast<wchar_t*>(dst), dstCount);
}

int wideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags, const char16_t* src,
                        int srcLength, char* dst, int dstCount, const char* defaultChar,
                        bool* usedDefault) noexcept {
    codePage = effective(codePage);
    if (badArguments(src, srcLength, dst, dstCount))
        return 0;
    BOOL defaulted = FALSE;
    const bool utf8 = codePage == cpUtf8;
    int n = WideCharToMultiByte(codePage, utf8 ? 0 : flags, reinterpret_cast<const wchar_t*>(src),
                                srcLength, dst, dstCount, utf8 ? nullptr : defaultChar,
                                utf8 ? nullptr : &defaulted);
    if (n && usedDefault)
        *usedDefault = defaulted != FALSE;
    return n;
}

} // namespace oxp
