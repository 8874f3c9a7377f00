// What embervane-bench is asked to do: its command line, read and checked before anything starts.
// No X or process here; the driver's main hands it the arguments.
#pragma once

#include <string>
#include <vector>

struct BenchOptions {
    std::vector<int> particles = {32000};  // the counts, in the order given
    int turns = 10;   // counted turns per count; with --versus, per round and side
    int rounds = 1;   // with --versus: rounds of both sides per count
    int width = 640;  // the picture's size: 640x480 or 320x240
    int height = 480;
    bool headless = false;             // a private Xvfb even where there is a display
    std::vector<std::string> outputs;  // -o: one log, or one per side with --versus
    std::vector<std::string> program;  // the first side's command; empty: the installed program
    std::vector<std::string> versus;   // the second side's command; empty: one side only
    double limitSeconds = 30;          // how long any awaited window or line may take
    bool help = false;
};

// The usage text, for --help and for a usage error.
extern const char kBenchUsage[];

// Reads the arguments after the program's name into `options`; returns an empty string, or what
// is wrong with them.
std::string ParseBenchOptions(const std::vector<std::string>& arguments, BenchOptions* options);

// `command` as it is run from another folder: its program, where named by a relative path, and
// every other relative path in it that names a file or folder in `here`, taken from `here`.
std::vector<std::string> CommandFrom(const std::string& here, std::vector<std::string> command);
