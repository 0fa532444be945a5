// coxBaseList_c: the kernel's list of its component objects. It does not own them: each object
// is destroyed through its own module's coxBaseDestruct. The array holds exactly count pointers
// (none when empty) and is reallocated on every change; lookups scan from the front and the
// first match wins. The module name is the key.
#pragma once
#include <atomic>
#include <cstdint>

class coxBase_c;
class oxString_c;

class coxBaseList_c {
  public:
    coxBaseList_c() noexcept = default;
    coxBaseList_c(const coxBaseList_c&) = delete;
    coxBaseList_c& operator=(const coxBaseList_c&) = delete;
    ~coxBaseList_c(); // frees the array only

    // The count may be read without the kernel's guard (start and stop answer at once when
    // there are no objects), so it is an atomic of the same size as a plain count.
    std::uint32_t count() const noexcept { return count_.load(std::memory_order_acquire); }
    bool isValidIndex(std::uint32_t index) const noexcept { return index < count(); }
    // Throws oxInvalidIndex_c when index >= count.
    coxBase_c* at(std::uint32_t index) const;
    // The first object with that module name, or whose served group has that ID; throws
    // oxInvalidIndex_c when there is none.
    coxBase_c* find(const oxString_c& moduleName) const;
    coxBase_c* find(std::uint32_t groupId) const;
    bool contains(const oxString_c& moduleName) const noexcept;
    bool contains(std::uint32_t groupId) const noexcept;

    // Appends the object unless one with an equal module name is present.
    void add(coxBase_c* component);
    // Removes the first object with that module name, keeping the order of the rest; nothing
    // happens when there is none. The object itself is not touched.
    void remove(const oxString_c& moduleName);
    // Empties the list without allocating (the kernel's teardown when memory has run out).
    void clear() noexcept;

  private:
    static constexpr std::uint32_t npos = 0xFFFFFFFFu;
    std::uint32_t indexOf(const oxString_c& moduleName) const noexcept;
    std::uint32_t indexOf(std::uint32_t groupId) const noexcept;

    coxBase_c** items_ = nullptr;
    std::atomic<std::uint32_t> count_{0};
};
static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t));
