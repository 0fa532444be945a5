// Ctrl-C and SIGTERM for `run`: the handlers only set a flag that the poll loop reads.
#pragma once

namespace oxagent {

// Installs the handlers for SIGINT and SIGTERM and clears the flag.
void installStopSignals();
// Whether SIGINT or SIGTERM arrived since installStopSignals.
bool stopRequested() noexcept;
// The number of the signal that arrived, 0 when none.
int stopSignal() noexcept;

} // namespace oxagent
