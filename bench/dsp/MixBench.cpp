// Step gains and pan into a stereo bus over 512 frames, and a per-frame gain ramp: fast
// against reference. Argument: channels.
#include <benchmark/benchmark.h>

#include <vector>

#include "dsp/Mix.h"

namespace {

constexpr int kFrames = 512;

template <void (*Kernel)(const float*, int, const dsp::StepGains&, float*, float*, int)>
void BM_MixSteps(benchmark::State& state)
{
    const int channels = static_cast<int>(state.range(0));
    std::vector<float> x(static_cast<std::size_t>(kFrames * channels), 0.25f);
    std::vector<float> gains(kFrames / dsp::kStepFrames + 1, 0.5f), l(kFrames), r(kFrames);
    const dsp::StepGains g {gains.data(), dsp::kStepFrames, 0.49f, 0.51f};
    for (auto _ : state) {
        Kernel(x.data(), channels, g, l.data(), r.data(), kFrames);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_MixSteps<dsp::MixSteps>)->Name("MixSteps/fast")->Arg(1)->Arg(2);
BENCHMARK(BM_MixSteps<dsp::MixStepsReference>)->Name("MixSteps/reference")->Arg(1)->Arg(2);

template <void (*Kernel)(float*, int, int, float, float)>
void BM_Ramp(benchmark::State& state)
{
    const int channels = static_cast<int>(state.range(0));
    std::vector<float> x(static_cast<std::size_t>(kFrames * channels), 1.0f);
    for (auto _ : state) {
        Kernel(x.data(), channels, kFrames, 0.999f, 1.001f);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_Ramp<dsp::ApplyGainRamp>)->Name("GainRamp/fast")->Arg(1)->Arg(2);
BENCHMARK(BM_Ramp<dsp::ApplyGainRampReference>)->Name("GainRamp/reference")->Arg(1)->Arg(2);

}  // namespace

BENCHMARK_MAIN();
