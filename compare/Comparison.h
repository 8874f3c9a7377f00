// embervane-compare's work: logs read, their runs paired by workload and compared, a plot drawn.
// No GL here; the program's main only hands it the arguments.
#pragma once

#include <ostream>
#include <string>
#include <vector>

struct CompareOptions {
    bool anyWorkload = false;  // pair two logs' workloads in order where they share none
    std::string plotPath;      // an SVG of the turns, or of kps against the count, when not empty
    double maxSlowdown = -1;   // in percent: a real slowdown beyond it gives kSlowdownStatus
};

// The status of a comparison that found a workload's kps lower than the first log's by more
// than CompareOptions::maxSlowdown, with a difference that the test tells from noise.
constexpr int kSlowdownStatus = 3;

// Each log's runs are grouped by workload (count and size), the runs of one workload pooled;
// every log after the first is compared with the first, workload by workload. For each of kps,
// fps and frame_ms_p99: each side's median with its 95% interval, the change against the first
// and its p-value, "~" where p > 0.05: from the U test on the turns, or, for two logs that
// embervane-bench ran side by side (--versus), from the signed-rank test on the rounds'
// differences, the change then the median of the rounds' own changes. Then each side's share of
// a processor, the geometric mean of the kps changes over the workloads both have, the
// workloads only one has, the runs cut short, and warnings where the processor shares differ or
// a side's turns trend with time. Writes the report to `out` and returns 0 or kSlowdownStatus;
// a refusal (a log that cannot be read or holds no turn, a malformed line, two logs with no
// workload in common unless anyWorkload, a plot that cannot be written) goes to `err`, with
// status 1.
int CompareLogs(const std::vector<std::string>& paths, const CompareOptions& options,
                std::ostream& out, std::ostream& err);
