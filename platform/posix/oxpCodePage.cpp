// Windows-1252, ISO 8859-1 and UTF-8 to and from UTF-16, with the Windows calls' conventions.
//
// Choices: flags are accepted and ignored (both calls behave as with no flags, except that
// invalid UTF-8 always fails); there is no best-fit mapping, so every character a code page
// cannot hold becomes the default character; a lone surrogate written as UTF-8 becomes U+FFFD;
// the five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the
// control characters of the same number, as Windows maps them.
#include "platform/oxpCodePage.h"
#include <atomic>
#include <climits>
#include <cstring>
#include <string>

namespace {

constexpr std::uint32_t cpWindows1252 = 1252;
constexpr std::uint32_t cpLatin1 = 28591;

std::atomic<std::uint32_t> activeCodePageValue{cpWindows1252};

// Windows-1252 bytes 0x80-0x9F; the rest agree with ISO 8859-1.
constexpr char16_t windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::uint32_t effective(std::uint32_t codePage) {
    return codePage == oxp::cpAcp ? activeCodePageValue.load() : codePage;
}

bool known(std::uint32_t codePage) {
    return codePage == cpWindows1252 || codePage == cpLatin1 || codePage == oxp::cpUtf8;
}

// Writes units into a destination, or only counts them when there is none.
class Output {
  public:
    template <class T> Output(T* dst, int room) : dst_(dst), room_(room) {}
    template <class T> bool put(T unit) {
        if (count_ == INT_MAX)
            return false;
        if (dst_) {
            if (count_ >= room_)
                return false;
            static_cast<T*>(dst_)[count_] = unit;
        }
        ++count_;
        return true;
    }
    int count() const { return count_; }

  private:
    void* dst_;
    int room_;
    int count_ = 0;
};

// One code point of UTF-8 at src[i]; advances i; false for an invalid or cut-off sequence.
bool decodeUtf8(const unsigned char* src, int length, int& i, char32_t& cp) {
    unsigned char lead = src[i++];
    int extra = lead < 0x80 ? 0 : lead >= 0xC2 && lead < 0xE0 ? 1 : lead >= 0xE0 && lead < 0xF0 ? 2
              : lead >= 0xF0 && lead < 0xF5 ? 3 : -1;
    if (extra < 0 || length - i < extra)
        return false;
    cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k, ++i) {
        if ((src[i] & 0xC0) != 0x80)
            return false;
        cp = cp << 6 | (src[i] & 0x3F);
    }
    constexpr char32_t smallest[4] = {0, 0x80, 0x800, 0x10000};
    return cp >= smallest[extra] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
}

bool toUtf16(std::uint32_t codePage, const char* src, int length, Output& out) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(src);
    for (int i = 0; i < length;) {
        if (codePage != oxp::cpUtf8) {
            unsigned char b = bytes[i++];
            char16_t unit = (codePage == cpWindows1252 && b >= 0x80 && b < 0xA0) ? windows1252High[b - 0x80] : b;
            if (!out.put(unit))
                return false;
            continue;
        }
        char32_t cp = 0;
        if (!decodeUtf8(bytes, length, i, cp))
            return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            if (!out.put(static_cast<char16_t>(0xD800 + (cp >> 10))) ||
                !out.put(static_cast<char16_t>(0xDC00 + (cp & 0x3FF))))
                return false;
        } else if (!out.put(static_cast<char16_t>(cp))) {
            return false;
        }
    }
    return true;
}

// The byte a single-byte code page writes for a code point; false when it has none.
bool singleByte(std::uint32_t codePage, char32_t cp, char& byte) {
    if (cp < 0x80 || (cp < 0x100 && (codePage == cpLatin1 || cp >= 0xA0))) {
        byte = static_cast<char>(cp);
        return true;
    }
    if (codePage == cpWindows1252)
        for (int k = 0; k < 32; ++k)
            if (windows1252High[k] == cp) {
                byte = static_cast<char>(0x80 + k);
                return true;
            }
    return false;
}

bool putUtf8(char32_t cp, Output& out) {
    if (cp < 0x80)
        return out.put(static_cast<char>(cp));
    int extra = cp < 0x800 ? 1 : cp < 0x10000 ? 2 : 3;
    constexpr unsigned char leads[4] = {0, 0xC0, 0xE0, 0xF0};
    if (!out.put(static_cast<char>(leads[extra] | (cp >> (6 * extra)))))
        return false;
    for (int k = extra - 1; k >= 0; --k)
        if (!out.put(static_cast<char>(0x80 | ((cp >> (6 * k)) & 0x3F))))
            return false;
    return true;
}

bool fromUtf16(std::uint32_t codePage, const char16_t* src, int length, Output& out,
               char defaultChar, bool& usedDefault) {
    for (int i = 0; i < length;) {
        char32_t cp = src[i++];
        if (cp >= 0xD800 && cp < 0xDC00 && i < length && src[i] >= 0xDC00 && src[i] < 0xE000)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (src[i++] - 0xDC00);
        else if (cp >= 0xD800 && cp < 0xE000)
            cp = codePage == oxp::cpUtf8 ? 0xFFFD : cp; // a lone surrogate
        if (codePage == oxp::cpUtf8) {
            if (!putUtf8(cp, out))
                return false;
            continue;
        }
        char byte = 0;
        if (!singleByte(codePage, cp, byte)) {
            byte = defaultChar;
            usedDefault = true;
        }
        if (!out.put(byte))
            return false;
    }
    return true;
}

// The units of src to convert (with its terminator when srcLength is -1); 0 when the code page
// or the arguments are bad, as both conversions refuse them alike.
template <class From, class To>
int inputLength(std::uint32_t codePage, const From* src, int srcLength, const To* dst,
                int dstCount) noexcept {
    if (!known(codePage) || !src || srcLength == 0 || srcLength < -1 || dstCount < 0 ||
        (dstCount > 0 && !dst))
        return 0;
    if (srcLength != -1)
        return srcLength;
    const std::size_t n = std::char_traits<From>::length(src) + 1;
    return n > static_cast<std::size_t>(INT32_MAX) ? 0 : static_cast<int>(n);
}

} // namespace

namespace oxp {

std::uint32_t activeCodePage() noexcept { return activeCodePageValue.load(); }

bool setActiveCodePage(std::uint32_t codePage) noexcept {
    if (!known(codePage))
        return false;
    activeCodePageValue.store(codePage);
    return true;
}

int multiByteToWideChar(std::uint32_t codePage, std::uint32_t, const char* src, int srcLength,
                        char16_t* dst, int dstCount) noexcept {
    codePage = effective(codePage);
    const int length = inputLength(codePage, src, srcLength, dst, dstCount);
    if (length == 0)
        return 0;
    Output out(dstCount > 0 ? dst : static_cast<char16_t*>(nullptr), dstCount);
    return toUtf16(codePage, src, length, out) ? out.count() : 0;
}

int wideCharToMultiByte(std::uint32_t codePage, std::uint32_t, const char16_t* src, int srcLength,
                        char* dst, int dstCount, const char* defaultChar, bool* usedDefault) noexcept {
    codePage = effective(codePage);
    const int length = inputLength(codePage, src, srcLength, dst, dstCount);
    if (length == 0)
        return 0;
    bool defaulted = false;
    Output out(dstCount > 0 ? dst : static_cast<char*>(nullptr), dstCount);
    if (!fromUtf16(codePage, src, length, out, defaultChar ? *defaultChar : '?', defaulted))
        return 0;
    if (usedDefault)
        *usedDefault = defaulted;
    return out.count();
}

} // namespace oxp
