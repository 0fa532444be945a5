// oxAccessList_c: the kernel's access table, a set of (attribute ID, group ID) entries held by
// value in insertion order. The array is exactly count entries long and is reallocated on
// every change; lookups scan from the front and the first match wins.
#pragma once
#include "framework/types/oxAccessEntry.h"
#include <cstdint>

class oxIdList_c;

class oxAccessList_c {
  public:
    oxAccessList_c() noexcept = default;
    // One entry (attribute ID, groupId) per element of the ID list, duplicates included.
    oxAccessList_c(const oxIdList_c& attributeIds, std::uint32_t groupId);
    explicit oxAccessList_c(const oxAccessEntry_c& entry);
    oxAccessList_c(const oxAccessList_c& other);
    oxAccessList_c& operator=(const oxAccessList_c& other);
    ~oxAccessList_c();

    std::uint32_t count() const noexcept { return count_; }
    // Throws oxInvalidIndex_c when position >= count.
    oxAccessEntry_c* at(std::uint32_t position) const;

    // Replaces the contents with a copy of the other's; left empty when that fails.
    // Assigning a table to itself keeps its contents.
    void assign(const oxAccessList_c& other);
    // Appends the entry unless an equal one is present; unchanged when that fails.
    void add(const oxAccessEntry_c& entry);
    void addAll(const oxAccessList_c& other);
    // Removes the first equal entry, keeping the order of the rest; unchanged when that fails.
    void remove(const oxAccessEntry_c& entry);
    void removeAll(const oxAccessList_c& other);
    // Empties the table without allocating.
    void clear() noexcept;

    // Position of the first equal entry; throws oxInvalidIndex_c when there is none.
    std::uint32_t indexOf(const oxAccessEntry_c& entry) const;
    bool contains(const oxAccessEntry_c& entry) const noexcept;

  private:
    // Position of the first equal entry, or count when absent.
    std::uint32_t search(const oxAccessEntry_c& entry) const noexcept;

    std::uint32_t count_ = 0;
    oxAccessEntry_c* items_ = nullptr;
};
