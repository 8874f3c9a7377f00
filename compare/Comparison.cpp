// The comparison's report and plot.
#include "compare/Comparison.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>

#include "compare/Plot.h"
#include "compare/RunLog.h"
#include "measure/Statistics.h"

namespace {

constexpr double kSignificance = 0.05;
// Processor shares further apart than this, relatively, are worth a warning.
constexpr double kShareWarning = 0.10;
// The fewest turns in which a trend with time is looked for.
constexpr size_t kTrendTurns = 8;

struct Metric {
    const char* name;
    const char* format;  // of a median or an interval's end
    double Turn::*field;
};
constexpr Metric kMetrics[] = {{"kps", "%.1f", &Turn::kps},
                               {"fps", "%.2f", &Turn::fps},
                               {"frame_ms_p99", "%.2f", &Turn::frameMsP99}};

std::string Format(const char* format, double value) {
    char text[256];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

// "1 turn", "2 turns".
std::string Count(size_t n, const std::string& what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

// A field's value for the report, "?" where the log leaves it out or empty (a driver that names
// no renderer).
std::string Field(const std::map<std::string, std::string>& fields, const char* name) {
    const auto field = fields.find(name);
    return field == fields.end() || field->second.empty() ? "?" : field->second;
}

// One log's runs of one workload, pooled.
struct Group {
    std::string workload;  // "32000 particles at 640x480"
    int particles, width, height;
    std::vector<const Run*> runs;
    std::vector<Turn> turns;  // in the log's order
};

std::vector<Group> Groups(const RunLog& log) {
    std::vector<Group> groups;
    for (const Run& run : log.runs) {
        const std::string workload = std::to_string(run.particles) + " particles at " +
                                     std::to_string(run.width) + "x" + std::to_string(run.height);
        auto group = std::find_if(groups.begin(), groups.end(),
                                  [&](const Group& g) { return g.workload == workload; });
        if (group == groups.end()) {
            groups.push_back({workload, run.particles, run.width, run.height, {}, {}});
            group = groups.end() - 1;
        }
        group->runs.push_back(&run);
        group->turns.insert(group->turns.end(), run.turns.begin(), run.turns.end());
    }
    return groups;
}

std::vector<double> Values(const std::vector<Turn>& turns, double Turn::*field) {
    std::vector<double> values;
    for (const Turn& turn : turns) {
        values.push_back(turn.*field);
    }
    return values;
}

// The program's processor time over the turns' time, or NAN where a turn has no cpu_ms.
double ProcessorShare(const std::vector<Turn>& turns) {
    double cpuMs = 0, wallMs = 0;
    for (const Turn& turn : turns) {
        cpuMs += turn.cpuMs;
        wallMs += turn.seconds * 1000;
    }
    return wallMs > 0 ? cpuMs / wallMs : NAN;
}

// The id that embervane-bench gave a side-by-side run, where every run of the log has it.
std::string VersusId(const RunLog& log) {
    const std::string id = Field(log.runs.front().bench, "versus");
    for (const Run& run : log.runs) {
        if (Field(run.bench, "versus") != id) {
            return "?";
        }
    }
    return id;
}

// A figure of each round that both groups ran, old side and new.
using Figure = std::function<double(const std::vector<Turn>&)>;
std::vector<std::pair<double, double>> RoundFigures(const Group& old, const Group& now,
                                                    const Figure& figure) {
    std::vector<std::pair<double, double>> rounds;
    for (const Run* a : old.runs) {
        for (const Run* b : now.runs) {
            if (Field(a->bench, "round") == Field(b->bench, "round")) {
                rounds.emplace_back(figure(a->turns), figure(b->turns));
                break;
            }
        }
    }
    return rounds;
}

Figure MedianOf(double Turn::*field) {
    return [field](const std::vector<Turn>& turns) { return Median(Values(turns, field)); };
}

// "median [low, high]", padded to a column.
std::string Centre(const Metric& metric, const std::vector<double>& values) {
    const MedianInterval interval = MedianInterval95(values);
    std::string text = Format(metric.format, Median(values));
    if (interval.known) {
        text.append(" [").append(Format(metric.format, interval.low));
        text.append(", ").append(Format(metric.format, interval.high)).append("]");
    } else {
        text.append(" [too few turns]");
    }
    text.resize(std::max<size_t>(text.size() + 2, 32), ' ');
    return text;
}

struct Change {
    double ratio;  // new against old
    double p;
    std::string detail;  // "(p=0.002 n=10+10)"
};

Change Compare(const Group& old, const Group& now, double Turn::*field, bool paired) {
    char detail[64];
    if (paired) {
        std::vector<double> differences, ratios;
        for (const auto& [a, b] : RoundFigures(old, now, MedianOf(field))) {
            differences.push_back(b - a);
            ratios.push_back(b / a);
        }
        if (!ratios.empty()) {
            const SignedRankTest test = WilcoxonSignedRank(differences);
            std::snprintf(detail, sizeof(detail), "(p=%.3f n=%zu rounds)", test.p, ratios.size());
            return {Median(ratios), test.p, detail};
        }
    }
    const std::vector<double> a = Values(old.turns, field), b = Values(now.turns, field);
    const UTest test = MannWhitneyU(a, b);
    std::snprintf(detail, sizeof(detail), "(p=%.3f n=%zu+%zu)", test.p, a.size(), b.size());
    return {Median(b) / Median(a), test.p, detail};
}

// Why the last call failed, in words.
std::string Reason() {
    return errno != 0 ? std::strerror(errno) : "an error without a reason";
}

std::string Trimmed(std::string line) {
    return line.erase(line.find_last_not_of(' ') + 1);
}

std::string ShareText(double share) {
    return std::isnan(share) ? "unknown" : Format("%.2f", share);
}

// A warning where a side's kps trends with its turns' order, which an unpaired comparison
// would carry as a difference.
void WarnOfDrift(const std::string& path, const Group& group, std::ostream& out) {
    if (group.turns.size() < kTrendTurns) {
        return;
    }
    const TrendTest trend = KendallTrend(Values(group.turns, &Turn::kps));
    if (trend.p <= kSignificance) {
        out << "warning: " << path << "'s kps " << (trend.tau < 0 ? "fell" : "rose")
            << " as its turns went on (Kendall's tau " << Format("%+.2f", trend.tau)
            << Format(", p=%.3f): the machine's level moved during the run\n", trend.p);
    }
}

void NoteCutShort(const std::string& path, const Group& group, std::ostream& out) {
    for (const Run* run : group.runs) {
        if (!run->summarised) {
            out << "note: " << path << ": a run cut short, with no summary after its "
                << Count(run->turns.size(), "turn") << "; those are compared\n";
        }
    }
}

struct Report {
    std::vector<double> kpsRatios;  // of the workloads both sides have
    std::vector<std::string> slower;
    bool tooFew = false;
};

// One workload of one log, or of two compared.
void PrintGroup(const std::vector<std::string>& paths, const std::vector<const Group*>& sides,
                bool paired, const CompareOptions& options, Report* report, std::ostream& out) {
    const Group& old = *sides.front();
    out << "\n" << old.workload;
    if (sides.size() == 1) {
        out << ", " << Count(old.turns.size(), "turn") << "\n"
            << std::string(15, ' ') << "median [95% interval]\n";
    } else {
        const Group& now = *sides.back();
        out << (now.workload == old.workload ? "" : " against " + now.workload)
            << ", turns: " << old.turns.size() << " old, " << now.turns.size() << " new";
        if (paired) {
            out << ", " << Count(RoundFigures(old, now, MedianOf(&Turn::kps)).size(), "round")
                << " paired";
        }
        out << "\n"
            << std::string(15, ' ') << "old median [95% interval]      "
            << "new median [95% interval]      change\n";
    }
    for (const Metric& metric : kMetrics) {
        std::string line = metric.name;
        line.resize(15, ' ');
        for (const Group* side : sides) {
            const std::vector<double> values = Values(side->turns, metric.field);
            line += Centre(metric, values);
            report->tooFew = report->tooFew || values.size() < kMinimumIntervalSamples;
        }
        if (sides.size() == 2) {
            const Change change = Compare(old, *sides.back(), metric.field, paired);
            const bool real = change.p <= kSignificance;
            const double percent = (change.ratio - 1) * 100;
            line += real ? Format("%+.2f%%", percent) : "~";
            line.resize(line.size() + (real ? 1 : 8), ' ');
            line += change.detail;
            if (metric.field == &Turn::kps) {
                if (std::isfinite(change.ratio) && change.ratio > 0) {  // no old median of 0
                    report->kpsRatios.push_back(change.ratio);
                }
                if (real && options.maxSlowdown >= 0 && -percent > options.maxSlowdown) {
                    report->slower.push_back(paths.back() + " at " + sides.back()->workload +
                                             ": kps " + Format("%+.2f%% ", percent) +
                                             change.detail);
                }
            }
        }
        out << Trimmed(line) << "\n";
    }
    std::string line = "processors";
    std::vector<double> shares;
    line.resize(15, ' ');
    for (const Group* side : sides) {
        shares.push_back(ProcessorShare(side->turns));
        line += ShareText(shares.back());
        line.resize(15 + 32 * shares.size(), ' ');
    }
    out << Trimmed(line) << "\n";
    for (size_t i = 0; i < sides.size(); ++i) {
        NoteCutShort(paths[i], *sides[i], out);
    }
    bool sharesDiffer = shares.size() == 2 && std::fabs(shares[1] / shares[0] - 1) > kShareWarning;
    if (sharesDiffer && paired) {  // in the rounds too, as their kps are compared
        std::vector<double> differences, ratios;
        for (const auto& [a, b] : RoundFigures(old, *sides.back(), ProcessorShare)) {
            differences.push_back(b - a);
            ratios.push_back(b / a);
        }
        sharesDiffer = std::fabs(Median(ratios) - 1) > kShareWarning &&
                       WilcoxonSignedRank(differences).p <= kSignificance;
    }
    if (sharesDiffer) {
        out << "warning: the new run had " << ShareText(shares[1]) << " of a processor, the old "
            << ShareText(shares[0]) << Format(" (%+.0f%%", (shares[1] / shares[0] - 1) * 100)
            << (paired ? ", round after round): a program that uses more or fewer processors, or "
                         "a machine that gave one side more,"
                       : "): a machine busier for one side, or a program that uses fewer "
                         "processors,")
            << " can explain a kps change of about that size"
            << (paired ? "\n" : "; run the two side by side (embervane-bench --versus)\n");
    }
    for (size_t i = 0; i < sides.size() && !paired; ++i) {
        WarnOfDrift(paths[i], *sides[i], out);
    }
}

std::string Describe(const RunLog& log) {
    const Run& run = log.runs.front();
    std::string text = Field(run.fields, "renderer") + ", GL " + Field(run.fields, "gl_version") +
                       ", " + Field(run.fields, "vendor") + "; Embervane " +
                       Field(run.fields, "version") + ", swap interval " +
                       Field(run.fields, "swap_interval");
    if (!run.bench.empty()) {
        text += "; " + Field(run.bench, "cpu") + ", " + Field(run.bench, "cores") + " cores";
    }
    size_t turns = 0;
    for (const Run& other : log.runs) {
        turns += other.turns.size();
    }
    return text + "; " + Count(log.runs.size(), "run") + ", " + Count(turns, "turn");
}

// The series of the plot: each log's kps turn by turn where every log measured one workload,
// else each log's median kps and its interval against the count, a series for each size.
std::vector<PlotSeries> PlotData(const std::vector<std::string>& paths,
                                 const std::vector<RunLog>& logs, bool byCount) {
    std::vector<PlotSeries> series;
    for (size_t i = 0; i < logs.size(); ++i) {
        const std::string name =
            Field(logs[i].runs.front().fields, "renderer") + " (" + paths[i] + ")";
        if (!byCount) {
            series.push_back({name, {}, Values(Groups(logs[i]).front().turns, &Turn::kps), {}, {}});
            for (size_t turn = 1; turn <= series.back().y.size(); ++turn) {
                series.back().x.push_back(static_cast<double>(turn));
            }
            continue;
        }
        std::map<std::pair<int, int>, PlotSeries> bySize;
        for (const Group& group : Groups(logs[i])) {
            PlotSeries& s = bySize[{group.width, group.height}];
            s.name = name + ", " + std::to_string(group.width) + "x" + std::to_string(group.height);
            const std::vector<double> kps = Values(group.turns, &Turn::kps);
            const MedianInterval interval = MedianInterval95(kps);
            s.x.push_back(group.particles);
            s.y.push_back(Median(kps));
            s.low.push_back(interval.known ? interval.low : s.y.back());
            s.high.push_back(interval.known ? interval.high : s.y.back());
        }
        for (auto& [size, s] : bySize) {
            series.push_back(std::move(s));
        }
    }
    for (PlotSeries& s : series) {  // counts in order, each series a line from left to right
        std::vector<size_t> order(s.x.size());
        for (size_t k = 0; k < order.size(); ++k) {
            order[k] = k;
        }
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return s.x[a] < s.x[b]; });
        PlotSeries sorted{s.name, {}, {}, {}, {}};
        for (const size_t k : order) {
            sorted.x.push_back(s.x[k]);
            sorted.y.push_back(s.y[k]);
            if (!s.low.empty()) {
                sorted.low.push_back(s.low[k]);
                sorted.high.push_back(s.high[k]);
            }
        }
        s = std::move(sorted);
    }
    return series;
}

// The pairs (group of the first log, group of the other) of one workload; where there are none
// and `inOrder`, the groups of each log in order.
std::vector<std::pair<size_t, size_t>> Partners(const std::vector<Group>& first,
                                                const std::vector<Group>& other, bool inOrder) {
    std::vector<std::pair<size_t, size_t>> pairs;
    for (size_t a = 0; a < first.size(); ++a) {
        for (size_t b = 0; b < other.size(); ++b) {
            if (other[b].workload == first[a].workload) {
                pairs.emplace_back(a, b);
            }
        }
    }
    for (size_t k = 0; pairs.empty() && inOrder && k < first.size() && k < other.size(); ++k) {
        pairs.emplace_back(k, k);
    }
    return pairs;
}

bool HasPartner(const std::vector<std::pair<size_t, size_t>>& pairs, bool inFirst, size_t group) {
    return std::any_of(pairs.begin(), pairs.end(), [&](const auto& pair) {
        return (inFirst ? pair.first : pair.second) == group;
    });
}

}  // namespace

int CompareLogs(const std::vector<std::string>& paths, const CompareOptions& options,
                std::ostream& out, std::ostream& err) {
    std::vector<RunLog> logs(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        errno = 0;
        std::ifstream in(paths[i], std::ios::binary);  // the reader knows each line end
        if (!in) {
            err << "embervane-compare: cannot read " << paths[i] << ": " << Reason() << "\n";
            return 1;
        }
        const std::string refusal = ReadRunLog(in, paths[i], &logs[i]);
        if (!refusal.empty()) {
            err << "embervane-compare: " << refusal << "\n";
            return 1;
        }
    }
    std::vector<std::vector<Group>> groups;
    for (const RunLog& log : logs) {
        groups.push_back(Groups(log));
    }
    std::vector<std::vector<std::pair<size_t, size_t>>> partners(logs.size());
    for (size_t i = 1; i < logs.size(); ++i) {
        partners[i] = Partners(groups[0], groups[i], options.anyWorkload);
        if (partners[i].empty()) {
            std::string theirs[2];
            for (const size_t side : {size_t{0}, i}) {
                for (const Group& group : groups[side]) {
                    theirs[side != 0] += (theirs[side != 0].empty() ? "" : ", ") + group.workload;
                }
            }
            err << "embervane-compare: " << paths[0] << " measured " << theirs[0] << ", "
                << paths[i] << " " << theirs[1]
                << ": another workload is another measure (--any-workload compares them anyway)\n";
            return 1;
        }
    }
    for (size_t i = 0; i < logs.size(); ++i) {
        out << (logs.size() == 1 ? ""
                : i == 0         ? "old "
                                 : "new ")
            << paths[i] << ": " << Describe(logs[i]) << "\n";
    }
    Report report;
    for (size_t i = logs.size() == 1 ? 0 : 1; i < logs.size(); ++i) {
        const std::vector<std::string> names = i == 0
                                                   ? std::vector<std::string>{paths[0]}
                                                   : std::vector<std::string>{paths[0], paths[i]};
        const bool paired =
            i > 0 && VersusId(logs[0]) != "?" && VersusId(logs[0]) == VersusId(logs[i]);
        if (logs.size() > 2) {
            out << "\n== " << paths[i] << " against " << paths[0] << "\n";
        }
        if (paired) {
            out << "\n"
                << paths[0] << " and " << paths[i]
                << " ran side by side, round by round (embervane-bench --versus): each change is "
                   "the median of the rounds' own changes, its p-value the signed-rank test's of "
                   "their differences\n";
        }
        if (i == 0) {
            for (const Group& group : groups[0]) {
                PrintGroup(names, {&group}, false, options, &report, out);
            }
            continue;
        }
        report.kpsRatios.clear();
        for (const auto& [a, b] : partners[i]) {
            PrintGroup(names, {&groups[0][a], &groups[i][b]}, paired, options, &report, out);
        }
        if (report.kpsRatios.size() > 1) {
            double logSum = 0;
            for (const double ratio : report.kpsRatios) {
                logSum += std::log(ratio);
            }
            const double mean = std::exp(logSum / static_cast<double>(report.kpsRatios.size()));
            out << "\ngeomean of the kps change over " << report.kpsRatios.size()
                << " workloads: " << Format("%+.2f%%", (mean - 1) * 100) << "\n";
        }
        for (const size_t side : {size_t{0}, i}) {
            for (size_t g = 0; g < groups[side].size(); ++g) {
                if (!HasPartner(partners[i], side == 0, g)) {
                    out << "only in " << paths[side] << ": " << groups[side][g].workload << "\n";
                }
            }
        }
    }
    if (report.tooFew) {
        out << "\n[too few turns]: a 95% interval of the median needs " << kMinimumIntervalSamples
            << " turns at least\n";
    }
    if (logs.size() > 1) {
        out << "\nchange: of the new median against the old; ~: no difference that the test can "
               "tell from noise (p > 0.05); processors: processor time over the turns' time\n";
    }
    if (!options.plotPath.empty()) {
        const bool byCount =
            std::any_of(groups.begin(), groups.end(), [](const auto& g) { return g.size() > 1; });
        errno = 0;
        std::ofstream plot(options.plotPath);
        plot << PlotSvg(PlotData(paths, logs, byCount), byCount ? "particles" : "turn",
                        "kps (thousands of particles per second)");
        if (!plot.flush()) {
            err << "embervane-compare: cannot write " << options.plotPath << ": " << Reason()
                << "\n";
            return 1;
        }
    }
    if (!report.slower.empty()) {
        for (const std::string& slower : report.slower) {
            out << "slower by more than " << Format("%g", options.maxSlowdown) << "%: " << slower
                << "\n";
        }
        return kSlowdownStatus;
    }
    return 0;
}
