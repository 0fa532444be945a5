#include "framework/types/oxIdList.h"
#include "framework/diag/oxExceptions.h"
#include "framework/types/oxMemory.h"
#include "framework/types/oxTypeSource.h"

namespace {
std::uint32_t* allocateNumbers(std::uint32_t n, std::uint32_t line) {
    void* p = oxAllocate(static_cast<std::size_t>(n) * sizeof(std::uint32_t));
    if (!p)
        throw oxInsufficientMemory_c(oxTypeSource, line);
    return static_cast<std::uint32_t*>(p);
}
} // namespace

oxIdList_c::oxIdList_c(std::uint32_t n, const std::uint32_t* numbers) {
    if (numbers)
        fill(n, numbers, 78);
}

oxIdList_c::oxIdList_c(std::initializer_list<std::uint32_t> numbers) {
    fill(static_cast<std::uint32_t>(numbers.size()), numbers.begin(), 58);
}

oxIdList_c::oxIdList_c(const oxIdList_c& other) { assign(other); }

oxIdList_c::~oxIdList_c() { clear(); }

void oxIdList_c::fill(std::uint32_t n, const std::uint32_t* numbers, std::uint32_t line) {
    if (n == 0)
        return;
    items_ = allocateNumbers(n, line);
    for (std::uint32_t i = 0; i < n; ++i)
        items_[i] = numbers[i];
    count_ = n;
}

void oxIdList_c::clear() noexcept {
    oxRelease(items_);
    items_ = nullptr;
    count_ = 0;
}

std::uint32_t& oxIdList_c::at(std::uint32_t position) {
    if (position >= count_)
        throw oxInvalidIndex_c(oxTypeSource, 98);
    return items_[position];
}

const std::uint32_t& oxIdList_c::at(std::uint32_t position) const {
    if (position >= count_)
        throw oxInvalidIndex_c(oxTypeSource, 98);
    return items_[position];
}

void oxIdList_c::assign(const oxIdList_c& other) {
    if (&other == this)
        return;
    clear();
    fill(other.count_, other.items_, 114);
}

void oxIdList_c::add(std::uint32_t number) {
    if (find(number) != npos)
        return;
    std::uint32_t* array = allocateNumbers(count_ + 1, 174);
    for (std::uint32_t i = 0; i < count_; ++i)
        array[i] = items_[i];
    array[count_] = number;
    oxRelease(items_);
    items_ = array;
    ++count_;
}

void oxIdList_c::addAll(const oxIdList_c& other) {
    if (&other == this)
        return; // every number is already present
    for (std::uint32_t i = 0; i < other.count_; ++i)
        add(other.items_[i]);
}

void oxIdList_c::remove(std::uint32_t number) {
    const std::uint32_t p = find(number);
    if (p == npos)
        return;
    const std::uint32_t m = count_ - 1;
    if (m == 0) {
        clear();
        return;
    }
    std::uint32_t* array = allocateNumbers(m, 136);
    for (std::uint32_t i = 0, j = 0; i < count_; ++i)
        if (i != p)
            array[j++] = items_[i];
    oxRelease(items_);
    items_ = array;
    count_ = m;
}

void oxIdList_c::removeAll(const oxIdList_c& other) {
    if (&other == this) {
        clear();
        return;
    }
    for (std::uint32_t i = 0; i < other.count_; ++i)
        remove(other.items_[i]);
}

std::uint32_t oxIdList_c::indexOf(std::uint32_t number) const {
    const std::uint32_t p = find(number);
    if (p == npos)
        throw oxInvalidIndex_c(oxTypeSource, 222);
    return p;
}

bool oxIdList_c::contains(std::uint32_t number) const noexcept { return find(number) != npos; }

bool oxIdList_c::operator==(const oxIdList_c& other) const noexcept {
    if (count_ != other.count_)
        return false;
    for (std::uint32_t i = 0; i < count_; ++i)
        if (items_[i] != other.items_[i])
            return false;
    return true;
}

std::uint32_t oxIdList_c::find(std::uint32_t number) const noexcept {
    for (std::uint32_t i = 0; i < count_; ++i)
        if (items_[i] == number)
            return i;
    return npos;
}
