// What the role module (fkRoles.cpp) records of the calls it gets; tests read it through the
// module's export fkRecordOf. Every copy of the module file keeps a record of its own.
#pragma once
#include <cstdint>
#include <string>

struct fkRecord {
    std::uint32_t slot = 0, attribute = 0, row = 0, a = 0, b = 0; // of the last call
    std::string text;      // the text of the last set, as it arrived
    bool textWide = false;
    std::uint32_t ticks = 0; // timer callbacks so far
    bool failTimer = false;  // the timer callbacks throw while set
};
