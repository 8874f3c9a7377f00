// The interruption's flag and the end it leads to.
#include "program/Interruption.h"

#include <csignal>
#include <cstdlib>
#include <initializer_list>

#include "program/Commands.h"

namespace {

volatile std::sig_atomic_t pendingSignal = 0;

// Only the flag: nothing that a signal handler may not do runs here.
void NoteInterruption(int signal) {
    pendingSignal = signal;
}

}  // namespace

void CatchInterruptions() {
    for (const int signal : {SIGINT, SIGTERM}) {
        struct sigaction action = {};
        action.sa_handler = NoteInterruption;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

int PendingInterruption() {
    return pendingSignal;
}

void EndByInterruption(int signal) {
    ApplyWindowClose();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal);  // only if the signal could not end it
}
