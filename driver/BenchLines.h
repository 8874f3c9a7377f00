// What the driver reads in the program's lines and what it writes beside them: which line is
// which, the keys that reach a count, the log with one run line per run, the driver's own lines
// and its progress. No X or process here.
#pragma once

#include <string>
#include <vector>

// One line of the program's standard output, as far as driving it needs.
struct ProgramLine {
    enum Kind { kOther, kRun, kTurn, kSummary } kind = kOther;
    int particles = 0;  // run, turn, summary
    int width = 0;
    int height = 0;
    bool summed = false;  // turn: counted by the summary
    double fps = 0;       // turn
    int turns = 0;        // summary: how many it covers
};
ProgramLine ReadProgramLine(const std::string& line);

// The count keys from one count to another, 500 a key: "+" up, "-" down.
std::string KeysToReach(int from, int to);

// The log as the driver keeps it: a run line is held until its run shows a turn or a summary,
// so that the run lines printed on the way to a count (one a key) leave only the last one.
class RunLineFilter {
public:
    // The lines to write now for `line`.
    std::vector<std::string> Pass(const std::string& line);
    // The held run line, if any: at the end, or at a failure, so that nothing received is lost.
    std::vector<std::string> Flush();

private:
    std::string held_;
};

// What the driver knows of the machine, for the line it writes before each run.
struct MachineInfo {
    std::string processor;  // the model's name, or "unknown"
    int cores = 0;          // processors online
    double load = 0;        // the load average over the last minute
};
// The first "model name" of /proc/cpuinfo's text, or "unknown".
std::string ProcessorModel(const std::string& cpuinfo);

// Where a run stands in a side-by-side session: `side` (1 or 2) in round `round` of `rounds`,
// under one `id` shared by both sides' logs.
struct VersusRound {
    std::string id;
    int side;
    int round;
    int rounds;
};

// bench version=1.45 [versus=ID side=1 round=2 rounds=6] cpu="..." cores=2 load=0.52
std::string BenchLine(const std::string& version, const MachineInfo& machine,
                      const VersusRound* versus);
// bench_end load=0.80, after the run's summary.
std::string BenchEndLine(double load);

// The progress line: "embervane-bench: 32000 particles at 640x480: turn 2 of 3, 33.9 fps, about
// 1 min 5 s left"; turn 0 is the settling turn, which the summary leaves out. Side by side, the
// side and round come first: "embervane-bench: side 2, round 3 of 6: 32000 particles ...".
std::string ProgressLine(const VersusRound* versus, int particles, int width, int height, int turn,
                         int turns, double fps, double secondsLeft);
