// Shared set-up for the simulation tests: a zeroed pool, the start count and random state 1.
#pragma once

#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "sim/Particles.h"
#include "sim/Random.h"

class SimTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(particlePool, 0, sizeof(particlePool));
        particleCount = kStartParticles;
        randomState = 1;
    }
};

// The random state after `draws` more values from `state`: counts draws without reading any.
inline uint32_t StateAfterDraws(uint32_t state, int draws) {
    const uint32_t saved = randomState;
    randomState = state;
    for (int i = 0; i < draws; ++i) {
        NextRandom();
    }
    const uint32_t result = randomState;
    randomState = saved;
    return result;
}

inline uint32_t FloatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}
