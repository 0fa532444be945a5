// coxKernelList_c: several kernels of an agent, keyed by the component ID of each kernel's own
// description; a kernel's name is that description's name. The list does not own the kernels.
// Its array holds exactly count pointers (none when empty) and is reallocated on every change;
// lookups scan from the front and the first match wins.
#pragma once
#include <cstdint>

class coxKernel_c;
class oxString_c;

class coxKernelList_c {
  public:
    coxKernelList_c() noexcept = default;
    ~coxKernelList_c(); // frees the array only
    coxKernelList_c(const coxKernelList_c&) = delete;
    coxKernelList_c& operator=(const coxKernelList_c&) = delete;

    std::uint32_t count() const noexcept { return count_; }
    bool isValidIndex(std::uint32_t index) const noexcept { return index < count_; }
    // Throws oxInvalidIndex_c when index >= count.
    coxKernel_c* at(std::uint32_t index) const;

    bool contains(std::uint32_t componentId) const noexcept;
    bool contains(const oxString_c& name) const noexcept;
    // The first kernel with that component ID or name; throws oxInvalidIndex_c when none.
    coxKernel_c* find(std::uint32_t componentId) const;
    coxKernel_c* find(const oxString_c& name) const;

    // Appends the kernel unless one with the same name is present (a null kernel is ignored).
    // Throws oxInsufficientMemory_c, the list unchanged, when the new array cannot be had.
    void add(coxKernel_c* kernel);
    // Removes the first kernel with that name, keeping the order of the rest; nothing happens
    // when none has it. Throws oxInsufficientMemory_c, the list unchanged, when the new array
    // cannot be had.
    void remove(const oxString_c& name);

  private:
    static constexpr std::uint32_t npos = 0xFFFFFFFFu;
    std::uint32_t indexOf(std::uint32_t componentId) const noexcept;
    std::uint32_t indexOf(const oxString_c& name) const noexcept;

    std::uint32_t count_ = 0;
    coxKernel_c** items_ = nullptr;
};
