// A log of the program's standard output, read for its last benchmark run: the line that names
// the run and the turns that its summary covers. No GL here.
#pragma once

#include <istream>
#include <map>
#include <string>
#include <vector>

// The fields of one logfmt line, by name, unquoted; an empty map where the line is malformed (a
// quote left open, an escape unknown, a field without a name, a name given twice).
std::map<std::string, std::string> ParseLogfmt(const std::string& line);

struct Turn {
    double kps;
    double fps;
    double frameMsP99;
    double seconds;
    double cpuMs;  // NAN where the line has no cpu_ms (a program older than the field)
};

// One run: a "run" line and the turns that followed it until the next.
struct Run {
    std::map<std::string, std::string> fields;  // the run line's
    std::map<std::string, std::string> bench;   // the embervane-bench line just before it, if any
    int particles = 0;
    int width = 0;
    int height = 0;
    std::vector<Turn> turns;  // those with summed=1, in order
    bool summarised = false;  // a summary line ended it; without one the run was cut short
};

struct RunLog {
    std::vector<Run> runs;  // in order, those with a turn that a summary counts
};

// Reads `in`, named `name` in messages, into `log`. Lines of other kinds than "bench", "run",
// "orbit=" and "summary" are passed over; a "run" line starts a run, and one with no counted
// turn (a count passed on the way to another) is left out. Returns an empty string, or the
// reason for a refusal, starting with the name and line: a bench, run or turn line malformed
// or truncated (a field missing, a number that is not one), a turn before any run line or of
// another workload than its run's, or no turn that a summary counts. Lines may end in LF or CR LF,
// and a log that starts with UTF-16 LE's byte-order mark is read as UTF-16.
std::string ReadRunLog(std::istream& in, const std::string& name, RunLog* log);
