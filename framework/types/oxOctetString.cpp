#include "framework/types/oxOctetString.h"
#include "framework/diag/oxExceptions.h"
#include "framework/types/oxMemory.h"
#include "framework/types/oxString.h"
#include "framework/types/oxTypeSource.h"
#include <cstring>

oxOctetString_c::oxOctetString_c(const char* text) { assign(text); }

oxOctetString_c::oxOctetString_c(std::uint32_t count, const void* bytes) {
    if (count == 0 || !bytes)
        return;
    // One zero byte beyond the counted ones.
    void* p = oxAllocate(static_cast<std::size_t>(count) + 1);
    if (!p)
        throw oxInsufficientMemory_c(oxTypeSource, 769);
    std::memcpy(p, bytes, count);
    buffer_ = static_cast<char*>(p);
    length_ = count;
}

oxOctetString_c::oxOctetString_c(const oxOctetString_c& other) { assign(other); }

oxOctetString_c::~oxOctetString_c() { clear(); }

void oxOctetString_c::clear() noexcept {
    oxRelease(buffer_);
    buffer_ = nullptr;
    length_ = 0;
}

// The new buffer is filled before the old one goes, so the source may be our own bytes.
void oxOctetString_c::copyBytes(std::uint32_t n, const char* bytes, std::uint32_t line) {
    if (n == 0 || !bytes) {
        clear();
        return;
    }
    void* p = oxAllocate(n);
    if (!p) {
        clear();
        throw oxInsufficientMemory_c(oxTypeSource, line);
    }
    std::memcpy(p, bytes, n);
    clear();
    buffer_ = static_cast<char*>(p);
    length_ = n;
}

void oxOctetString_c::assign(const char* text) {
    copyBytes(text ? static_cast<std::uint32_t>(std::strlen(text)) : 0, text, 797);
}

void oxOctetString_c::assign(const oxString_c& string) {
    copyBytes(string.length(), string.text(), 826);
}

void oxOctetString_c::assign(const oxOctetString_c& other) {
    if (&other == this)
        return;
    copyBytes(other.length_, other.buffer_, 826);
}

bool oxOctetString_c::operator==(const oxOctetString_c& other) const noexcept {
    if (length_ != other.length_)
        return false;
    return buffer_ == other.buffer_ || length_ == 0 ||
           std::memcmp(buffer_, other.buffer_, length_) == 0;
}

std::uint32_t oxOctetString_c::copyTo(char* dest) const noexcept {
    if (!dest)
        return 0;
    if (length_ == 0) {
        dest[0] = 0;
        return 1;
    }
    std::memcpy(dest, buffer_, length_);
    return length_;
}
