// Ctrl-C and kill: the run's summary is not lost. The handler only notes the signal; the frame,
// or a timer while the window is hidden, ends the program with it.
#pragma once

// Notes SIGINT and SIGTERM from now on, instead of ending the process at once.
void CatchInterruptions();

// The signal noted since CatchInterruptions, or 0.
int PendingInterruption();

// Prints the summary as a close does, then ends the process by `signal` itself, its default
// action restored, so that a calling shell or script sees the interruption.
[[noreturn]] void EndByInterruption(int signal);
