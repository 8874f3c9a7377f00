// Ctrl-C and kill: the run's summary is not lost. The handler only notes the interruption; the
// frame, or a timer while the window is hidden, ends the program with it. Each platform has its
// own file (posix/, win32/), which the build picks.
#pragma once

// Notes SIGINT and SIGTERM from now on, instead of ending the process at once; on Windows the
// console's Ctrl-C, Ctrl-Break and close, a log-off and a shutdown.
void CatchInterruptions();

// The interruption noted since CatchInterruptions (the signal; on Windows the console event plus
// one), or 0.
int PendingInterruption();

// Prints the summary as a close does, then ends the process by `signal` itself, its default
// action restored, so that a calling shell or script sees the interruption; on Windows with the
// status that Windows gives a program that Ctrl-C ended.
[[noreturn]] void EndByInterruption(int signal);
