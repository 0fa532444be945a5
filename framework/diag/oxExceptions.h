// The framework's four exceptions. Each shows its error box while it is made, so every raise
// produces exactly one box, caught or not. They carry no data and share no base.
#pragma once
#include <cstdint>

class oxInsufficientMemory_c {
  public:
    oxInsufficientMemory_c(const char* source, std::uint32_t line); // message 0x100D
};

class oxInvalidIndex_c {
  public:
    oxInvalidIndex_c(const char* source, std::uint32_t line); // message 0x100F
};

class oxInvalidDirectory_c {
  public:
    oxInvalidDirectory_c(const char* source, std::uint32_t line); // message 0x100E
};

class oxFatal_c {
  public:
    // A numbered message with the text as insert %1.
    oxFatal_c(const char* source, std::uint32_t line, std::uint32_t number, const char* insert);
    // A fixed text under the header.
    oxFatal_c(const char* source, std::uint32_t line, const char* text);
    // A printf-style format with one text argument under the header.
    oxFatal_c(const char* source, std::uint32_t line, const char* format, const char* argument);
};
