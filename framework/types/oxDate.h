// oxDate_c: the 28-byte text of a DMI date: yyyymmddhhmmss, ".", three zero bytes,
// milliseconds (3 digits), the sign and minutes (3 digits) of the time-zone offset, three zero
// bytes. Dates are copied and compared as all 28 bytes.
#pragma once
#include <cstdint>

class oxDate_c {
  public:
    static constexpr std::uint32_t size = 28;

    // The current local time, with the time-zone bias (minutes from local time to UTC) as
    // the offset: bias -60 gives "-060", bias 300 gives "+300".
    oxDate_c() noexcept;
    // From "hh mm ss DD MM YYYY" (19 characters) or "DD MM YYYY" (10 characters), fields
    // separated by white space, characters copied unchecked. Any other length leaves the
    // date and time as zero bytes; every text but a null one sets the "." and the "+".
    explicit oxDate_c(const char* text) noexcept;
    oxDate_c(const oxDate_c& other) noexcept = default;
    oxDate_c& operator=(const oxDate_c& other) noexcept = default;

    void assign(const oxDate_c& other) noexcept { *this = other; }
    bool operator==(const oxDate_c& other) const noexcept;
    bool operator!=(const oxDate_c& other) const noexcept { return !(*this == other); }

    // All 28 bytes.
    const char* bytes() const noexcept { return bytes_; }
    char* bytes() noexcept { return bytes_; }

  private:
    char bytes_[size];
};
