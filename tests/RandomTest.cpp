// The random source and its draws, against worked values from state 1.
#include <cmath>

#include "SimFixture.h"
#include "platform/Clock.h"

using RandomDraws = SimTest;

TEST_F(RandomDraws, WorkedValuesFromStateOne) {
    EXPECT_EQ(NextRandom(), 41);
    EXPECT_EQ(NextRandom(), 18467);
    EXPECT_EQ(NextRandom(), 6334);
    EXPECT_EQ(NextRandom(), 26500);
    randomState = 1;
    EXPECT_EQ(RandomRange(20000), 18487);  // 41 mod 20000 halved, plus 18467
    randomState = 1;
    EXPECT_EQ(RandomSpread(20000), -2733);  // -18467 / 2 truncates to -9233, plus 6500
    randomState = 1;
    EXPECT_EQ(RandomSpreadSum(20000, 10000), 3763);  // the left draw takes the first four values
    randomState = 1;
    EXPECT_EQ(RandomRange(1), 1);  // n of 1 counts as 2: (41 % 2) / 2 + 18467 % 2
}

TEST_F(RandomDraws, SmallOrNegativeNCountsAsTwo) {
    for (const int n : {1, 0, -1, -32768}) {
        randomState = 1;
        const int range = RandomRange(n);
        const int spread = RandomSpread(n);
        randomState = 1;
        EXPECT_EQ(range, RandomRange(2)) << n;
        EXPECT_EQ(spread, RandomSpread(2)) << n;
    }
}

TEST_F(RandomDraws, DrawCounts) {
    const struct {
        const char* name;
        void (*draw)();
        int draws;
    } rows[] = {
        {"spread", [] { RandomSpread(20000); }, 4},
        {"range", [] { RandomRange(20000); }, 2},
        {"life", [] { RandomLife(); }, 2},
    };
    for (const auto& row : rows) {
        randomState = 12345;
        row.draw();
        EXPECT_EQ(randomState, StateAfterDraws(12345, row.draws)) << row.name;
    }
}

TEST_F(RandomDraws, LifeIsWholeKibiSecondsWithinBound) {
    randomState = 987654321;
    double largest = 0.0;
    for (int i = 0; i < 200000; ++i) {
        const double life = RandomLife();
        ASSERT_TRUE(life >= 0.0 && life <= 17.998046875) << life;
        ASSERT_EQ(life * 1024.0, std::floor(life * 1024.0));
        largest = std::max(largest, life);
    }
    EXPECT_GT(largest, 17.5);
}

TEST_F(RandomDraws, SeedIsCalendarSecondsHalved) {
    ClockSource fake = kSystemClock;
    fake.calendarSeconds = [] { return int64_t{0x1'8000'0003}; };  // truncated to 32 bits first
    UseClockSource(fake);
    SeedRandom();
    UseSystemClock();
    EXPECT_EQ(randomState, 0x4000'0001u);
}
