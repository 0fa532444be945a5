// oxMifTokenizer_c: splits MIF text into tokens, each with its line. Comments run from "//"
// to the end of the line. The file's bytes are decoded first: UTF-16LE or UTF-16BE (with a
// byte-order mark, or UTF-16LE recognised by a zero second byte), UTF-8, or any other 8-bit
// text, which is taken as Latin-1. The tokens' texts are UTF-8.
#pragma once
#include <cstdint>
#include <string>

enum class oxMifToken_e : std::uint8_t {
    word,   // keyword or bare value: letters, digits, '-', '_', '.', '|'
    string, // "quoted", with \" and \\ escapes; may span lines
    number, // decimal, optionally signed, or 0x hexadecimal
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

  private:
    oxMifToken scan();
    std::string text_;
    std::string fileName_;
    std::size_t pos_ = 0;
    std::uint32_t line_ = 1;
    std::uint32_t lastLine_ = 1; // where the last token ended
    oxMifToken ahead_;
    bool haveAhead_ = false;
};

// The bytes of a file as UTF-8 text (see above); throws oxMifError_c.
std::string oxMifDecode(const std::string& bytes, const std::string& fileName);
