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
};

struct RunLog {
    std::map<std::string, std::string> run;  // the fields of the last "run" line
    int particles = 0;
    int width = 0;
    int height = 0;
    std::vector<Turn> turns;  // those of the last run with summed=1, in order
};

// Reads `in`, named `name` in messages, into `log`. Lines of other kinds than "run" and
// "orbit=" are passed over; a "run" line starts the run afresh. Returns an empty string, or the
// reason for a refusal, starting with the name and line: a run or turn line malformed or
// truncated (a field missing, a number that is not one), a turn before any run line or of another
// workload than its run's, or no turn that a summary counts.
std::string ReadRunLog(std::istream& in, const std::string& name, RunLog* log);
