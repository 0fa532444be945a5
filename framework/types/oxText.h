// oxText_c: the 8-bit working buffer for composing file names and message texts. Always keeps
// a zero byte after its characters; the length counts characters only.
#pragma once
#include <cstddef>
#include <cstdint>

class oxString_c;

class oxText_c {
  public:
    oxText_c() noexcept = default;
    oxText_c(const char* text);
    oxText_c(const oxText_c& other);
    ~oxText_c();
    oxText_c& operator=(const oxText_c& other) {
        if (this != &other)
            assign(other);
        return *this;
    }

    void assign(const char* text);
    void assign(const oxText_c& other);
    void append(const char* text);
    void append(const oxText_c& other);
    // Adds a string's 8-bit characters: its bytes up to its length or its first zero byte, so
    // a string whose length counts no terminator is never read past its end.
    void append(const oxString_c& string);
    // Removes the first occurrence of the piece, case-sensitively, in place.
    void removeFirst(const char* piece) noexcept;
    void removeFirst(const oxText_c& piece) noexcept;

    bool operator==(const char* text) const noexcept;
    bool operator==(const oxText_c& other) const noexcept;

    // The characters without terminator; 0 for null, one zero byte and 1 when empty.
    std::uint32_t copyTo(char* dest) const noexcept;
    // The buffer itself: null when the text is empty.
    const char* text() const noexcept { return buffer_; }
    std::uint32_t length() const noexcept { return length_; }

  private:
    void appendBytes(const char* bytes, std::size_t count, std::uint32_t line);

    std::uint32_t length_ = 0;
    char* buffer_ = nullptr;
};
