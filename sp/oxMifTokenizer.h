// oxMifTokenizer_c: splits MIF text into tokens, each with its line. Comments run from "//"
// to the end of the line; a DOS end-of-file byte (Ctrl-Z) ends the text. The file's bytes are
// decoded first: Unicode (UCS-2, big- or little-endian, with a byte-order mark, or little-endian
// recognised by a zero second byte) or else ISO 8859-1. The tokens' texts are UTF-8.
#pragma once
#include <cstdint>
#include <string>

enum class oxMifToken_e : std::uint8_t {
    word,   // keyword or bare value: letters, digits, '-', '_', '.', '|'
    string, // "quoted" with escapes, may span lines; strings apart by white space are one
    number, // optionally signed: decimal, 0 octal or 0x hexadecimal
    equals,
    comma,
    openBrace,
    closeBrace,
    openParen,
    closeParen,
    star,
    end // end of the file
};

struct oxMifToken {
    oxMifToken_e kind = oxMifToken_e::end;
    std::string text;
    std::uint32_t line = 0;
};

class oxMifTokenizer_c {
  public:
    // Decodes the bytes; throws oxMifError_c for text that cannot be decoded.
    oxMifTokenizer_c(const std::string& bytes, const std::string& fileName);

    // The next token without taking it; throws oxMifError_c for a malformed token.
    const oxMifToken& peek();
    oxMifToken next();
    const std::string& fileName() const noexcept { return fileName_; }
    // The line the scan has reached (the last line at the end of the file).
    std::uint32_t line() const noexcept { return line_; }

    // A readable form of a token for error texts: 'End', "text", end of file.
    static std::string describe(const oxMifToken& token);
    // Whether the file is Unicode (its string lengths count UCS-2 characters, not bytes).
    bool unicode() const noexcept { return unicode_; }

  private:
    oxMifToken scan();
    void skipSpace();
    // The escape after a backslash at pos_, appended to out as UTF-8.
    void escape(std::string& out, std::uint32_t line);
    bool unicode_ = false;
    std::string text_;
    std::string fileName_;
    std::size_t pos_ = 0;
    std::uint32_t line_ = 1;
    std::uint32_t lastLine_ = 1; // where the last token ended
    oxMifToken ahead_;
    bool haveAhead_ = false;
};

// The bytes of a file as UTF-8 text up to a Ctrl-Z (see above); unicode tells whether the file
// was Unicode. Throws oxMifError_c.
std::string oxMifDecode(const std::string& bytes, const std::string& fileName, bool& unicode);
// The number of characters of UTF-8 text as the MIF counts them: UCS-2 units (one per character
// of ISO 8859-1 too).
std::size_t oxMifLength(const std::string& utf8) noexcept;
// The UTF-8 text with control characters (C0 and C1) shown as \xNN, fit for a message.
std::string oxMifPrintable(const std::string& text);
