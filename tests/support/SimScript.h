// Scripted simulation steps and the line that records the pool after each: shared by the tests,
// which compare, and the golden tool, which writes tests/data/simulation.txt.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "sim/Effects.h"
#include "sim/Particles.h"
#include "sim/Random.h"
#include "sim/Update.h"

// The state every script starts from: the whole pool zeroed, 500 active records, state 1.
inline void StartScript() {
    std::memset(particlePool, 0, sizeof(particlePool));
    particleCount = 500;
    randomState = 1;
}

// Runs one step ("update:0.016", "add:500", "set:32000", "burst", ...) and describes the state
// after it: the step, the count, the random state, a hash of the whole pool (inactive records
// included) and record 0's fourteen fields.
inline std::string RunStep(const std::string& step) {
    const std::string name = step.substr(0, step.find(':'));
    const double value = name.size() < step.size() ? std::stod(step.substr(name.size() + 1)) : 0;
    static const std::map<std::string, void (*)()> kEffects = {
        {"reset", ResetParticles}, {"burst", Burst},     {"scatter", Scatter},
        {"freeze", Freeze},        {"updraft", Updraft}, {"downdraft", Downdraft},
        {"east", EastWind},        {"west", WestWind}};
    if (name == "update") {
        UpdateParticles(static_cast<float>(value));
    } else if (name == "add" || name == "set") {
        SetParticleCount(name == "add" ? static_cast<int>(value) : 0,
                         name == "set" ? static_cast<int>(value) : 0);
    } else if (kEffects.count(name) != 0) {
        kEffects.at(name)();
    } else {
        return "unknown step " + step;
    }
    uint64_t hash = 0;
    for (size_t i = 0; i < sizeof(particlePool); i += sizeof(uint64_t)) {
        uint64_t word;
        std::memcpy(&word, reinterpret_cast<const char*>(particlePool) + i, sizeof(word));
        // The shift folds high bits down: without it a sign flipped in an even number of
        // records would cancel out.
        hash = (hash ^ word) * 0x9E3779B97F4A7C15u;
        hash ^= hash >> 32;
    }
    char line[512];
    int length =
        std::snprintf(line, sizeof(line), "%-16s %6d %08x %016llx", step.c_str(), particleCount,
                      static_cast<unsigned>(randomState), static_cast<unsigned long long>(hash));
    float fields[14];  // record 0's, in their order
    std::memcpy(fields, &particlePool[0], sizeof(fields));
    for (const float field : fields) {
        length += std::snprintf(line + length, sizeof(line) - length, " %.9g", field);
    }
    return line;
}
