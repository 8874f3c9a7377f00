// The particle count's clamping and the simulation's fixed settings.
#include <climits>

#include "SimFixture.h"

using ParticleCount = SimTest;

TEST_F(ParticleCount, SetClampsAndTreatsZeroAbsoluteAsRelative) {
    struct Row {
        int start, delta, absolute, expected;
        const char* why;
    };
    const Row rows[] = {
        {32000, 500, 0, 32500, "step up"},
        {32000, -500, 0, 31500, "step down"},
        {500, -500, 0, 500, "lower limit holds"},
        {120000, 500, 0, 120000, "upper limit holds"},
        {50000, 0, 32000, 32000, "absolute wins"},
        {50000, 500, 32000, 32000, "absolute ignores delta"},
        {50000, 0, 0, 50000, "zero absolute is a relative change of 0"},
        {32000, 0, 130000, 120000, "absolute clamped down"},
        {32000, 0, -7, 500, "negative absolute clamped up"},
        {120000, INT_MAX, 0, 120000, "huge delta does not wrap"},
        {500, INT_MIN, 0, 500, "huge negative delta does not wrap"},
    };
    for (const Row& row : rows) {
        particleCount = row.start;
        SetParticleCount(row.delta, row.absolute);
        EXPECT_EQ(GetParticleCount(), row.expected) << row.why;
    }
}

TEST(SimulationSettings, ConstantsHaveTheirBitPatterns) {
    EXPECT_EQ(FloatBits(kSettings.gravity), 0xC1F26C8Bu);
    EXPECT_EQ(FloatBits(kSettings.reboundFactor), 0xBF4A3D71u);
    EXPECT_EQ(kSettings.signs[0], 1);
    EXPECT_EQ(kSettings.signs[1], -1);
    EXPECT_EQ(kSettings.emitterHeight, -10.0f);
    EXPECT_EQ(kSettings.lifeSpan, 12.0f);
}
