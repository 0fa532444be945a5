// oxOctetString_c: owned bytes of a DMI octet string value; also the context that the kernel
// and the components hand, unread, to the service provider. No terminator is counted or kept
// except by the constructor from a count and bytes, whose buffer has one zero byte extra.
#pragma once
#include <cstdint>

class oxString_c;

class oxOctetString_c {
  public:
    oxOctetString_c() noexcept = default;
    oxOctetString_c(const char* text);
    // Empty for a zero count or a null pointer.
    oxOctetString_c(std::uint32_t count, const void* bytes);
    oxOctetString_c(const oxOctetString_c& other);
    oxOctetString_c& operator=(const oxOctetString_c& other) {
        assign(other);
        return *this;
    }
    ~oxOctetString_c();

    // Each assign leaves the octet string empty when it throws. Assigning an octet string to
    // itself keeps its contents.
    void assign(const char* text);
    // The string's counted bytes, terminator included where the string counts one.
    void assign(const oxString_c& string);
    void assign(const oxOctetString_c& other);

    // Equal lengths and either the same buffer or the same bytes.
    bool operator==(const oxOctetString_c& other) const noexcept;
    bool operator!=(const oxOctetString_c& other) const noexcept { return !(*this == other); }

    // 0 for a null destination; one zero byte and 1 when empty; else the bytes and the length.
    std::uint32_t copyTo(char* dest) const noexcept;
    std::uint32_t length() const noexcept { return length_; }
    // The owned bytes; null when empty.
    const char* bytes() const noexcept { return buffer_; }

  private:
    void copyBytes(std::uint32_t n, const char* bytes, std::uint32_t line);
    void clear() noexcept;

    std::uint32_t length_ = 0;
    char* buffer_ = nullptr;
};
