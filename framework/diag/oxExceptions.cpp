// The four exceptions: each reports through the message object while it is made.
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxMessages.h"
#include "framework/diag/oxStatus.h"

oxInsufficientMemory_c::oxInsufficientMemory_c(const char* source, std::uint32_t line) {
    oxMessages_c::instance().reportNumbered(source, line, oxMsgInsufficientMemory);
}

oxInvalidIndex_c::oxInvalidIndex_c(const char* source, std::uint32_t line) {
    oxMessages_c::instance().reportNumbered(source, line, oxMsgInvalidIndex);
}

oxInvalidDirectory_c::oxInvalidDirectory_c(const char* source, std::uint32_t line) {
    oxMessages_c::instance().reportNumbered(source, line, oxMsgInvalidDirectory);
}

oxFatal_c::oxFatal_c(const char* source, std::uint32_t line, std::uint32_t number,
                     const char* insert) {
    oxMessages_c::instance().reportNumbered(source, line, number, insert);
}

// The text is the whole format: raise sites pass fixed texts without conversions.
oxFatal_c::oxFatal_c(const char* source, std::uint32_t line, const char* text) {
    oxMessages_c::instance().reportFormatted(source, line, text);
}

oxFatal_c::oxFatal_c(const char* source, std::uint32_t line, const char* format,
                     const char* argument) {
    oxMessages_c::instance().reportFormatted(source, line, format, argument);
}
