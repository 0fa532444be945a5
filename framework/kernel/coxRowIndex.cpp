// The kernel's row indexes: the hash and the likeness of row keys, the open addressing table
// of positions, and the per-object indexes the request handlers share.
#include "framework/kernel/coxRowIndex.h"
#include <cstring>
#include <thread>

namespace {

constexpr std::uint64_t fnvPrime = 0x100000001b3ull;

std::uint64_t mixIn(std::uint64_t hash, std::uint64_t word) noexcept {
    return (hash ^ word) * fnvPrime;
}

std::uint64_t bytesIn(std::uint64_t hash, const char* bytes, std::uint32_t n) noexcept {
    for (std::uint32_t i = 0; i < n; ++i)
        hash = mixIn(hash, static_cast<unsigned char>(bytes[i]));
    return hash;
}

// Spreads every bit over the whole word: positions come from the low bits, tags from the high.
std::uint64_t spread(std::uint64_t hash) noexcept {
    hash = (hash ^ (hash >> 30)) * 0xbf58476d1ce4e5b9ull;
    hash = (hash ^ (hash >> 27)) * 0x94d049bb133111ebull;
    return hash ^ (hash >> 31);
}

bool equalRow(const oxKeyList_c& rows, std::uint32_t position, const oxKey_c& key) noexcept {
    const oxKey_c* row = position < rows.count() ? rows.at(position) : nullptr;
    return row && *row == key;
}

bool alikeRow(const oxKeyList_c& rows, std::uint32_t position, const oxKey_c& key) noexcept {
    const oxKey_c* row = position < rows.count() ? rows.at(position) : nullptr;
    return row && coxRowIndex_c::alike(*row, key);
}

// Texts of the same length whose bytes but the last are the same.
bool alikeTexts(const oxString_c& a, const oxString_c& b) noexcept {
    return a.length() == b.length() &&
           (a.length() <= 1 || std::memcmp(a.text(), b.text(), a.length() - 1) == 0);
}

} // namespace

// From the count, and pair by pair the ID, the kind and what likeness compares of the field.
bool coxRowIndex_c::hashOf(const oxKey_c& key, std::uint64_t& hash) noexcept {
    std::uint64_t h = mixIn(0xcbf29ce484222325ull, key.count());
    for (std::uint32_t i = 0; i < key.count(); ++i) {
        const oxAttribValue_c* element = key.at(i);
        if (!element)
            return false;
        const oxValue_c& value = element->value;
        h = mixIn(mixIn(h, element->id), value.kind);
        switch (value.kind) {
        case 0: h = mixIn(h, value.number0); break;
        case 1: h = mixIn(h, value.number1); break;
        case 5: h = mixIn(h, value.number5); break;
        case 6: h = mixIn(h, value.number6); break;
        case 7: h = mixIn(h, value.number7); break;
        case oxValue_c::octetStringKind: {
            const oxOctetString_c& octets = value.octetString;
            h = mixIn(h, octets.length());
            if (octets.bytes())
                h = bytesIn(h, octets.bytes(), octets.length());
            break;
        }
        case oxValue_c::stringKind: {
            const std::uint32_t length = value.string.length();
            h = mixIn(h, length);
            if (length > 1)
                h = bytesIn(h, value.string.text(), length - 1);
            break;
        }
        case oxValue_c::dateKind: h = bytesIn(h, value.date.bytes(), oxDate_c::size); break;
        default: return false; // the invalid kinds, which equal nothing
        }
    }
    hash = spread(h);
    return true;
}

bool coxRowIndex_c::alike(const oxKey_c& a, const oxKey_c& b) noexcept {
    if (a.count() != b.count())
        return false;
    for (std::uint32_t i = 0; i < a.count(); ++i) {
        const oxAttribValue_c* x = a.at(i);
        const oxAttribValue_c* y = b.at(i);
        if (!x || !y || x->id != y->id || x->value.kind != y->value.kind)
            return false;
        if (x->value.kind == oxValue_c::stringKind ? !alikeTexts(x->value.string, y->value.string)
                                                   : x->value != y->value)
            return false;
    }
    return true;
}

std::uint32_t coxRowIndex_c::scan(const oxKeyList_c& rows, const oxKey_c& key) noexcept {
    for (std::uint32_t position = 0; position < rows.count(); ++position)
        if (equalRow(rows, position, key))
            return position;
    return none;
}

std::uint32_t coxRowIndex_c::find(const oxKeyList_c& rows, const oxKey_c& key,
                                  std::uint64_t hash) noexcept {
    const std::uint32_t position = suggested(rows, key, hash);
    if (position != none)
        return position;
    const std::uint32_t found = scan(rows, key);
    if (alikeRow(rows, found, key))
        rebuild(rows); // the rows changed since the index was built
    return found;
}

std::uint32_t coxRowIndex_c::suggested(const oxKeyList_c& rows, const oxKey_c& key,
                                       std::uint64_t hash) const noexcept {
    if (slots_.empty())
        return none;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask; slots_[i] != 0; i = (i + 1) & mask) {
        const auto position = static_cast<std::uint32_t>(slots_[i]) - 1;
        if (slots_[i] >> 32 == hash >> 32 && alikeRow(rows, position, key))
            return position;
    }
    return none;
}

// At most half full, so that every probe ends at an empty slot. Of rows alike each other
// (possible only for keys edited in place) the first keeps the slot. Without memory for the
// table the index stays empty and the scan answers alone.
void coxRowIndex_c::rebuild(const oxKeyList_c& rows) noexcept {
    try {
        std::size_t size = 8;
        while (size < 2 * std::size_t{rows.count()})
            size *= 2;
        std::vector<std::uint64_t> slots(size, 0);
        for (std::uint32_t position = 0; position < rows.count(); ++position) {
            const oxKey_c* row = rows.at(position);
            std::uint64_t hash = 0;
            if (!row || !hashOf(*row, hash))
                continue; // alike no key that hashes
            std::size_t i = hash & (size - 1);
            while (slots[i] != 0 &&
                   !(slots[i] >> 32 == hash >> 32 &&
                     alikeRow(rows, static_cast<std::uint32_t>(slots[i]) - 1, *row)))
                i = (i + 1) & (size - 1);
            if (slots[i] == 0)
                slots[i] = (hash >> 32 << 32) | (std::uint64_t{position} + 1);
        }
        slots_.swap(slots);
    } catch (...) {
        slots_.clear();
    }
}

std::uint32_t coxRowIndexes_c::find(const oxKeyList_c& rows, const oxKey_c& key) noexcept {
    std::uint64_t hash = 0;
    if (rows.count() == 0 || !coxRowIndex_c::hashOf(key, hash) ||
        inUse_.exchange(true, std::memory_order_acquire))
        return coxRowIndex_c::scan(rows, key);
    std::uint32_t position = coxRowIndex_c::none;
    try {
        coxRowIndex_c* index = nullptr;
        for (auto& [owner, own] : indexes_)
            if (owner == &rows)
                index = &own;
        if (!index)
            index = &indexes_.emplace_back(&rows, coxRowIndex_c()).second;
        position = index->find(rows, key, hash);
    } catch (...) { // no memory for a new index
        position = coxRowIndex_c::scan(rows, key);
    }
    unlock();
    return position;
}

void coxRowIndexes_c::forget(const oxKeyList_c& rows) noexcept {
    lock();
    for (auto i = indexes_.begin(); i != indexes_.end(); ++i)
        if (i->first == &rows) {
            indexes_.erase(i);
            break;
        }
    unlock();
}

void coxRowIndexes_c::forgetAll() noexcept {
    lock();
    indexes_.clear();
    unlock();
}

// Held only while an index is looked up or dropped, never across a call into a module.
void coxRowIndexes_c::lock() noexcept {
    while (inUse_.exchange(true, std::memory_order_acquire))
        std::this_thread::yield();
}
