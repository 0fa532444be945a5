// oxIdList_c: a list of 32-bit unsigned IDs held by value, used as a set (served attribute
// IDs, key attribute IDs). Insertion order is kept, the array is exactly count numbers long
// and reallocated on every change, and lookups scan from the front (the first match wins).
//
// State after a throw: add and remove change nothing; assign leaves the list empty; a throwing
// constructor leaves nothing behind.
#pragma once
#include <cstdint>
#include <initializer_list>

class oxIdList_c {
  public:
    oxIdList_c() noexcept = default;
    // A copy of the n numbers in order, duplicates included; empty for n = 0 or a null pointer.
    oxIdList_c(std::uint32_t n, const std::uint32_t* numbers);
    // The numbers given as plain values, e.g. oxIdList_c{1, 2, 3, 4, 6}; the count is the
    // number of values given. Duplicates are kept.
    oxIdList_c(std::initializer_list<std::uint32_t> numbers);
    oxIdList_c(const oxIdList_c& other);
    oxIdList_c& operator=(const oxIdList_c& other) {
        assign(other);
        return *this;
    }
    ~oxIdList_c();

    std::uint32_t count() const noexcept { return count_; }
    // Throws oxInvalidIndex_c when position >= count.
    std::uint32_t& at(std::uint32_t position);
    const std::uint32_t& at(std::uint32_t position) const;

    // Replaces the contents with a copy; assigning a list to itself keeps its contents.
    void assign(const oxIdList_c& other);
    // Appends the number unless it is present.
    void add(std::uint32_t number);
    void addAll(const oxIdList_c& other);
    // Removes the first occurrence, keeping the order of the rest.
    void remove(std::uint32_t number);
    // Removes each of the other's numbers in its order; removing a list from itself empties it.
    void removeAll(const oxIdList_c& other);
    // Position of the first occurrence; throws oxInvalidIndex_c when absent.
    std::uint32_t indexOf(std::uint32_t number) const;
    bool contains(std::uint32_t number) const noexcept;

    // Same count and the same numbers at every position.
    bool operator==(const oxIdList_c& other) const noexcept;

  private:
    static constexpr std::uint32_t npos = 0xFFFFFFFFu;
    std::uint32_t find(std::uint32_t number) const noexcept;
    void fill(std::uint32_t n, const std::uint32_t* numbers, std::uint32_t line);
    void clear() noexcept;

    std::uint32_t count_ = 0;
    std::uint32_t* items_ = nullptr;
};
