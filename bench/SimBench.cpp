// Simulation throughput in particles per second, beside one streaming pass over the same pool.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <benchmark/benchmark.h>
#include <emmintrin.h>

#include "SteadyState.h"

namespace {

constexpr float kStep = kBenchStep;

void CheckPool(benchmark::State& state) {
    double sum = 0;
    for (int i = 0; i < particleCount; ++i) {
        sum += particlePool[i].y;
    }
    if (!std::isfinite(sum)) {
        state.SkipWithError("pool is not finite");
    }
}

void BM_UpdateParticles(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    PrepareSteadyState(count);
    for (auto _ : state) {
        UpdateParticles(kStep);
        benchmark::ClobberMemory();
    }
    CheckPool(state);
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_UpdateParticles)->Arg(500)->Arg(32000)->Arg(120000);

// The floor for any walk over the pool: read and write every float once, four at a time.
void BM_StreamingPass(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    PrepareSteadyState(count);
    for (auto _ : state) {
        float* data = &particlePool[0].vx;
        const int floats = count * 14;
        const __m128 zero = _mm_setzero_ps();
        for (int i = 0; i + 4 <= floats; i += 4) {
            _mm_store_ps(data + i, _mm_add_ps(_mm_load_ps(data + i), zero));
        }
        benchmark::ClobberMemory();
    }
    CheckPool(state);
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_StreamingPass)->Arg(500)->Arg(32000)->Arg(120000);

void BM_ResetParticles(benchmark::State& state) {
    PrepareSteadyState(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ResetParticles();
        benchmark::ClobberMemory();
    }
    CheckPool(state);
    state.SetItemsProcessed(state.iterations() * particleCount);
}
BENCHMARK(BM_ResetParticles)->Arg(120000);

void BM_Burst(benchmark::State& state) {
    PrepareSteadyState(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Burst();
        benchmark::ClobberMemory();
    }
    CheckPool(state);
    state.SetItemsProcessed(state.iterations() * particleCount);
}
BENCHMARK(BM_Burst)->Arg(120000);

}  // namespace
