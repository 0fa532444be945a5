// oxMIFParser_c: reads the language and the component name from a MIX file (or any file the
// tokenizer can walk, such as a MIF source). 8-bit files are read byte by byte; a file that
// starts with the UTF-16LE mark FF FE is read in 16-bit code units.
#pragma once
#include "framework/diag/oxStatus.h"
#include "framework/types/oxString.h"
#include <cstdint>
#include <cstdio>

inline constexpr const char* oxMIFParserSource = "..\\..\\oxMIFPar";

class oxMIFParser_c {
  public:
    static constexpr std::uint32_t token8Size = 259;  // 258 characters and the NUL
    static constexpr std::uint32_t token16Size = 256; // 255 code units and the NUL

    // Opens the file (relative names against the current directory) and reads the first two
    // bytes as the byte-order mark. Raises oxFatal_c when the file cannot be opened.
    oxMIFParser_c(const oxString_c& fileName, std::uint32_t unused = 0);
    ~oxMIFParser_c();
    oxMIFParser_c(const oxMIFParser_c&) = delete;
    oxMIFParser_c& operator=(const oxMIFParser_c&) = delete;

    // Assigns the value of the first Language statement, then of the first Name statement after
    // it. Leaves the status as it is; every failure is raised ("Invalid 'mix' file format").
    void readLanguageAndName(oxString_c& language, oxString_c& name, oxStatus_t* status);

    // Reads the next token into the token buffer of the file's width.
    void nextToken();
    // Reads one code unit into the current character of the file's width; raises at the end.
    void readChar();
    bool isUnicode() const noexcept { return mark_ == 0xFEFF; }

    // The last token read, in the file's width.
    const char* token8() const noexcept { return token8_; }
    const char16_t* token16() const noexcept { return token16_; }

  private:
    // The current character as a byte for the class tests, or -1 when it belongs to no class.
    int classByte() const noexcept;
    bool isSeparator() const noexcept;
    bool isLetter() const noexcept;
    bool isChar(char c) const noexcept { return classByte() == c; }
    bool isLineEnd() const noexcept { return isChar('\n') || isChar('\r'); }
    void append(std::uint32_t& length) noexcept;
    void terminate(std::uint32_t length) noexcept;
    bool tokenStartsWith(const char* keyword, std::uint32_t n) const noexcept;
    void skipToValue(const char* keyword, std::uint32_t n);
    void assignToken(oxString_c& target) const;

    signed char char8_ = 0;
    char token8_[token8Size] = {};
    std::FILE* stream_ = nullptr;
    std::uint16_t char16_ = 0;
    std::uint16_t mark_ = 0;
    char16_t token16_[token16Size] = {};
};
