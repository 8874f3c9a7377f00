// The simulation against values worked by hand, and against the golden results of scripted runs
// of every effect and count change in tests/data/simulation.txt.
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "SimScript.h"
#include "platform/Clock.h"

// From state 1 the generator gives 41, 18467, 6334 and 26500 first.
TEST(RandomDraws, WorkedValuesFromStateOne) {
    const std::tuple<int (*)(int), int, int, const char*> rows[] = {
        // draw, n, value, why
        {RandomRange, 20000, 18487, "41 mod 20000 halved, plus 18467"},
        {RandomSpread, 20000, -2733, "-18467 / 2 truncates to -9233, plus 6500"},
        {[](int n) { return RandomSpreadSum(n, 10000); }, 20000, 3763, "left spread drawn first"},
        {RandomRange, 1, 1, "n of 1 counts as 2: (41 % 2) / 2 + 18467 % 2"},
        {RandomSpread, -5, 0, "so does a negative n: -(18467 % 2) / 2 + 26500 % 2"},
    };
    for (const auto& [draw, n, value, why] : rows) {
        randomState = 1;
        EXPECT_EQ(draw(n), value) << why;
    }
    ClockSource clock = kSystemClock;
    clock.calendarSeconds = [] { return int64_t{0x1'8000'0003}; };
    UseClockSource(clock);
    SeedRandom();  // the calendar seconds, truncated to 32 bits and halved
    UseSystemClock();
    EXPECT_EQ(randomState, 0x4000'0001u);
}

// Two records from state 1, the first alive: a relaunch draws spreads 3763 and -15311, a range
// of 18942 and a life of 6223 / 1024 s; a rebound leaves the life and only the fraction moves.
TEST(ParticleUpdate, WorkedRecords) {
    // Record, y, vy, life left and dt; then vx, vy, y, life left and fraction after the update.
    const std::tuple<int, float, float, float, float, std::vector<float>, const char*> rows[] = {
        {0, 5, 3, 0, 0.25f, {8.46675014f, 42.6194992f, -8, 5.8271484375f, 1}, "spray, 0.0045"},
        {1, 5, 3, 0, 0.25f, {1.69334996f, 136.382401f, -8, 5.8271484375f, 1}, "jet, .0009/.0144"},
        {0, -8.9f, -20, 5, 0, {0, 15.8000002f, 2, 5, 0.5f}, "rebound: to 2, vy times -0.79"},
        {0, -8.8f, -1, 5, 0, {0, 0.790000021f, 2, 5, 0.5f}, "the float of -8.8 lies below it"},
        {0, -8.79f, -1, 5, 0, {0, -1, -8.79f, 5, 0.5f}, "above the level"},
    };
    for (const auto& [index, y, vy, lifeLeft, dt, after, why] : rows) {
        StartScript();
        particleCount = 2;
        particlePool[0].lifeLeft = particlePool[1].lifeLeft = 5;
        particlePool[0].initialLife = particlePool[1].initialLife = 10;
        Particle& p = particlePool[index];
        std::tie(p.y, p.vy, p.lifeLeft) = std::tie(y, vy, lifeLeft);
        UpdateParticles(dt);
        EXPECT_EQ((std::vector<float>{p.vx, p.vy, p.y, p.lifeLeft, p.lifeFraction}), after) << why;
    }
}

TEST(ParticleUpdate, ScriptedRunsGiveTheGoldenResults) {
    std::ifstream fixture(EMBERVANE_TEST_DATA "/simulation.txt");
    StartScript();
    int steps = 0;
    for (std::string line; std::getline(fixture, line);) {
        // Each step starts from the state the previous one left: the first mismatch is the one.
        if (line[0] != '#') {
            ++steps;
            ASSERT_EQ(RunStep(line.substr(0, line.find(' '))), line) << "step " << steps;
        }
    }
    EXPECT_GT(steps, 30);
}
