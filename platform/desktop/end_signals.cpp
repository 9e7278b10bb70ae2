#include "platform/desktop/end_signals.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t arrived = 0;

void noteArrival(int) {
    arrived = 1;
}

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

void listenForEndSignals() {
    for (const int signal : kEndSignals) {
        struct sigaction previous {};
        sigaction(signal, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = noteArrival;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(signal, &action, nullptr);
    }
}

bool endSignalArrived() {
    return arrived != 0;
}
