// The active code page and UTF-16 conversions over GetACP, MultiByteToWideChar and
// WideCharToMultiByte. A host may choose the active code page (1252, 28591, 65001); CP_ACP then
// converts with that one. As the POSIX converter does: only those three code pages convert,
// UTF-8 fails on invalid input, there is no best-fit mapping, and a surrogate pair the code page
// cannot hold becomes one default character.
#include "platform/oxpCodePage.h"
#include <atomic>
#include <string>
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

bool isHigh(char16_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool isLow(char16_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

// The source with every surrogate pair replaced by U+FFFF, which no single-byte code page holds.
std::u16string pairsAsOne(const char16_t* src, int length) {
    std::u16string units(src, static_cast<std::size_t>(length));
    std::u16string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        bool pair = isHigh(units[i]) && i + 1 < units.size() && isLow(units[i + 1]);
        out.push_back(pair ? u'\uFFFF' : units[i]);
        i += pair;
    }
    return out;
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
    if (!known(codePage) || badArguments(src, srcLength, dst, dstCount))
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
    if (!known(codePage) || badArguments(src, srcLength, dst, dstCount))
        return 0;
    BOOL defaulted = FALSE;
    int n = 0;
    if (codePage == cpUtf8) {
        n = WideCharToMultiByte(codePage, 0, reinterpret_cast<const wchar_t*>(src), srcLength, dst,
                                dstCount, nullptr, nullptr);
    } else {
        const int length =
            srcLength == -1 ? static_cast<int>(std::char_traits<char16_t>::length(src)) + 1
                            : srcLength;
        try {
            const std::u16string units = pairsAsOne(src, length);
            n = WideCharToMultiByte(codePage, flags | WC_NO_BEST_FIT_CHARS,
                                    reinterpret_cast<const wchar_t*>(units.data()),
                                    static_cast<int>(units.size()), dst, dstCount, defaultChar,
                                    &defaulted);
        } catch (...) {
            return 0;
        }
    }
    if (n && usedDefault)
        *usedDefault = defaulted != FALSE;
    return n;
}

} // namespace oxp
