// Meanings of the status codes a request or a start-up can end with: the framework's codes
// and the service provider's.
#pragma once
#include <cstdint>
#include <string>

namespace oxagent {

// The meaning of a code; one not in the table is a status of the component's own.
std::string statusMeaning(std::uint32_t status);
// "0x2007" (four hexadecimal digits at least).
std::string statusCode(std::uint32_t status);
// "0x2007 (the component does not serve that attribute)".
std::string statusText(std::uint32_t status);

} // namespace oxagent
