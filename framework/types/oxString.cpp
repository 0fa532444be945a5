// oxString_c: owned 8-bit or 16-bit string with exact-size buffers from the allocation pair.
#include "framework/types/oxString.h"
#include "framework/diag/oxExceptions.h"
#include "framework/types/oxMemory.h"
#include "framework/types/oxTypeSource.h"
#include "platform/oxpCodePage.h"
#include <cstring>
#include <limits>

namespace {

constexpr const char* nullText = "<oxString_c Null Pointer>";
constexpr std::uint32_t maxWideUnits = 257; // longest 16-bit text accepted by assign
constexpr std::uint32_t narrowFlags = 0;
constexpr std::uint32_t wideFlags = oxp::mbPrecomposed | oxp::mbUseGlyphChars;

// A zero-filled buffer of size bytes, or null (also when size does not fit a 32-bit length).
char* newBuffer(std::uint64_t size) noexcept {
    if (size > std::numeric_limits<std::uint32_t>::max())
        return nullptr;
    auto* buffer = static_cast<char*>(oxAllocate(static_cast<std::size_t>(size)));
    if (buffer)
        std::memset(buffer, 0, static_cast<std::size_t>(size));
    return buffer;
}

// Units of 16-bit text up to its terminator; more than maxWideUnits means too long.
std::uint32_t countUnits(const char16_t* text) noexcept {
    std::uint32_t count = 0;
    while (text[count] != 0 && count <= maxWideUnits)
        ++count;
    return count;
}

} // namespace

oxString_c::oxString_c(const char* text) {
    assign(text);
}

oxString_c::oxString_c(const char16_t* text) {
    assign(text);
}

oxString_c::oxString_c(const oxString_c& other) {
    assign(other);
}

oxString_c::oxString_c(std::uint32_t count, const char* bytes) {
    if (count == 0 || !bytes)
        return;
    buffer_ = newBuffer(std::uint64_t{count} + 1);
    if (!buffer_)
        throw oxInsufficientMemory_c(oxTypeSource, 293);
    std::memcpy(buffer_, bytes, count);
    length_ = count;
}

oxString_c::oxString_c(std::uint32_t count, const char16_t* bytes) {
    wide_ = 1;
    if (count == 0 || !bytes)
        return;
    const std::uint64_t even = (std::uint64_t{count} + 1) & ~std::uint64_t{1};
    // An even length near 4 GiB cannot be held: reported as the allocation failure it would be.
    buffer_ = even > std::numeric_limits<std::uint32_t>::max() ? nullptr : newBuffer(even + 2);
    if (!buffer_)
        throw oxInsufficientMemory_c(oxTypeSource, 316);
    std::memcpy(buffer_, bytes, count);
    length_ = static_cast<std::uint32_t>(even);
}

oxString_c::~oxString_c() {
    oxRelease(buffer_);
}

void oxString_c::clear(bool wide) noexcept {
    oxRelease(buffer_);
    buffer_ = nullptr;
    length_ = 0;
    wide_ = wide ? 1 : 0;
}

// Each assign measures and copies before releasing the old buffer, so a text that points into
// this string's own buffer stays readable; after a failure the string is empty all the same.
void oxString_c::assign(const char* text) {
    if (!text || *text == 0) {
        clear(false);
        return;
    }
    const std::uint64_t size = std::uint64_t{std::strlen(text)} + 1;
    char* buffer = newBuffer(size);
    if (!buffer) {
        clear(false);
        throw oxInsufficientMemory_c(oxTypeSource, 346);
    }
    std::memcpy(buffer, text, static_cast<std::size_t>(size - 1));
    clear(false);
    buffer_ = buffer;
    length_ = static_cast<std::uint32_t>(size);
}

void oxString_c::assign(const char16_t* text) {
    if (!text) {
        clear(true);
        return;
    }
    const std::uint32_t count = countUnits(text);
    if (count > maxWideUnits) {
        clear(true);
        throw oxFatal_c(oxTypeSource, 367, "Invalid string length");
    }
    const std::uint32_t size = (count + 1) * 2;
    char* buffer = newBuffer(size);
    if (!buffer) {
        clear(true);
        throw oxInsufficientMemory_c(oxTypeSource, 374);
    }
    std::memcpy(buffer, text, std::size_t{count} * 2);
    clear(true);
    buffer_ = buffer;
    length_ = size;
}

// A copy holds exactly the other's length and nothing more: a copy of counted bytes carries no
// terminator, so its readers go by the length.
void oxString_c::assign(const oxString_c& other) {
    const bool wide = other.wide_ != 0;
    if (other.length_ == 0) {
        clear(wide);
        return;
    }
    char* buffer = newBuffer(other.length_);
    if (!buffer) {
        clear(wide);
        throw oxInsufficientMemory_c(oxTypeSource, 396);
    }
    const std::uint32_t length = other.length_;
    std::memcpy(buffer, other.buffer_, length);
    clear(wide);
    buffer_ = buffer;
    length_ = length;
}

// The receiver's last terminator-width bytes are overwritten by the other's first character.
// An empty receiver takes a copy, so a failure there is reported from the copy (line 396).
// A receiver shorter than one terminator (a toggled 1-byte string) keeps none of its bytes.
void oxString_c::append(const oxString_c& other) {
    if (other.length_ == 0 || other.wide_ != wide_)
        return;
    if (length_ == 0) {
        assign(other);
        return;
    }
    const std::uint32_t terminator = wide_ ? 2 : 1;
    const std::uint32_t kept = length_ > terminator ? length_ - terminator : 0;
    const std::uint64_t length = std::uint64_t{kept} + other.length_;
    char* buffer = newBuffer(length);
    if (!buffer)
        throw oxInsufficientMemory_c(oxTypeSource, 418);
    std::memcpy(buffer, buffer_, kept);
    std::memcpy(buffer + kept, other.buffer_, other.length_);
    oxRelease(buffer_);
    buffer_ = buffer;
    length_ = static_cast<std::uint32_t>(length);
}

bool oxString_c::operator==(const oxString_c& other) const noexcept {
    const std::uint32_t shorter = length_ < other.length_ ? length_ : other.length_;
    const std::uint32_t longer = length_ < other.length_ ? other.length_ : length_;
    if (longer - shorter > 1)
        return false;
    if (buffer_ == other.buffer_)
        return true;
    if (shorter <= 1)
        return true;
    return std::memcmp(buffer_, other.buffer_, shorter - 1) == 0;
}

std::uint32_t oxString_c::copyTo(char* dest) const noexcept {
    if (!dest)
        return 0;
    if (!buffer_ || length_ == 0) {
        *dest = 0;
        return 1;
    }
    std::memcpy(dest, buffer_, length_);
    return length_;
}

const char* oxString_c::text() const noexcept {
    return buffer_ ? buffer_ : nullText;
}

// The conversion runs to and includes the 16-bit terminator. Contents without a terminator
// inside their length (counted bytes, toggled narrow text) are converted unit by unit up to
// the length and given a terminator, so nothing past the buffer is read.
bool oxString_c::makeNarrow() {
    if (!wide_)
        return true;
    const auto* units = reinterpret_cast<const char16_t*>(buffer_);
    const std::uint32_t unitCount = units ? length_ / 2 : 0;
    int sourceLength = static_cast<int>(unitCount);
    for (std::uint32_t i = 0; i < unitCount; ++i)
        if (units[i] == 0) {
            sourceLength = -1;
            break;
        }
    const std::uint32_t codePage = oxp::activeCodePage();
    const int size = unitCount == 0
                         ? 0
                         : oxp::wideCharToMultiByte(codePage, narrowFlags, units, sourceLength,
                                                    nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return false;
    const std::uint32_t length = static_cast<std::uint32_t>(size) + (sourceLength < 0 ? 0 : 1);
    char* buffer = newBuffer(length);
    if (!buffer)
        throw oxInsufficientMemory_c(oxTypeSource, 500);
    if (oxp::wideCharToMultiByte(codePage, narrowFlags, units, sourceLength, buffer, size, nullptr,
                                 nullptr) != size) {
        oxRelease(buffer);
        return false;
    }
    oxRelease(buffer_);
    buffer_ = buffer;
    length_ = length;
    wide_ = 0;
    return true;
}

// As makeNarrow, the other way: to and including the terminator, units counted with it.
bool oxString_c::makeWide() {
    if (wide_)
        return true;
    const std::uint32_t byteCount = buffer_ ? length_ : 0;
    const void* terminator = byteCount ? std::memchr(buffer_, 0, byteCount) : nullptr;
    const int sourceLength = terminator ? -1 : static_cast<int>(byteCount);
    const std::uint32_t codePage = oxp::activeCodePage();
    const int units = byteCount == 0 ? 0
                                     : oxp::multiByteToWideChar(codePage, wideFlags, buffer_,
                                                                sourceLength, nullptr, 0);
    if (units <= 0)
        return false;
    const std::uint32_t unitsHeld = static_cast<std::uint32_t>(units) + (terminator ? 0 : 1);
    char* buffer = newBuffer(std::uint64_t{unitsHeld} * 2);
    if (!buffer)
        throw oxInsufficientMemory_c(oxTypeSource, 541);
    if (oxp::multiByteToWideChar(codePage, wideFlags, buffer_, sourceLength,
                                 reinterpret_cast<char16_t*>(buffer), units) != units) {
        oxRelease(buffer);
        return false;
    }
    oxRelease(buffer_);
    buffer_ = buffer;
    length_ = unitsHeld * 2;
    wide_ = 1;
    return true;
}
