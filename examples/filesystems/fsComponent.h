// fsComponent_c: the File System table. One row per mounted file system, keyed by its mount
// point; attribute 7 is the usage threshold in percent, one value for the whole component,
// which its timer compares with every file system's usage to raise an event when one rises
// above it and again when it falls back.
#pragma once
#include "fsSettings.h"
#include "framework/base/coxBase.h"
#include "framework/types/oxTimer.h"
#include <cstdint>
#include <string>
#include <vector>

// This component's own status: the value is no percentage from 0 to 100 (nothing changed).
constexpr std::uint32_t fsStatusNotAPercentage = 0xF001;

class fsComponent_c : public coxBase_c {
  public:
    static constexpr const char* servedClass = "OX|File System|001";
    static constexpr const char* eventClass = "OX|File System Event|001";
    enum Attribute : std::uint32_t { mountPoint = 1, device, type, size, free, usedPercent, threshold };
    enum Crossing : std::uint32_t { above = 1, fellBack = 2 }; // event attribute 4

    // Reads the settings, takes the current mount table as its rows and starts its timer.
    fsComponent_c(const oxString_c& directory, coxKernel_c* kernel, oxTimer_c::Callback onTimer,
                  std::uint32_t timerArgument);

    bool getAttribute(oxAttribValue_c& value, oxKey_c& key, std::uint32_t a, std::uint32_t b,
                      std::uint32_t* status) override;
    // The threshold alone is writable; reserve checks the value as set does, changing nothing.
    bool reserveAttribute(oxAttribValue_c& value, oxKey_c& key, std::uint32_t a,
                          std::uint32_t b, std::uint32_t* status) override;
    bool setAttribute(oxAttribValue_c& value, oxKey_c& key, std::uint32_t a, std::uint32_t b,
                      std::uint32_t* status) override;

    // The timer's work: rows from the current mount table, an event per crossing.
    void check();

  private:
    bool checkThreshold(const oxAttribValue_c& value, std::uint32_t* status) const;
    void takeRows(const std::vector<std::string>& mountPoints);
    void raiseCrossing(const std::string& mountPoint, std::uint32_t used, Crossing crossing);

    std::uint32_t threshold_;
    std::vector<std::string> above_; // mount points above the threshold at the last check
};
