// The one line an event is shown as, by `run` and by `events` clients alike.
#pragma once
#include "sp/oxSpRecords.h"
#include <string>

namespace oxagent {

// "event 1 at 2026-12-06 01:11:22: component 1 group 2 (FA|TickerEvent|001) 1=1 5=FA|Ticker|001"
std::string eventLine(const oxSpEvent& event);

} // namespace oxagent
