// What the request fixtures' component objects record about the calls they get. Each module
// keeps one record and exports it as fxRecordOf, so tests read it through the module handle.
#pragma once
#include "framework/model/oxAttribValue.h"
#include "framework/model/oxKey.h"
#include "tests/modules/fkComponentModule.h"
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

struct fxRequestRecord {
    std::uint32_t calls[6] = {}; // per slot
    std::uint32_t slot = 0;      // the last call: slot, attribute, row, pass-through values
    std::uint32_t attribute = 0;
    std::uint32_t row = 0; // the number held by the row key, 0 for an empty key
    std::uint32_t a = 0, b = 0;
    std::uint32_t textLength = 0; // the text of the last set, as it arrived
    bool textWide = false;
    char text[64] = {};
    std::atomic<std::uint32_t> inside{0};     // getAttribute calls running now
    std::atomic<std::uint32_t> mostInside{0}; // and the most ever at once
    std::atomic<bool> hold{false};            // getAttribute of attribute 6 waits while set
    std::atomic<bool> holding{false};         // ... and says so
};

// The record of this module, and its export.
#define FX_REQUEST_RECORD                                                                          \
    namespace {                                                                                    \
    fxRequestRecord record;                                                                        \
    }                                                                                              \
    FK_EXPORT fxRequestRecord* fxRecordOf() {                                                      \
        return &record;                                                                            \
    }

inline std::uint32_t fxRowOf(const oxKey_c& key) {
    return key.count() ? key.at(0)->value.number6 : 0;
}

inline void fxNote(fxRequestRecord& record, std::uint32_t slot, const oxAttribValue_c& value,
                   const oxKey_c& key, std::uint32_t a, std::uint32_t b) {
    ++record.calls[slot];
    record.slot = slot;
    record.attribute = value.id;
    record.row = fxRowOf(key);
    record.a = a;
    record.b = b;
}

// Row keys of one key attribute (ID 1) holding the numbers 1 to n.
inline void fxAddRows(oxKeyList_c& rows, std::uint32_t n) {
    for (std::uint32_t i = 1; i <= n; ++i) {
        oxKey_c key(oxIdList_c{1});
        key.at(0)->value.number6 = i;
        rows.add(key);
    }
}

// Counts the getAttribute calls running at once while one lasts; holds on request.
class fxInside {
  public:
    fxInside(fxRequestRecord& record, std::uint32_t attribute) : record_(record) {
        const std::uint32_t now = ++record_.inside;
        std::uint32_t most = record_.mostInside.load();
        while (now > most && !record_.mostInside.compare_exchange_weak(most, now)) {
        }
        if (attribute == 6 && record_.hold.load()) {
            record_.holding = true;
            while (record_.hold.load())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            record_.holding = false;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200)); // widen the window
    }
    ~fxInside() { --record_.inside; }
    fxInside(const fxInside&) = delete;
    fxInside& operator=(const fxInside&) = delete;

  private:
    fxRequestRecord& record_;
};
