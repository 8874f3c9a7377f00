// embervane-compare without its command line: logfmt read back as the program writes it, the
// logs it refuses and why, and what it says of two runs.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>

#include <gtest/gtest.h>
#include <unistd.h>

#include "compare/Comparison.h"
#include "compare/RunLog.h"
#include "measure/RunIdentity.h"

namespace {

TEST(Logfmt, ValuesReadBackAsWrittenAndMalformedLinesGiveNoFields) {
    for (const std::string value : {"Mesa", "llvmpipe (LLVM 15.0.6, 256 bits)", "", "a=b",
                                    "say \"hi\"", "back\\slash", "tab\tline\nend\x01"}) {
        const std::string line = "run key=" + LogfmtValue(value) + " next=1";
        EXPECT_EQ(ParseLogfmt(line)["key"], value) << line;
        EXPECT_EQ(ParseLogfmt(line)["next"], "1") << line;
    }
    EXPECT_EQ(LogfmtValue("4.5 (Core)"), "\"4.5 (Core)\"");
    for (const char* line : {"k=\"open", "k=\"bad\\q\"", "=v", "k=1 k=2", "k=a\"b", "k=\"a\"b"}) {
        EXPECT_TRUE(ParseLogfmt(line).empty()) << line;
    }
}

const std::string kRun = "run renderer=softpipe particles=32000 width=640 height=480\n";
std::string TurnLine(const char* kps, const char* summed) {
    return std::string("orbit=2 particles=32000 fps=33.9 kps=") + kps +
           " frame_ms_p99=35.54 width=640 height=480 summed=" + summed + "\n";
}

TEST(RunLog, ReadsTheLastRunsSummedTurnsAndRefusesWhatItCannotRead) {
    RunLog log;
    std::istringstream good(TurnLine("1", "1").insert(0, kRun) + "noise\n" + kRun +
                            TurnLine("900", "0") + TurnLine("1083", "1") + "summary turns=1\n");
    ASSERT_EQ(ReadRunLog(good, "a.log", &log), "");
    ASSERT_EQ(log.turns.size(), 1u);  // the last run's, less the settling turn
    EXPECT_EQ(log.turns[0].kps, 1083);
    EXPECT_EQ(log.run["renderer"], "softpipe");
    // The log, then the start of the refusal.
    const std::tuple<std::string, std::string> rows[] = {
        {"", "a.log: no turn that a summary counts"},
        {kRun + TurnLine("1083", "0"), "a.log: no turn that a summary counts"},
        {TurnLine("1083", "1"), "a.log:1: a turn line before any run line"},
        {kRun + "orbit=2 particles=32000 fps=3", "a.log:2: no field width"},
        {kRun + TurnLine("fast", "1"), "a.log:2: not a number in range: kps=fast"},
        {kRun + TurnLine("nan", "1"), "a.log:2: not a number in range: kps=nan"},
        {kRun + TurnLine("-5", "1"), "a.log:2: not a number in range: kps=-5"},
        {"run particles=32000 width=640 height=480 renderer=\"open\n", "a.log:1: malformed line"},
        {kRun + "orbit=1 particles=32500" + TurnLine("1", "1").substr(23),
         "a.log:2: a turn of another workload than its run line's"},
    };
    for (const auto& [text, refusal] : rows) {
        std::istringstream in(text);
        EXPECT_EQ(ReadRunLog(in, "a.log", &log).substr(0, refusal.size()), refusal) << text;
    }
}

// Two logs of a workload each, written to files; what the comparison says and its status.
TEST(Compare, SaysWhatItComparedAndRefusesAnotherWorkloadUnlessAsked) {
    const std::string folder = ::testing::TempDir() + std::to_string(getpid());
    const std::string slow = folder + "slow.log", fast = folder + "fast.log";
    std::ofstream(slow) << kRun << TurnLine("500", "1") << TurnLine("510", "1");
    std::ofstream(fast) << "run renderer=llvmpipe particles=32500 width=640 height=480\n"
                        << "orbit=2 particles=32500 fps=3 kps=1083 frame_ms_p99=1 width=640 "
                           "height=480 summed=1\n";
    std::ostringstream out, err;
    EXPECT_EQ(CompareLogs({slow, fast}, {}, out, err), 1);
    EXPECT_NE(err.str().find("32000 particles at 640x480"), std::string::npos) << err.str();
    EXPECT_EQ(CompareLogs({slow, fast}, {.anyWorkload = true, .plotPath = ""}, out, err), 0);
    EXPECT_NE(out.str().find("new " + fast + ": llvmpipe"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("kps            505.0 [too few turns]"), std::string::npos);
    EXPECT_NE(out.str().find("~        (p=0.667 n=2+1)"), std::string::npos) << out.str();
    EXPECT_EQ(CompareLogs({folder + "missing.log"}, {}, out, err), 1);
    std::remove(slow.c_str());
    std::remove(fast.c_str());
}

}  // namespace
