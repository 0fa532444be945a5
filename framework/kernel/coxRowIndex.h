// coxRowIndex_c: where a request's row key stands among a component object's row keys, found
// by hash in constant time on average rather than by comparing the key with every row.
// coxRowIndexes_c: the kernel's indexes, one beside each component object's row keys.
//
// An index only suggests positions. Each suggestion is confirmed against the rows as they are
// now, and a key without a confirmed suggestion is looked for by the scan, so the index never
// has to be current: the module may add and delete rows at any time (its slots, its timers)
// without telling the kernel. When the scan finds a key the index should have placed, the rows
// changed since it was built and it is rebuilt.
//
// The index places a row under a hash of what decides its equality to other keys; a suggestion
// is confirmed when the row is alike the request's key: the same IDs and kinds, equal numbers,
// octet strings and dates, and texts of the same length that differ at most in their last byte
// (text equality never reads the last byte of the shorter text). Alike keys equal exactly the
// same keys. So a confirmed row is the first equal one: an earlier row equal to the request
// would equal the confirmed row too, and the row list's add refuses a key equal to one present.
// A request that equals a row without being alike it (a text one byte longer or shorter) misses
// and is scanned; keys with an invalid kind, which equal nothing, are always scanned. Keys are
// taken to change only through the list: a key edited in place through `at` is outside what
// the index follows.
#pragma once
#include "framework/model/oxKey.h"
#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

class coxRowIndex_c {
  public:
    static constexpr std::uint32_t none = 0xFFFFFFFFu;

    // Whether the key's rows can be found by hash, and its hash when they can; alike keys hash
    // alike.
    static bool hashOf(const oxKey_c& key, std::uint64_t& hash) noexcept;
    static bool alike(const oxKey_c& a, const oxKey_c& b) noexcept;
    // Position of the first row equal to the key, or none; by scan alone.
    static std::uint32_t scan(const oxKeyList_c& rows, const oxKey_c& key) noexcept;

    // Position of the first row equal to the key, whose hash hashOf gave, or none. Rebuilds the
    // index when it turns out to be behind the rows.
    std::uint32_t find(const oxKeyList_c& rows, const oxKey_c& key, std::uint64_t hash) noexcept;

  private:
    std::uint32_t suggested(const oxKeyList_c& rows, const oxKey_c& key,
                            std::uint64_t hash) const noexcept;
    void rebuild(const oxKeyList_c& rows) noexcept;

    // Open addressing, a power of two long: the hash's upper half beside position + 1; 0 empty.
    std::vector<std::uint64_t> slots_;
};

class coxRowIndexes_c {
  public:
    // Position of the first of the rows equal to the non-empty key, or coxRowIndex_c::none.
    // Requests run one at a time under the busy guard, but the unguarded handlers take no
    // guard: a request that finds the indexes in use by another thread scans instead.
    std::uint32_t find(const oxKeyList_c& rows, const oxKey_c& key) noexcept;
    // Drops the index of rows that go with their component object.
    void forget(const oxKeyList_c& rows) noexcept;
    void forgetAll() noexcept;

  private:
    void lock() noexcept;
    void unlock() noexcept { inUse_.store(false, std::memory_order_release); }

    std::atomic<bool> inUse_{false};
    std::vector<std::pair<const oxKeyList_c*, coxRowIndex_c>> indexes_;
};
