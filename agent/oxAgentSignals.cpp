#include "agent/oxAgentSignals.h"
#include <csignal>

namespace oxagent {

namespace {

volatile std::sig_atomic_t received = 0;

extern "C" void onStopSignal(int signal) {
    received = signal;
}

} // namespace

void installStopSignals() {
    received = 0;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a sleep ends at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool stopRequested() noexcept {
    return received != 0;
}

int stopSignal() noexcept {
    return static_cast<int>(received);
}

} // namespace oxagent
