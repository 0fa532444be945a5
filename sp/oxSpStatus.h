// Status codes of the SQLite service provider and the error that carries them. The codes sit
// in a range of their own (0xC0xx) so that they never meet the framework's.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

constexpr std::uint32_t oxSpStatusBadMif = 0xC001;          // MIF or definition file malformed
constexpr std::uint32_t oxSpStatusUnreadableFile = 0xC002;  // file missing or unreadable
constexpr std::uint32_t oxSpStatusDatabase = 0xC003;        // SQLite failed (open, busy, I/O)
constexpr std::uint32_t oxSpStatusSchemaVersion = 0xC004;   // database of an unknown version
constexpr std::uint32_t oxSpStatusNoComponent = 0xC005;     // no installed component of that ID or name
constexpr std::uint32_t oxSpStatusNoGroup = 0xC006;         // the component has no group of that ID
constexpr std::uint32_t oxSpStatusNoAttribute = 0xC007;     // the group has no attribute of that ID
constexpr std::uint32_t oxSpStatusNoValue = 0xC008;         // no component answers and no static value
constexpr std::uint32_t oxSpStatusBadArgument = 0xC009;     // e.g. a key value of the wrong type

// A failure inside the provider: its status code and a text for the user.
class oxSpError_c : public std::runtime_error {
  public:
    oxSpError_c(std::uint32_t status, const std::string& text)
        : std::runtime_error(text), status_(status) {}
    std::uint32_t status() const noexcept { return status_; }

  private:
    std::uint32_t status_;
};
