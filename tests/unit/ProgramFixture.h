// The program without a window, as its unit tests start it: the frame and its statistics on a
// clock that moves only when the test says so, and what benchmark mode prints.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "SimScript.h"
#include "platform/Clock.h"
#include "program/Commands.h"
#include "program/Frame.h"
#include "program/ProgramState.h"
#include "program/WindowEvents.h"

inline bool hasCounter = true;
inline int64_t counter = 0;     // nanoseconds
inline uint32_t ticks = 0;      // milliseconds
inline int64_t processCpu = 0;  // nanoseconds: 1 ms a frame, so a turn's cpu_ms is its frames

// The program's state as a test starts it: 500 fresh particles from state 1, free mode, the
// start-up view, some statistics, the window shown, and timers just started on the test's clock.
class App : public ::testing::Test {
protected:
    void SetUp() override { Start(/*withCounter=*/true, /*startTicks=*/0); }
    void TearDown() override { UseSystemClock(); }

    static void Start(bool withCounter, uint32_t startTicks) {
        hasCounter = withCounter;
        counter = 0;
        ticks = startTicks;
        // Without a counter the frequency is left alone, as the system's query does.
        UseClockSource({[](int64_t* hz) { return hasCounter && (*hz = 1000000000) > 0; },
                        [] { return counter; }, [] { return ticks; }, [] { return int64_t{0}; },
                        [] { return processCpu; }});
        StartScript();
        ResetParticles();
        benchmarkMode = 0;
        viewState = {640, 480, 10, 35, 5, {0, 40, 170}, 0, 0};
        frameStats = {7, 60, 1920000, 5760000, 3, 1920000, 2000000};
        frameTimer = statsTimer = Timer();
        runIdentity = {"9.9", "renderer", "1.0", "vendor", 0};
        orbitReportStream = Quiet();
        ShowWindow(true);
        StartClocks();
    }
    // Idle calls of `seconds` each: the frame's work, then the frame counted.
    static void Frames(int count, double seconds) {
        for (int i = 0; i < count; ++i) {
            counter += static_cast<int64_t>(seconds * 1e9 + 0.5);
            ticks += static_cast<uint32_t>(seconds * 1e3 + 0.5);
            processCpu += 1000000;
            StepFrame([] {});
        }
    }
    using Step = std::tuple<const char*, int, double>;  // keys, then frames of `ms` each
    // Where benchmark mode's lines go outside Printed.
    static std::FILE* Quiet() {
        static std::FILE* const null = std::fopen("/dev/null", "w");
        return null;
    }
    // What benchmark mode prints over the steps.
    static std::string Printed(const std::vector<Step>& steps) {
        return Captured([&] {
            for (const auto& [keys, frames, ms] : steps) {
                for (const char* key = keys; *key != '\0'; ++key) {
                    ApplyKey(*key);
                }
                Frames(frames, ms / 1000);
            }
        });
    }
    // What `act` prints on benchmark mode's stream and flushes, read as another process reads
    // it while the program runs on: through the file, not the stream's own buffer.
    static std::string Captured(const std::function<void()>& act) {
        const auto path = std::filesystem::temp_directory_path() /
                          ("embervane-captured-" + std::to_string(::getpid()));
        orbitReportStream = std::fopen(path.string().c_str(), "wb");
        act();
        std::string lines;
        {  // closed before the file's removal, which Windows refuses of an open file
            std::ifstream file(path, std::ios::binary);
            lines.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        }
        std::fclose(std::exchange(orbitReportStream, Quiet()));
        std::filesystem::remove(path);
        return lines;
    }
    // The value of the field `name` in the first turn line that has one.
    static std::string Field(const std::string& lines, const std::string& name) {
        std::smatch match;
        std::regex_search(lines, match, std::regex("(^|\\n)orbit=[^\\n]*? " + name + "=(\\S*)"));
        return match[2];
    }
};

// What entering benchmark mode prints first, with the test's run identity.
inline const std::string kRunLine =
    "run version=9.9 renderer=renderer gl_version=1.0 vendor=vendor particles=32000 width=640 "
    "height=480 swap_interval=0\n";
// Turns of frames of 31.25 ms, each frame 1 ms of processor time; the first since benchmark mode
// was entered here, left out of the summary.
inline const std::string kSteady =
    " frame_ms_p50=31.25 frame_ms_p99=31.25 frame_ms_max=31.25 width=640 height=480 summed=";
inline const std::string kFirstTurn =
    "orbit=1 particles=32000 frames=231 seconds=7.22 fps=32.0 kps=1024" + kSteady +
    "0 cpu_ms=231\n";
