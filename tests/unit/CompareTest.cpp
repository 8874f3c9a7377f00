// embervane-compare without its command line: logfmt read back as the program writes it, the
// logs it refuses and why, and what it says of two runs.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "compare/Comparison.h"
#include "compare/Plot.h"
#include "compare/RunLog.h"
#include "measure/RunIdentity.h"

namespace {

TEST(Logfmt, ValuesReadBackAsWrittenAndMalformedLinesGiveNoFields) {
    for (const std::string value :
         {"Mesa", "llvmpipe (LLVM 15.0.6, 256 bits)", "", "a=b", "say \"hi\"", "back\\slash",
          "tab\tline\nend\x01", "Intel\u00ae Arc\u2122 A770 (DG2)"}) {
        const std::string line = "run key=" + LogfmtValue(value) + " next=1";
        EXPECT_EQ(ParseLogfmt(line)["key"], value) << line;
        EXPECT_EQ(ParseLogfmt(line)["next"], "1") << line;
    }
    EXPECT_EQ(LogfmtValue("4.5 (Core)"), "\"4.5 (Core)\"");
    // A quoted value, or a space, that ends the line.
    EXPECT_EQ(ParseLogfmt("run key=\"a b\"")["key"], "a b");
    EXPECT_EQ(ParseLogfmt("run key=a ")["key"], "a");
    for (const char* line : {"k=\"open", "k=\"bad\\q\"", "=v", "k=1 k=2", "k=a\"b", "k=\"a\"b",
                             "k=\"\\u00e9\"", "k=\"\\u00zz\""}) {
        EXPECT_TRUE(ParseLogfmt(line).empty()) << line;
    }
}

const std::string kRun = "run renderer=softpipe particles=32000 width=640 height=480\n";
std::string TurnLine(const char* kps, const char* summed, int particles = 32000,
                     const std::string& after = "") {
    return "orbit=2 particles=" + std::to_string(particles) + " seconds=7.20 fps=33.9 kps=" + kps +
           " frame_ms_p99=35.54 width=640 height=480 summed=" + summed + after + "\n";
}

TEST(RunLog, ReadsEveryRunWithItsBenchLineAndRefusesWhatItCannotRead) {
    RunLog log;
    std::istringstream good(
        "bench version=1.45 versus=7-1 side=1 round=2 rounds=6 cpu=\"AMD EPYC\" cores=2\n" + kRun +
        TurnLine("900", "0") + TurnLine("1083", "1", 32000, " cpu_ms=9811") +
        "summary turns=1\nnoise\n" + kRun + "run particles=8000 width=640 height=480\n" +
        "run renderer=\"Intel\u00ae Arc\u2122\" vendor= particles=32500 width=640 height=480\n" +
        TurnLine("7", "1", 32500));
    ASSERT_EQ(ReadRunLog(good, "a.log", &log), "");
    ASSERT_EQ(log.runs.size(), 2u);  // the runs on the way to 32500 counted no turn
    const ::Run& first = log.runs[0];
    EXPECT_EQ(first.bench.at("round"), "2");
    EXPECT_EQ(first.fields.at("renderer"), "softpipe");
    ASSERT_EQ(first.turns.size(), 1u);  // less the settling turn
    EXPECT_EQ(first.turns[0].kps, 1083);
    EXPECT_EQ(first.turns[0].cpuMs, 9811);
    EXPECT_TRUE(first.summarised);
    const ::Run& second = log.runs[1];
    EXPECT_EQ(second.particles, 32500);
    EXPECT_EQ(second.fields.at("renderer"), "Intel\u00ae Arc\u2122");  // as its bytes came
    EXPECT_EQ(second.fields.at("vendor"), "");
    EXPECT_TRUE(second.bench.empty());
    EXPECT_TRUE(std::isnan(second.turns[0].cpuMs));
    EXPECT_FALSE(second.summarised);  // cut short
    // The same log as the program writes it on Windows, each line ending in CR LF.
    std::string crlf;
    for (const char c : good.str()) {
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    }
    std::istringstream windows(crlf);
    RunLog windowsLog;
    ASSERT_EQ(ReadRunLog(windows, "a.log", &windowsLog), "");
    ASSERT_EQ(windowsLog.runs.size(), 2u);
    EXPECT_EQ(windowsLog.runs[0].fields, first.fields);
    EXPECT_EQ(windowsLog.runs[1].fields, second.fields);
    EXPECT_EQ(windowsLog.runs[1].turns[0].kps, 7);
    EXPECT_TRUE(windowsLog.runs[0].summarised);
    // As Windows PowerShell 5's `>` writes the program's lines: UTF-16 LE after its byte-order
    // mark, with a character beyond 16 bits (a surrogate pair) and an unpaired surrogate.
    const std::u16string utf16 =
        u"\xFEFFrun renderer=\"Arc\u2122 \U0001F525 \xD800\" particles=32000 width=640 "
        u"height=480\r\n"
        u"orbit=2 particles=32000 seconds=7.20 fps=33.9 kps=1083 frame_ms_p99=35.54 width=640 "
        u"height=480 summed=1\r\n";
    std::string bytes;
    for (const char16_t unit : utf16) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    std::istringstream powershell(bytes);
    RunLog powershellLog;
    ASSERT_EQ(ReadRunLog(powershell, "a.log", &powershellLog), "");
    ASSERT_EQ(powershellLog.runs.size(), 1u);
    EXPECT_EQ(powershellLog.runs[0].fields.at("renderer"), "Arc\u2122 \U0001F525 \uFFFD");
    EXPECT_EQ(powershellLog.runs[0].turns[0].kps, 1083);
    // The log, then the start of the refusal.
    const std::tuple<std::string, std::string> rows[] = {
        {"", "a.log: no turn that a summary counts"},
        {kRun + TurnLine("1083", "0"), "a.log: no turn that a summary counts"},
        {TurnLine("1083", "1"), "a.log:1: a turn line before any run line"},
        {kRun + "orbit=2 particles=32000 fps=3", "a.log:2: no field width"},
        {kRun + TurnLine("fast", "1"), "a.log:2: not a number in range: kps=fast"},
        {kRun + TurnLine("nan", "1"), "a.log:2: not a number in range: kps=nan"},
        {kRun + TurnLine("-5", "1"), "a.log:2: not a number in range: kps=-5"},
        {kRun + TurnLine("", "1"), "a.log:2: not a number in range: kps="},
        {"run particles= width=640 height=480\n", "a.log:1: not a number in range: particles="},
        {kRun + TurnLine("5", "1", 32000, " cpu_ms=x"), "a.log:2: not a number in range: cpu_ms=x"},
        {"run particles=32000 width=640 height=480 renderer=\"open\n", "a.log:1: malformed line"},
        {"bench cpu=\"open\n", "a.log:1: malformed line"},
        {kRun + TurnLine("1", "1", 32500),
         "a.log:2: a turn of another workload than its run line's"},
        {"run particles=32000 width=800 height=480\n" + TurnLine("1", "1"),
         "a.log:2: a turn of another workload than its run line's"},
        {"run particles=32000 width=640 height=600\n" + TurnLine("1", "1"),
         "a.log:2: a turn of another workload than its run line's"},
    };
    for (const auto& [text, refusal] : rows) {
        std::istringstream in(text);
        EXPECT_EQ(ReadRunLog(in, "a.log", &log).substr(0, refusal.size()), refusal) << text;
    }
}

// A run of `particles` with a turn for each kps, each of 7.2 s that took `cpuMs` of processor
// time (none: a program without the field), and its summary unless cut short.
std::string RunText(int particles, const std::vector<double>& kps, int cpuMs = 0,
                    bool summary = true, const std::string& bench = "") {
    std::string text = bench.empty() ? "" : "bench version=1.45 " + bench + "\n";
    text += "run renderer=softpipe particles=" + std::to_string(particles) +
            " width=640 height=480\n" + TurnLine("1", "0", particles);
    for (const double value : kps) {
        char line[200];
        std::snprintf(line, sizeof(line),
                      "orbit=2 particles=%d seconds=7.20 fps=%g kps=%g frame_ms_p99=30 width=640 "
                      "height=480 summed=1",
                      particles, value / 10, value);
        text += line + (cpuMs > 0 ? " cpu_ms=" + std::to_string(cpuMs) : "") + "\n";
    }
    return text + (summary ? "summary particles=" + std::to_string(particles) + "\n" : "");
}

// Evenly spaced kps from `from`, `step` apart.
std::vector<double> Steps(double from, double step, int count = 6) {
    std::vector<double> values;
    for (int i = 0; i < count; ++i) {
        values.push_back(from + step * i);
    }
    return values;
}

CompareOptions AnyWorkload() {
    CompareOptions options;
    options.anyWorkload = true;
    return options;
}
CompareOptions Slowdown(double percent) {
    CompareOptions options;
    options.maxSlowdown = percent;
    return options;
}
CompareOptions Plot(const std::string& path) {
    CompareOptions options;
    options.plotPath = path;
    return options;
}

struct Outcome {
    int status;
    std::string out, err;
    std::vector<std::string> paths;
};

// The comparison of logs with these texts, written to files a.log, b.log, ... for it.
Outcome CompareTexts(const std::vector<std::string>& texts, CompareOptions options = {}) {
    const std::string folder = ::testing::TempDir() + std::to_string(getpid());
    Outcome outcome;
    for (size_t i = 0; i < texts.size(); ++i) {
        outcome.paths.push_back(folder + static_cast<char>('a' + i) + ".log");
        std::ofstream(outcome.paths.back()) << texts[i];
    }
    std::ostringstream out, err;
    outcome.status = CompareLogs(outcome.paths, options, out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    for (const std::string& path : outcome.paths) {
        std::remove(path.c_str());
    }
    return outcome;
}

// The report's lines that start with `start`, in order.
std::vector<std::string> Lines(const std::string& report, const std::string& start) {
    std::vector<std::string> lines;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(start, 0) == 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(Compare, SaysWhatItComparedAndRefusesAnotherWorkloadUnlessAsked) {
    const std::string slow = RunText(32000, {500, 510});
    const std::string fast = std::regex_replace(RunText(32500, {1083}), std::regex("softpipe"),
                                                "\"Intel\u00ae Arc\u2122\" vendor=\"\"");
    Outcome outcome = CompareTexts({slow, fast});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("32000 particles at 640x480"), std::string::npos) << outcome.err;
    outcome = CompareTexts({slow, fast}, AnyWorkload());
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(Lines(outcome.out, "new ")[0],
              "new " + outcome.paths[1] +
                  ": Intel\u00ae Arc\u2122, GL ?, ?; Embervane ?, swap "
                  "interval ?; 1 run, 1 turn");  // vendor empty
    EXPECT_EQ(Lines(outcome.out, "32000 particles")[0],
              "32000 particles at 640x480 against 32500 particles at 640x480, turns: 2 old, 1 new");
    EXPECT_EQ(Lines(outcome.out, "kps ")[0],
              "kps            500.0 [too few turns]           1083.0 [too few turns]          ~  "
              "      (p=0.667 n=2+1)");
    EXPECT_EQ(Lines(outcome.out, "processors")[0],
              "processors     unknown                         unknown");
    // A p-value of 0.05 itself is beyond noise: one turn below 39, the exact U test's 2/40.
    outcome = CompareTexts({RunText(32000, Steps(1000, 1, 39)), RunText(32000, {900})});
    EXPECT_NE(Lines(outcome.out, "kps ")[0].find(" -11.68% (p=0.050 n=39+1)"), std::string::npos)
        << outcome.out;
    std::ostringstream out, err;
    EXPECT_EQ(CompareLogs({"/nonexistent/a.log"}, {}, out, err), 1);
    EXPECT_EQ(err.str(),
              "embervane-compare: cannot read /nonexistent/a.log: No such file or directory\n");
    outcome = CompareTexts({kRun + TurnLine("fast", "1")});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err,
              "embervane-compare: " + outcome.paths[0] + ":2: not a number in range: kps=fast\n");
}

// Three workloads each, two of them shared: those two compared, with their geometric mean, the
// others named; a real slowdown beyond the limit gives a status of its own.
TEST(Compare, PairsRunsByWorkloadAndStopsAtARealSlowdown) {
    const std::string old = RunText(8000, Steps(1000, 10)) + RunText(32000, Steps(2000, 10)) +
                            RunText(64000, Steps(2000, 10));
    std::vector<double> slower = Steps(2000, 10);
    for (double& kps : slower) {
        kps *= 0.95;
    }
    const std::string now = RunText(120000, Steps(900, 1)) + RunText(32000, slower) +
                            RunText(8000, Steps(800, 8, 3)) + RunText(8000, Steps(824, 8, 3));
    Outcome outcome = CompareTexts({old, now}, Slowdown(4));
    EXPECT_EQ(outcome.status, kSlowdownStatus);
    EXPECT_EQ(Lines(outcome.out, "8000 particles")[0],
              "8000 particles at 640x480, turns: 6 old, 6 new");
    EXPECT_EQ(
        Lines(outcome.out, "               old median")[0],
        "               old median [95% interval]      new median [95% interval]      change");
    const std::vector<std::string> kps = Lines(outcome.out, "kps ");
    ASSERT_EQ(kps.size(), 2u);
    EXPECT_EQ(kps[0],
              "kps            1020.0 [1000.0, 1050.0]         816.0 [800.0, 840.0]            "
              "-20.00% (p=0.002 n=6+6)");
    EXPECT_NE(kps[1].find(" -5.00% (p=0.002 n=6+6)"), std::string::npos) << kps[1];
    EXPECT_EQ(Lines(outcome.out, "geomean")[0],
              "geomean of the kps change over 2 workloads: -12.82%");
    EXPECT_EQ(Lines(outcome.out, "only in ")[0],
              "only in " + outcome.paths[0] + ": 64000 particles at 640x480");
    EXPECT_EQ(Lines(outcome.out, "only in ")[1],
              "only in " + outcome.paths[1] + ": 120000 particles at 640x480");
    EXPECT_EQ(Lines(outcome.out, "slower by more than 4%: ").size(), 2u);
    EXPECT_EQ(CompareTexts({old, now}, Slowdown(20)).status, 0);
    EXPECT_EQ(CompareTexts({old, old, now}, Slowdown(20)).status, 0);
    outcome = CompareTexts({old, now, old}, Slowdown(19));
    EXPECT_EQ(outcome.status, kSlowdownStatus);
    EXPECT_EQ(Lines(outcome.out, "== ")[1],
              "== " + outcome.paths[2] + " against " + outcome.paths[0]);
}

// Rounds of two programs side by side, on a machine whose level climbs by a fifth a round: the
// pairs see the second 3% slower in every round, which the pooled turns hide. The first has 1.5
// processors a round, the second 1 (2 in round `busier`): a warning where that holds round after
// round.
std::vector<std::string> SideBySide(int busier, const std::string& id = "9-1") {
    std::vector<std::string> sides(2);
    for (int round = 1; round <= 6; ++round) {
        for (int side = 0; side < 2; ++side) {
            const double level = 1000 * (1 + 0.2 * round) * (side == 0 ? 1 : 0.97);
            const int cpuMs = side == 0 ? 10800 : round == busier ? 14400 : 7200;
            sides[side] += RunText(32000, {level, level + 10}, cpuMs, true,
                                   "versus=" + id + " side=" + std::to_string(side + 1) +
                                       " round=" + std::to_string(round) + " rounds=6");
        }
    }
    return sides;
}

TEST(Compare, PairsTheRoundsOfARunSideBySide) {
    Outcome outcome = CompareTexts(SideBySide(6));
    EXPECT_EQ(
        Lines(outcome.out, outcome.paths[0] + " and " + outcome.paths[1] + " ran side by side")
            .size(),
        1u);
    EXPECT_EQ(Lines(outcome.out, "32000 particles")[0],
              "32000 particles at 640x480, turns: 12 old, 12 new, 6 rounds paired");
    EXPECT_NE(Lines(outcome.out, "kps ")[0].find(" -3.00% (p=0.031 n=6 rounds)"), std::string::npos)
        << outcome.out;
    // Neither the climb nor the shares, 1.17 against 1.5 but not round after round.
    EXPECT_TRUE(Lines(outcome.out, "warning").empty()) << outcome.out;
    outcome = CompareTexts(SideBySide(0));
    ASSERT_EQ(Lines(outcome.out, "warning").size(), 1u) << outcome.out;
    EXPECT_EQ(
        Lines(outcome.out, "warning")[0].substr(0, 84),
        "warning: the new run had 1.00 of a processor, the old 1.50 (-33%, round after round)");
    std::vector<std::string> unpaired = SideBySide(6);
    unpaired[1] = SideBySide(6, "9-2")[1];  // another pair's log
    outcome = CompareTexts(unpaired);
    EXPECT_NE(Lines(outcome.out, "kps ")[0].find(" ~        (p=0.507 n=12+12)"), std::string::npos)
        << outcome.out;
}

TEST(Compare, WarnsOfUnequalProcessorSharesATrendAndARunCutShort) {
    const std::vector<double> steady = {1000, 1020, 1010, 1030, 990, 1000, 1020, 1010, 990, 1030};
    const Outcome outcome = CompareTexts(
        {RunText(32000, Steps(1000, 10, 10), 10800), RunText(32000, steady, 7200, false)});
    EXPECT_EQ(Lines(outcome.out, "processors")[0],
              "processors     1.50                            1.00");
    const std::vector<std::string> warnings = Lines(outcome.out, "warning: ");
    ASSERT_EQ(warnings.size(), 2u) << outcome.out;
    EXPECT_EQ(warnings[0].substr(0, 65),
              "warning: the new run had 1.00 of a processor, the old 1.50 (-33%)");
    EXPECT_EQ(warnings[1], "warning: " + outcome.paths[0] +
                               "'s kps rose as its turns went on (Kendall's tau +1.00, p=0.000): "
                               "the machine's level moved during the run");
    EXPECT_EQ(Lines(outcome.out, "note: ")[0],
              "note: " + outcome.paths[1] +
                  ": a run cut short, with no summary after its 10 turns; those are compared");
    // At the edges: shares 9% apart warn of nothing, 11% apart do; a trend needs 8 turns.
    const std::tuple<int, int, std::string> edges[] = {
        {7848, 7, ""},
        {7992, 7, "warning: the new run had 1.11 of a processor, the old 1.00"},
        {7200, 8, "'s kps fell as its turns went on"}};
    for (const auto& [cpuMs, turns, warned] : edges) {
        const std::vector<double> old(steady.begin(), steady.begin() + turns);
        const Outcome edge = CompareTexts(
            {RunText(32000, old, 7200), RunText(32000, Steps(1000, -10, turns), cpuMs)});
        const std::vector<std::string> said = Lines(edge.out, "warning: ");
        ASSERT_EQ(said.size(), warned.empty() ? 0u : 1u) << cpuMs << " " << turns;
        EXPECT_TRUE(warned.empty() || said[0].find(warned) != std::string::npos) << said[0];
    }
    // One log alone says its own trend too.
    const Outcome alone = CompareTexts({RunText(32000, Steps(1000, -10, 10))});
    EXPECT_EQ(Lines(alone.out, "warning: ").size(), 1u) << alone.out;
    EXPECT_NE(alone.out.find("'s kps fell as its turns went on (Kendall's tau -1.00"),
              std::string::npos);
}

TEST(Compare, PlotsTheTurnsOrKpsAgainstTheCountAndSaysWhyItCannot) {
    const std::string folder = ::testing::TempDir() + std::to_string(getpid());
    const std::string one = RunText(32000, {500, 510}), two = one + RunText(8000, {900});
    for (const auto& [logs, axis, legend] :
         {std::tuple{std::vector{one, one}, ">turn</text>", "softpipe (" + folder + "b.log)<"},
          std::tuple{std::vector{one, two}, ">particles</text>",
                     "softpipe (" + folder + "b.log), 640x480<"}}) {
        const std::string plot = folder + ".svg";
        EXPECT_EQ(CompareTexts(logs, Plot(plot)).status, 0);
        std::stringstream svg;
        svg << std::ifstream(plot).rdbuf();
        EXPECT_NE(svg.str().find(axis), std::string::npos) << svg.str();
        EXPECT_NE(svg.str().find(legend), std::string::npos) << svg.str();
        EXPECT_NE(svg.str().find(">kps (thousands of particles per second)</text>"),
                  std::string::npos);
        std::remove(plot.c_str());
    }
    const Outcome outcome = CompareTexts({one}, Plot("/nonexistent/p.svg"));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err,
              "embervane-compare: cannot write /nonexistent/p.svg: No such file or directory\n");
}

// Every dot inside the axes, with ticks at round values: rows of x and y, then the ticks'
// labels, y's from the bottom up and x's from left to right.
TEST(Plot, DrawsEachPointWithinItsAxesAndTicksAtRoundValues) {
    const std::tuple<std::vector<double>, std::vector<double>, std::string> rows[] = {
        {{1, 2, 3}, {10, 20, 30}, "0 10 20 30 40 1 2 3 "},
        {{5}, {3}, "0 1 2 3 4 4 5 6 "},  // one point: a range around it
        {{8000, 32000, 120000}, {400, 1300, 1100}, "0 500 1000 1500 50000 100000 "},
    };
    for (const auto& [x, y, ticks] : rows) {
        const std::string svg = PlotSvg({{"a", x, y, {}, {}}}, "turn", "kps");
        std::string labels;
        const std::regex label(">([0-9.]+)</text>");
        for (std::sregex_iterator at(svg.begin(), svg.end(), label), end; at != end; ++at) {
            labels += (*at)[1].str() + " ";
        }
        EXPECT_EQ(labels, ticks) << svg;
        const std::regex dot("cx=\"([0-9.]+)\" cy=\"([0-9.]+)\"");
        size_t dots = 0;
        for (std::sregex_iterator at(svg.begin(), svg.end(), dot), end; at != end; ++at, ++dots) {
            EXPECT_GT(std::stod((*at)[1]), 80) << svg;  // right of the y axis
            EXPECT_LT(std::stod((*at)[1]), 620) << svg;
            EXPECT_GE(std::stod((*at)[2]), 20) << svg;  // above the x axis
            EXPECT_LE(std::stod((*at)[2]), 300) << svg;
        }
        EXPECT_EQ(dots, x.size());
        std::smatch axis;  // the x axis's label, under its middle
        ASSERT_TRUE(std::regex_search(svg, axis, std::regex("<text x=\"([0-9.]+)\"[^>]*>turn<")));
        EXPECT_NEAR(std::stod(axis[1]), 350, 1);
    }
}

}  // namespace
