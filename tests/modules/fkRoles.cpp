// One component module that plays the role its file name names (the first of these words in
// it), so that copies of the built file under other names are different components, each with
// statics of its own:
//   table   rows 1-3 (key attribute 1), attributes 1,2,3,4,6 holding "r<row>a<attribute>";
//           attribute 4 answers 0x2008 in every slot
//   throw   rows 1-2, attributes 1,2; every slot throws, oxFatal_c for attribute 1
//   unload  rows 1-2, attribute 1; every slot asks to be unloaded (0x8001)
//   imer    (timer, Timer) attributes 1,2; a running one-second timer
//   refuse  attribute 1; its constructor leaves 0x7005
//   other   attributes 3,4,5
// The first four serve FK|<Role>|001 with event group FK|<Role>Event|001; the last two take
// both groups from the definition files beside the module (<name>.grp and <name>.evt).
#include "framework/diag/oxExceptions.h"
#include "framework/model/oxAttribValue.h"
#include "framework/types/oxTimer.h"
#include "tests/modules/fkComponentModule.h"
#include "tests/modules/fkRecord.h"
#include <cstring>
#include <stdexcept>
#include <string>
#include <tuple>

namespace {

enum fkRole_e { table, thrower, unloadMe, timer, refuses, files };

const struct fkRole {
    const char* word; // in the file name
    std::uint32_t ids[5], idCount;
    const char *served, *event;
    std::uint32_t rows;
} roles[] = {
    {"table", {1, 2, 3, 4, 6}, 5, "FK|Table|001", "FK|TableEvent|001", 3},
    {"throw", {1, 2}, 2, "FK|Thrower|001", "FK|ThrowerEvent|001", 2},
    {"unload", {1}, 1, "FK|UnloadMe|001", "FK|UnloadMeEvent|001", 2},
    {"imer", {1, 2}, 2, "FK|Timer|001", "FK|TimerEvent|001", 0},
    {"refuse", {1}, 1, "", "", 0},
    {"", {3, 4, 5}, 3, "", "", 0},
};

fkRecord record;

int roleOf(const coxKernel_c* kernel) {
    int role = table; // the first whose word is in the file name; "" is in every name
    while (!std::strstr(kernel->loadingModuleName().text(), roles[role].word))
        ++role;
    return role;
}

void countTick(std::uint32_t) {
    if (record.failTimer)
        throw std::runtime_error("fixture timer failure");
    ++record.ticks;
}

// Slot n of the object, handed to serve().
#define FK_SLOT(name, n)                                                                           \
    bool name(oxAttribValue_c& v, oxKey_c& k, std::uint32_t a, std::uint32_t b,                    \
              std::uint32_t* status) override {                                                    \
        return serve(n, v, k, a, b, status);                                                       \
    }

class fkRoles_c : public coxBase_c {
  public:
    fkRoles_c(const oxString_c& directory, coxKernel_c* kernel, std::uint32_t* status)
        : fkRoles_c(directory, kernel, status, roles[roleOf(kernel)]) {}
    FK_SLOT(getAttribute, 0)
    FK_SLOT(reserveAttribute, 1)
    FK_SLOT(releaseAttribute, 2)
    FK_SLOT(setAttribute, 3)
    FK_SLOT(addRow, 4)
    FK_SLOT(deleteRow, 5)

  private:
    fkRoles_c(const oxString_c& directory, coxKernel_c* kernel, std::uint32_t* status,
              const fkRole& role)
        : coxBase_c(directory, kernel, oxIdList_c(role.idCount, role.ids), role.served,
                    role.event),
          role_(static_cast<fkRole_e>(&role - roles)) {
        for (std::uint32_t row = 1; row <= role.rows; ++row) {
            oxKey_c key(oxIdList_c{1});
            key.at(0)->value.number6 = row;
            rowKeys().add(key);
        }
        if (role_ == timer) {
            oxTimer_c tick(1, 1, oxTimer_c::seconds, &countTick, 0);
            tick.start();
            timers().add(tick);
        }
        if (role_ == refuses)
            *status = 0x7005;
    }

    bool serve(std::uint32_t slot, oxAttribValue_c& value, oxKey_c& key, std::uint32_t a,
               std::uint32_t b, std::uint32_t* status) {
        const oxString_c& text = value.value.string;
        if (slot == 3) {
            record.text.assign(text.length() ? text.text() : "", text.length());
            record.textWide = text.isWide();
        }
        const std::uint32_t row = key.count() ? key.at(0)->value.number6 : 0;
        std::tie(record.slot, record.attribute, record.row, record.a, record.b) =
            std::tuple(slot, value.id, row, a, b);
        *status = role_ == unloadMe ? 0x8001 : role_ == table && value.id == 4 ? 0x2008 : 0;
        if (role_ == thrower && value.id == 1)
            throw oxFatal_c("..\\fkRoles", 1, "fixture failure");
        if (role_ == thrower)
            throw std::runtime_error("fixture failure");
        const std::string answer = "r" + std::to_string(row) + "a" + std::to_string(value.id);
        if (role_ == table && slot == 0 && *status == 0)
            value.value.setString(oxString_c(answer.c_str()));
        return *status == 0;
    }

    fkRole_e role_;
};

} // namespace

FK_ENTRY_POINTS(fkRoles_c)
FK_EXPORT fkRecord* fkRecordOf() {
    return &record;
}
FK_COMPONENT_VERSION_BLOCK("fixture playing the role its file name names")
