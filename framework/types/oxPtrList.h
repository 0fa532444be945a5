// oxPtrList_c: the owning list of element pointers behind every collection of the framework.
//
// The list owns heap copies of what it is given, keeps insertion order, holds them through an
// array of exactly count pointers that every change reallocates, and scans from position 0 so
// the first match wins. `add` refuses an element equal to one present.
//
// An instance names its element, its raise sites and (optionally) its layout:
//
//   struct oxStringListTraits {
//       static constexpr const char* source = oxTypeSource;
//       static constexpr std::uint32_t atLine = 620, assignArrayLine = 638,
//           assignElementLine = 645, removeLine = 664, addArrayLine = 703,
//           addElementLine = 709;
//       // optional: static bool equal(const E& a, const E& b) noexcept; (default: a == b)
//   };
//   class oxStringList_c : public oxPtrList_c<oxString_c, oxStringListTraits> {
//     public:
//       using oxPtrList_c::oxPtrList_c;
//   };
//
// The third parameter is the storage that fixes the field order: oxCountThenItems (default) or
// oxItemsThenCount; an instance with fields of its own may pass a struct of its own, provided it
// has the members count_ and items_ and starts empty.
//
// Derived instances reach count_ and items_ directly and build their lookups from firstIndex,
// findWhere and indexWhere, their record constructors from build, their == from sameElements.
//
// State after a throw: add and remove change nothing; assign leaves the list empty; a throwing
// constructor leaves nothing behind.
#pragma once
#include "framework/diag/oxExceptions.h"
#include "framework/types/oxMemory.h"
#include <cstdint>

template <class E> struct oxCountThenItems {
    std::uint32_t count_ = 0;
    E** items_ = nullptr;
};

template <class E> struct oxItemsThenCount {
    E** items_ = nullptr;
    std::uint32_t count_ = 0;
};

template <class E, class Traits, class Storage = oxCountThenItems<E>>
class oxPtrList_c : protected Storage {
  public:
    using element_type = E;

    oxPtrList_c() noexcept = default;
    explicit oxPtrList_c(const E& element) { add(element); }
    oxPtrList_c(const oxPtrList_c& other) { assign(other); }
    oxPtrList_c& operator=(const oxPtrList_c& other) {
        assign(other);
        return *this;
    }
    ~oxPtrList_c() { clear(); }

    std::uint32_t count() const noexcept { return this->count_; }

    // The element stays owned by the list. Throws oxInvalidIndex_c when position >= count.
    E* at(std::uint32_t position) const {
        if (position >= this->count_)
            throw oxInvalidIndex_c(Traits::source, Traits::atLine);
        return this->items_[position];
    }

    // Replaces the contents with copies of the other's elements. Assigning a list to itself
    // keeps its contents (the copy would otherwise start by deleting its own source).
    void assign(const oxPtrList_c& other) {
        if (&other == this)
            return;
        clear();
        const std::uint32_t n = other.count_;
        if (n == 0)
            return;
        E** array = allocateArray(n, Traits::assignArrayLine);
        copyInto(array, n, other.items_, Traits::assignElementLine);
        this->items_ = array;
        this->count_ = n;
    }

    // Appends a copy unless an equal element is present.
    void add(const E& element) {
        if (firstIndex([&](const E& e) { return same(e, element); }) != npos)
            return;
        E** array = allocateArray(this->count_ + 1, Traits::addArrayLine);
        E* copy = nullptr;
        try {
            copy = oxNew<E>(element);
        } catch (...) {
            oxRelease(array);
            throw;
        }
        if (!copy) {
            oxRelease(array);
            throw oxInsufficientMemory_c(Traits::source, Traits::addElementLine);
        }
        for (std::uint32_t i = 0; i < this->count_; ++i)
            array[i] = this->items_[i];
        array[this->count_] = copy;
        oxRelease(this->items_);
        this->items_ = array;
        ++this->count_;
    }

    // Deletes the first equal element, keeping the order of the rest.
    void remove(const E& element) {
        const std::uint32_t p = firstIndex([&](const E& e) { return same(e, element); });
        if (p == npos)
            return;
        const std::uint32_t m = this->count_ - 1;
        E* gone = this->items_[p];
        if (m == 0) {
            oxRelease(this->items_);
            this->items_ = nullptr;
            this->count_ = 0;
            oxDelete(gone);
            return;
        }
        E** array = allocateArray(m, Traits::removeLine);
        for (std::uint32_t i = 0, j = 0; i < this->count_; ++i)
            if (i != p)
                array[j++] = this->items_[i];
        oxRelease(this->items_);
        this->items_ = array;
        this->count_ = m;
        oxDelete(gone);
    }

    // `add` of each of the other's elements in its order; returns the other's count.
    std::uint32_t addAll(const oxPtrList_c& other) {
        const std::uint32_t n = other.count_;
        if (&other == this)
            return n; // every element is already present
        for (std::uint32_t i = 0; i < n; ++i)
            if (other.items_[i])
                add(*other.items_[i]);
        return n;
    }

    // `remove` of each of the other's elements in its order; returns the other's count.
    // Removing a list from itself empties it.
    std::uint32_t removeAll(const oxPtrList_c& other) {
        const std::uint32_t n = other.count_;
        if (&other == this) {
            clear();
            return n;
        }
        for (std::uint32_t i = 0; i < n; ++i)
            if (other.items_[i])
                remove(*other.items_[i]);
        return n;
    }

  protected:
    static constexpr std::uint32_t npos = 0xFFFFFFFFu;

    static bool same(const E& a, const E& b) {
        if constexpr (requires { Traits::equal(a, b); })
            return Traits::equal(a, b);
        else
            return a == b;
    }

    bool isValidIndex(std::uint32_t position) const noexcept { return position < this->count_; }

    // Position of the first element (null slots skipped) that satisfies pred, or npos.
    template <class Pred> std::uint32_t firstIndex(Pred pred) const {
        for (std::uint32_t i = 0; i < this->count_; ++i)
            if (this->items_[i] && pred(static_cast<const E&>(*this->items_[i])))
                return i;
        return npos;
    }
    // As firstIndex, but throws oxInvalidIndex_c(source, line) when nothing matches.
    template <class Pred> std::uint32_t indexWhere(Pred pred, std::uint32_t line) const {
        const std::uint32_t i = firstIndex(pred);
        if (i == npos)
            throw oxInvalidIndex_c(Traits::source, line);
        return i;
    }
    template <class Pred> E* findWhere(Pred pred, std::uint32_t line) const {
        return this->items_[indexWhere(pred, line)];
    }
    std::uint32_t firstEqual(const E& element) const {
        return firstIndex([&](const E& e) { return same(e, element); });
    }

    // Same count and equal elements pair by pair (two null slots count as equal).
    bool sameElements(const oxPtrList_c& other) const {
        if (this->count_ != other.count_)
            return false;
        for (std::uint32_t i = 0; i < this->count_; ++i) {
            const E* a = this->items_[i];
            const E* b = other.items_[i];
            if (a != b && (!a || !b || !same(*a, *b)))
                return false;
        }
        return true;
    }

    // Fills an empty list with n elements made by make(i), which returns a new element from
    // oxNew (null when its storage could not be had). Duplicates are kept. On failure every
    // element made so far is deleted, the array released, and the list is left empty.
    template <class Make>
    void build(std::uint32_t n, Make make, std::uint32_t arrayLine, std::uint32_t elementLine) {
        if (n == 0)
            return;
        E** array = allocateArray(n, arrayLine);
        std::uint32_t made = 0;
        try {
            for (; made < n; ++made) {
                array[made] = make(made);
                if (!array[made])
                    throw oxInsufficientMemory_c(Traits::source, elementLine);
            }
        } catch (...) {
            discard(array, made);
            throw;
        }
        this->items_ = array;
        this->count_ = n;
    }

    // Deletes every element and releases the array.
    void clear() noexcept {
        discard(this->items_, this->count_);
        this->items_ = nullptr;
        this->count_ = 0;
    }

  private:
    static E** allocateArray(std::uint32_t n, std::uint32_t line) {
        void* p = oxAllocate(static_cast<std::size_t>(n) * sizeof(E*));
        if (!p)
            throw oxInsufficientMemory_c(Traits::source, line);
        return static_cast<E**>(p);
    }

    // Copies n source slots into array (null slots stay null); on failure the copies made so
    // far and the array are released.
    static void copyInto(E** array, std::uint32_t n, E* const* source, std::uint32_t line) {
        std::uint32_t made = 0;
        try {
            for (; made < n; ++made) {
                if (!source[made])
                    continue;
                array[made] = oxNew<E>(static_cast<const E&>(*source[made]));
                if (!array[made])
                    throw oxInsufficientMemory_c(Traits::source, line);
            }
        } catch (...) {
            discard(array, made);
            throw;
        }
    }

    static void discard(E** array, std::uint32_t n) noexcept {
        for (std::uint32_t i = 0; i < n; ++i)
            oxDelete(array[i]);
        oxRelease(array);
    }
};
