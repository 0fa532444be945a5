// oxString_c: the framework's owned string, 8-bit (ANSI code page) or 16-bit (UTF-16).
// The length counts bytes, terminator included when the contents came as NUL-terminated text.
// Buffers are exactly as large as the contents; every change allocates a new one.
#pragma once
#include <cstdint>

class oxString_c {
  public:
    oxString_c() noexcept = default;
    oxString_c(const char* text);
    oxString_c(const char16_t* text);
    oxString_c(const oxString_c& other);
    oxString_c(std::uint32_t count, const char* bytes);     // 8-bit, count bytes
    oxString_c(std::uint32_t count, const char16_t* bytes); // 16-bit, count bytes
    ~oxString_c();

    void assign(const char* text);
    void assign(const char16_t* text); // at most 257 units
    void assign(const oxString_c& other);
    oxString_c& operator=(const oxString_c& other) {
        if (this != &other)
            assign(other);
        return *this;
    }

    // Concatenates when both have the same width; otherwise does nothing.
    void append(const oxString_c& other);

    // Same text, tolerant of one terminator; widths are not compared.
    bool operator==(const oxString_c& other) const noexcept;
    bool operator!=(const oxString_c& other) const noexcept { return !(*this == other); }

    // Copies the stored bytes out; 0 for a null destination, one zero byte when empty.
    std::uint32_t copyTo(char* dest) const noexcept;
    // The buffer, or the fixed text "<oxString_c Null Pointer>" when there is none. Never null.
    const char* text() const noexcept;
    std::uint32_t length() const noexcept { return length_; }
    bool isWide() const noexcept { return wide_ != 0; }

    bool makeNarrow();
    bool makeWide();
    void toggleWide() noexcept { wide_ = wide_ ? 0 : 1; }

  private:
    void clear(bool wide) noexcept;

    std::uint32_t length_ = 0;
    char* buffer_ = nullptr;
    std::uint8_t wide_ = 0;
};
