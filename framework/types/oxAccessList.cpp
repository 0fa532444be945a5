#include "framework/types/oxAccessList.h"
#include "framework/diag/oxExceptions.h"
#include "framework/types/oxIdList.h"
#include "framework/types/oxMemory.h"
#include <new>

namespace {
// Storage for n entries from the allocation pair; the raise line names the calling operation.
oxAccessEntry_c* allocateEntries(std::uint32_t n, std::uint32_t line) {
    void* storage = oxAllocate(static_cast<std::size_t>(n) * sizeof(oxAccessEntry_c));
    if (!storage)
        throw oxInsufficientMemory_c(oxAccessSource, line);
    return static_cast<oxAccessEntry_c*>(storage);
}

void place(oxAccessEntry_c* items, std::uint32_t position, const oxAccessEntry_c& entry) {
    ::new (static_cast<void*>(items + position)) oxAccessEntry_c(entry);
}
} // namespace

oxAccessList_c::oxAccessList_c(const oxIdList_c& attributeIds, std::uint32_t groupId) {
    const std::uint32_t n = attributeIds.count();
    if (n == 0)
        return;
    items_ = allocateEntries(n, 88);
    for (std::uint32_t i = 0; i < n; ++i)
        place(items_, i, oxAccessEntry_c(attributeIds.at(i), groupId));
    count_ = n;
}

oxAccessList_c::oxAccessList_c(const oxAccessEntry_c& entry) {
    add(entry);
}

oxAccessList_c::oxAccessList_c(const oxAccessList_c& other) {
    assign(other);
}

oxAccessList_c& oxAccessList_c::operator=(const oxAccessList_c& other) {
    assign(other);
    return *this;
}

oxAccessList_c::~oxAccessList_c() {
    clear();
}

oxAccessEntry_c* oxAccessList_c::at(std::uint32_t position) const {
    if (position >= count_)
        throw oxInvalidIndex_c(oxAccessSource, 111);
    return items_ + position;
}

void oxAccessList_c::assign(const oxAccessList_c& other) {
    if (&other == this)
        return;
    clear();
    if (other.count_ == 0)
        return;
    oxAccessEntry_c* fresh = allocateEntries(other.count_, 127);
    for (std::uint32_t i = 0; i < other.count_; ++i)
        place(fresh, i, other.items_[i]);
    items_ = fresh;
    count_ = other.count_;
}

void oxAccessList_c::add(const oxAccessEntry_c& entry) {
    if (search(entry) < count_)
        return;
    oxAccessEntry_c* fresh = allocateEntries(count_ + 1, 189);
    for (std::uint32_t i = 0; i < count_; ++i)
        place(fresh, i, items_[i]);
    place(fresh, count_, entry);
    oxRelease(items_);
    items_ = fresh;
    ++count_;
}

void oxAccessList_c::addAll(const oxAccessList_c& other) {
    for (std::uint32_t i = 0; i < other.count_; ++i)
        add(other.items_[i]);
}

void oxAccessList_c::remove(const oxAccessEntry_c& entry) {
    const std::uint32_t found = search(entry);
    if (found >= count_)
        return;
    const std::uint32_t rest = count_ - 1;
    if (rest == 0) {
        clear();
        return;
    }
    oxAccessEntry_c* fresh = allocateEntries(rest, 149);
    for (std::uint32_t from = 0, to = 0; from < count_; ++from)
        if (from != found)
            place(fresh, to++, items_[from]);
    oxRelease(items_);
    items_ = fresh;
    count_ = rest;
}

void oxAccessList_c::removeAll(const oxAccessList_c& other) {
    // Removing a table's own entries empties it; walking it while it shrinks would skip some.
    if (&other == this) {
        clear();
        return;
    }
    for (std::uint32_t i = 0; i < other.count_; ++i)
        remove(other.items_[i]);
}

std::uint32_t oxAccessList_c::indexOf(const oxAccessEntry_c& entry) const {
    const std::uint32_t found = search(entry);
    if (found >= count_)
        throw oxInvalidIndex_c(oxAccessSource, 217);
    return found;
}

bool oxAccessList_c::contains(const oxAccessEntry_c& entry) const noexcept {
    return search(entry) < count_;
}

std::uint32_t oxAccessList_c::search(const oxAccessEntry_c& entry) const noexcept {
    std::uint32_t position = 0;
    while (position < count_ && !(items_[position] == entry))
        ++position;
    return position;
}

void oxAccessList_c::clear() noexcept {
    oxRelease(items_);
    items_ = nullptr;
    count_ = 0;
}
