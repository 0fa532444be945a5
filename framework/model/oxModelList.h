// The two shapes of the model's owning lists, built on oxPtrList_c.
//
// oxIdKeyedList_c: lists of records that carry a 32-bit `id` (attribute values, groups,
// attributes, components). Adds find, indexOf and contains by ID, list ==, and the two filling
// constructors for derived lists. Traits add to oxPtrList_c's lines: constructArrayLine,
// constructElementLine, findLine, indexOfLine.
//
// oxRowList_c: lists of rows (keys, value lists) that are neither copied nor assigned. Adds
// isValidIndex, indexOf and contains by element, and list ==. Traits add: indexOfLine.
#pragma once
#include "framework/types/oxIdList.h"
#include "framework/types/oxPtrList.h"
#include <cstdint>

template <class E, class Traits> class oxIdKeyedList_c : public oxPtrList_c<E, Traits> {
    using Base = oxPtrList_c<E, Traits>;

  public:
    using Base::Base;

    // The first element with the ID; throws oxInvalidIndex_c when none.
    E* find(std::uint32_t id) const { return this->findWhere(hasId(id), Traits::findLine); }
    // Position of the first element with the ID; throws oxInvalidIndex_c when none.
    std::uint32_t indexOf(std::uint32_t id) const {
        return this->indexWhere(hasId(id), Traits::indexOfLine);
    }
    bool contains(std::uint32_t id) const { return this->firstIndex(hasId(id)) != Base::npos; }

    // Same count and equal elements pair by pair, in the same order.
    bool operator==(const oxIdKeyedList_c& other) const { return this->sameElements(other); }

  protected:
    static auto hasId(std::uint32_t id) {
        return [id](const E& e) { return e.id == id; };
    }

    // One element per ID, in the ID list's order, each made from its ID alone.
    void buildFromIds(const oxIdList_c& ids) {
        this->build(
            ids.count(), [&](std::uint32_t i) { return oxNew<E>(ids.at(i)); },
            Traits::constructArrayLine, Traits::constructElementLine);
    }
    // One copy per record, in array order; empty for n = 0 or a null pointer.
    void buildFromRecords(std::uint32_t n, const E* records) {
        if (!records)
            return;
        this->build(
            n, [&](std::uint32_t i) { return oxNew<E>(records[i]); },
            Traits::constructArrayLine, Traits::constructElementLine);
    }
};

template <class E, class Traits, class Storage = oxCountThenItems<E>>
class oxRowList_c : public oxPtrList_c<E, Traits, Storage> {
    using Base = oxPtrList_c<E, Traits, Storage>;

  public:
    oxRowList_c() noexcept = default;
    explicit oxRowList_c(const E& element) : Base(element) {}
    oxRowList_c(const oxRowList_c&) = delete;
    oxRowList_c& operator=(const oxRowList_c&) = delete;
    void assign(const oxRowList_c&) = delete;

    using Base::isValidIndex;

    // Position of the first equal element; throws oxInvalidIndex_c when none.
    std::uint32_t indexOf(const E& element) const {
        return this->indexWhere([&](const E& e) { return Base::same(e, element); },
                                Traits::indexOfLine);
    }
    bool contains(const E& element) const { return this->firstEqual(element) != Base::npos; }

    // Same count and equal elements pair by pair, in the same order.
    bool operator==(const oxRowList_c& other) const { return this->sameElements(other); }
};
