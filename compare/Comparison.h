// embervane-compare's work: one or two logs read, their turns compared, a plot drawn. No GL here;
// the program's main only hands it the arguments.
#pragma once

#include <ostream>
#include <string>
#include <vector>

struct CompareOptions {
    bool anyWorkload = false;  // compare runs of another count or size too
    std::string plotPath;      // an SVG of each side's turns over time, when not empty
};

// For each of kps, fps and frame_ms_p99, each log's median with its 95% interval and, with two
// logs, the change of the second against the first and the U test's p-value, "~" where p > 0.05.
// First it says what each side measured. Writes the report to `out` and returns 0; a refusal
// (a log that cannot be read or holds no turn, a malformed line, two workloads unless
// anyWorkload, a plot that cannot be written) goes to `err`, with status 1.
int CompareLogs(const std::vector<std::string>& paths, const CompareOptions& options,
                std::ostream& out, std::ostream& err);

// The SVG: each side's kps turn by turn, a line and a dot a turn, with the names in a legend.
std::string PlotSvg(const std::vector<std::string>& names,
                    const std::vector<std::vector<double>>& kps);
