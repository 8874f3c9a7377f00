// The interruption's flag and the end it leads to, on Windows: Ctrl-C and Ctrl-Break in the
// console, and the console closed, the user logged off or the system shut down.
#include "program/Interruption.h"

#include <atomic>
#include <cstdio>

#include <windows.h>

#include "program/Commands.h"

namespace {

// The code Windows gives a program that Ctrl-C ended (STATUS_CONTROL_C_EXIT); the events are
// numbered from 0, so each is noted as its number plus one.
constexpr UINT kInterruptedStatus = 0xC000013Au;
std::atomic<int> pendingEvent{0};

// The console's handler runs on a thread of its own: it only notes the event. For a closed
// console, a log-off or a shutdown, Windows ends the process as soon as the handler returns, so
// that handler waits for the frame to print the summary and end the process itself.
BOOL WINAPI NoteInterruption(DWORD event) {
    int expected = 0;
    pendingEvent.compare_exchange_strong(expected, static_cast<int>(event) + 1);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        Sleep(INFINITE);
    }
    return TRUE;
}

}  // namespace

void CatchInterruptions() {
    SetConsoleCtrlHandler(NoteInterruption, TRUE);
}

int PendingInterruption() {
    return pendingEvent.load();
}

void EndByInterruption(int /*signal*/) {
    ApplyWindowClose();
    std::fflush(nullptr);
    ExitProcess(kInterruptedStatus);
}
