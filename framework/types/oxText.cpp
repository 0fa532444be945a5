// oxText_c: 8-bit working text, always terminated, length without the terminator.
#include "framework/types/oxText.h"
#include "framework/diag/oxExceptions.h"
#include "framework/types/oxMemory.h"
#include "framework/types/oxString.h"
#include <cstring>
#include <limits>

namespace {

constexpr const char* textSource = "..\\..\\cppType";

// length characters of first, then count of second, then a zero byte; null when the storage
// cannot be had (or the result would not fit a 32-bit length).
char* joined(const char* first, std::size_t length, const char* second, std::size_t count) {
    const std::size_t size = length + count + 1;
    if (size - 1 > std::numeric_limits<std::uint32_t>::max())
        return nullptr;
    auto* buffer = static_cast<char*>(oxAllocate(size));
    if (!buffer)
        return nullptr;
    std::memset(buffer, 0, size);
    if (length)
        std::memcpy(buffer, first, length);
    std::memcpy(buffer + length, second, count);
    return buffer;
}

} // namespace

oxText_c::oxText_c(const char* text) {
    assign(text);
}

oxText_c::oxText_c(const oxText_c& other) {
    assign(other);
}

oxText_c::~oxText_c() {
    oxRelease(buffer_);
}

// Both assigns copy before they release, so a text taken from this object's own buffer
// survives; a failure still leaves the text empty.
void oxText_c::assign(const char* text) {
    const std::size_t count = text ? std::strlen(text) : 0;
    char* buffer = count ? joined(nullptr, 0, text, count) : nullptr;
    oxRelease(buffer_);
    buffer_ = buffer;
    length_ = buffer ? static_cast<std::uint32_t>(count) : 0;
    if (count && !buffer)
        throw oxInsufficientMemory_c(textSource, 74);
}

void oxText_c::assign(const oxText_c& other) {
    const std::size_t count = other.buffer_ ? other.length_ : 0;
    char* buffer = count ? joined(nullptr, 0, other.buffer_, count) : nullptr;
    oxRelease(buffer_);
    buffer_ = buffer;
    length_ = buffer ? static_cast<std::uint32_t>(count) : 0;
    if (count && !buffer)
        throw oxInsufficientMemory_c(textSource, 95);
}

void oxText_c::append(const char* text) {
    appendBytes(text, text ? std::strlen(text) : 0, 146);
}

void oxText_c::append(const oxText_c& other) {
    appendBytes(other.buffer_, other.buffer_ ? other.length_ : 0, 166);
}

void oxText_c::append(const oxString_c& string) {
    const void* zero = std::memchr(string.text(), 0, string.length());
    const std::size_t count =
        zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - string.text())
             : string.length();
    appendBytes(string.text(), count, 146);
}

void oxText_c::appendBytes(const char* bytes, std::size_t count, std::uint32_t line) {
    if (count == 0)
        return;
    char* buffer = joined(buffer_, length_, bytes, count);
    if (!buffer)
        throw oxInsufficientMemory_c(textSource, line);
    oxRelease(buffer_);
    buffer_ = buffer;
    length_ += static_cast<std::uint32_t>(count);
}

// The first match from the start wins; the buffer keeps its size. An empty piece removes nothing.
void oxText_c::removeFirst(const char* piece) noexcept {
    const std::size_t count = piece ? std::strlen(piece) : 0;
    if (count == 0 || length_ == 0 || length_ < count)
        return;
    for (std::size_t at = 0; at + count <= length_; ++at) {
        if (std::memcmp(buffer_ + at, piece, count) != 0)
            continue;
        std::memmove(buffer_ + at, buffer_ + at + count, length_ - (at + count));
        length_ -= static_cast<std::uint32_t>(count);
        buffer_[length_] = 0;
        return;
    }
}

void oxText_c::removeFirst(const oxText_c& piece) noexcept {
    removeFirst(piece.buffer_);
}

bool oxText_c::operator==(const char* text) const noexcept {
    const std::size_t count = text ? std::strlen(text) : 0;
    if (count != length_)
        return false;
    return text == buffer_ || count == 0 || std::memcmp(buffer_, text, count) == 0;
}

bool oxText_c::operator==(const oxText_c& other) const noexcept {
    if (length_ != other.length_)
        return false;
    return buffer_ == other.buffer_ || length_ == 0 ||
           std::memcmp(buffer_, other.buffer_, length_) == 0;
}

std::uint32_t oxText_c::copyTo(char* dest) const noexcept {
    if (!dest)
        return 0;
    if (!buffer_ || length_ == 0) {
        *dest = 0;
        return 1;
    }
    std::memcpy(dest, buffer_, length_);
    return length_;
}
