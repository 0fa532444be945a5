// oxAccessEntry_c: one row of the kernel's access table, an attribute served in a group.
#pragma once
#include <cstdint>

// Source name of the access table in its raise sites.
inline constexpr const char* oxAccessSource = "..\\..\\oxAccess";

class oxAccessEntry_c {
  public:
    oxAccessEntry_c() noexcept = default;
    oxAccessEntry_c(std::uint32_t attributeId, std::uint32_t groupId) noexcept
        : attributeId_(attributeId), groupId_(groupId) {}
    oxAccessEntry_c(const oxAccessEntry_c& other) noexcept = default;
    oxAccessEntry_c& operator=(const oxAccessEntry_c& other) noexcept = default;

    void assign(const oxAccessEntry_c& other) noexcept { *this = other; }
    // Equal when both IDs are equal.
    bool operator==(const oxAccessEntry_c& other) const noexcept;

    std::uint32_t attributeId() const noexcept { return attributeId_; }
    std::uint32_t groupId() const noexcept { return groupId_; }

  private:
    std::uint32_t attributeId_ = 0;
    std::uint32_t groupId_ = 0;
};
