// embervane-bench without a server: its command line, what it reads in the program's lines, the
// keys it sends toward a count, the log it keeps, and the lines it writes of its own.
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "driver/BenchLines.h"
#include "driver/BenchOptions.h"

namespace {

TEST(BenchOptions, ReadsWhatTheyAskAndSayWhatIsWrong) {
    BenchOptions options;
    ASSERT_EQ(ParseBenchOptions({"--particles", "500,120000", "--turns", "3", "--size", "320x240",
                                 "-o", "x.log", "--limit", "90", "--headless"},
                                &options),
              "");
    EXPECT_EQ(options.particles, (std::vector<int>{500, 120000}));
    EXPECT_EQ(options.turns, 3);
    EXPECT_EQ(options.width, 320);
    EXPECT_EQ(options.height, 240);
    EXPECT_TRUE(options.headless);
    EXPECT_EQ(options.outputs, std::vector<std::string>{"x.log"});
    EXPECT_EQ(options.limitSeconds, 90);

    // A command runs to the driver's next option or to "--"; side by side, six rounds of two turns
    // by default.
    ASSERT_EQ(ParseBenchOptions({"--program", "valgrind", "--tool=none", "a", "--versus", "b", "c",
                                 "--", "-o", "1.log", "-o", "2.log"},
                                &options),
              "");
    EXPECT_EQ(options.program, (std::vector<std::string>{"valgrind", "--tool=none", "a"}));
    EXPECT_EQ(options.versus, (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(options.outputs, (std::vector<std::string>{"1.log", "2.log"}));
    EXPECT_EQ(options.rounds, 6);
    EXPECT_EQ(options.turns, 2);

    const std::tuple<std::vector<std::string>, std::string> wrong[] = {
        {{"--particles", "32000,750"},
         "--particles: '750' is not a count of 500 to 120000 in steps of 500"},
        {{"--particles", "120500"},
         "--particles: '120500' is not a count of 500 to 120000 in steps of 500"},
        {{"--particles", "8000,"},
         "--particles: '' is not a count of 500 to 120000 in steps of 500"},
        {{"--turns", "0"}, "--turns: '0' is not a number from 1 to 10000"},
        {{"--turns", "-3"}, "--turns: '-3' is not a number from 1 to 10000"},
        {{"--size", "800x600"}, "--size: '800x600' is not 640x480 or 320x240"},
        {{"--rounds", "3"}, "--rounds needs --versus"},
        {{"-o", "a", "-o", "b"}, "-o given twice: one log, one -o"},
        {{"--versus", "b", "-o", "a"},
         "--versus writes a log per side: give -o twice, the first side's first"},
        {{"--program"}, "--program needs a command"},
        {{"--turns"}, "--turns needs a value"},
        {{"--count", "5"}, "unknown argument '--count'"},
    };
    for (const auto& [arguments, message] : wrong) {
        EXPECT_EQ(ParseBenchOptions(arguments, &options), message) << arguments[0];
    }
}

// The command runs from the pictures' folder: the paths that the user gave from here stay paths
// to the same files.
TEST(BenchOptions, ACommandsPathsAreTakenFromTheCurrentFolder) {
    const std::string here = ::testing::TempDir() + "bench-" + std::to_string(getpid());
    std::filesystem::create_directories(here + "/build");
    std::ofstream(here + "/build/embervane") << "";
    EXPECT_EQ(CommandFrom(here, {"env", "A=b/c", "build/embervane", "no/such", "/bin/x", "build"}),
              (std::vector<std::string>{"env", "A=b/c", here + "/build/embervane", "no/such",
                                        "/bin/x", "build"}));
    EXPECT_EQ(CommandFrom(here, {"old/embervane"}),  // not there: said not found by its full path
              std::vector<std::string>{here + "/old/embervane"});
    EXPECT_EQ(CommandFrom(here, {"embervane"}), std::vector<std::string>{"embervane"});  // on PATH
    std::filesystem::remove_all(here);
}

TEST(BenchLines, ReadsTheProgramsLinesAndKeepsOneRunLineARun) {
    const ProgramLine turn = ReadProgramLine(
        "orbit=2 particles=8000 frames=9 seconds=7.20 fps=33.9 kps=1 width=320 height=240 "
        "summed=1 cpu_ms=9811");
    EXPECT_EQ(turn.kind, ProgramLine::kTurn);
    EXPECT_EQ(turn.particles, 8000);
    EXPECT_EQ(turn.width, 320);
    EXPECT_EQ(turn.height, 240);
    EXPECT_TRUE(turn.summed);
    EXPECT_DOUBLE_EQ(turn.fps, 33.9);
    EXPECT_EQ(ReadProgramLine("summary particles=500 turns=3 width=640 height=480").turns, 3);
    EXPECT_EQ(ReadProgramLine("run renderer=\"open particles=500").kind, ProgramLine::kOther);
    EXPECT_EQ(ReadProgramLine("running particles=500").kind, ProgramLine::kOther);

    EXPECT_EQ(KeysToReach(32000, 33500), "+++");
    EXPECT_EQ(KeysToReach(32000, 31000), "--");
    EXPECT_EQ(KeysToReach(500, 500), "");

    // The run lines on the way to a count: only the last is kept, before its first turn; a run
    // that ends without one still shows its run line before its summary, and a held line is not
    // lost at the end.
    RunLineFilter filter;
    std::vector<std::string> log;
    for (const char* line :
         {"bench load=1", "run particles=32000", "run particles=32500", "orbit=1 particles=32500",
          "run particles=33000", "summary particles=33000 turns=0", "run particles=500"}) {
        for (const std::string& kept : filter.Pass(line)) {
            log.push_back(kept);
        }
    }
    for (const std::string& kept : filter.Flush()) {
        log.push_back(kept);
    }
    EXPECT_EQ(log,
              (std::vector<std::string>{"bench load=1", "run particles=32500",
                                        "orbit=1 particles=32500", "run particles=33000",
                                        "summary particles=33000 turns=0", "run particles=500"}));
}

TEST(BenchLines, TheDriversOwnLinesSayWhatItKnows) {
    EXPECT_EQ(ProcessorModel("processor\t: 0\nvendor_id\t: AuthenticAMD\nmodel name\t: AMD EPYC "
                             "7B13 64-Core Processor  \nmodel name\t: other\n"),
              "AMD EPYC 7B13 64-Core Processor");
    EXPECT_EQ(ProcessorModel("processor\t: 0\nCPU part\t: 0xd0c\n"), "unknown");
    const MachineInfo machine = {"AMD EPYC", 2, 0.5249};
    EXPECT_EQ(BenchLine("1.45", machine, nullptr),
              "bench version=1.45 cpu=\"AMD EPYC\" cores=2 load=0.52");
    const VersusRound round = {"1796-42", 2, 3, 6};
    EXPECT_EQ(BenchLine("1.45", machine, &round),
              "bench version=1.45 versus=1796-42 side=2 round=3 rounds=6 cpu=\"AMD EPYC\" cores=2 "
              "load=0.52");
    EXPECT_EQ(BenchEndLine(1.005), "bench_end load=1.00");
    EXPECT_EQ(ProgressLine(nullptr, 32000, 640, 480, 2, 3, 33.94, 65.4),
              "embervane-bench: 32000 particles at 640x480: turn 2 of 3, 33.9 fps, about 1 min 5 s "
              "left");
    EXPECT_EQ(ProgressLine(&round, 500, 320, 240, 0, 3, 120, 59.6),
              "embervane-bench: side 2, round 3 of 6: 500 particles at 320x240: settling turn, "
              "120.0 fps, about 1 min 0 s left");
}

}  // namespace
