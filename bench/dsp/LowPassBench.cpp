// The two-pole low-pass over 512 frames, mono and stereo: fast (stereo in one SSE2 register)
// against the plain per-channel reference. Both are bound by the filter's recurrence: about
// three dependent operations per frame. Argument: channels.
#include <benchmark/benchmark.h>

#include <vector>

#include "dsp/LowPass.h"

namespace {

constexpr int kFrames = 512;
const dsp::BiquadCoefficients kK {-1.6f, 0.68f, 0.02f, 0.04f, 0.02f};

template <void (*Kernel)(const dsp::BiquadCoefficients&, dsp::BiquadState*, float*, int, int)>
void BM_LowPass(benchmark::State& state)
{
    const int channels = static_cast<int>(state.range(0));
    std::vector<float> x(static_cast<std::size_t>(kFrames * channels));
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = (i % 17) * 0.05f - 0.4f;
    dsp::BiquadState s[2];
    for (auto _ : state) {
        Kernel(kK, s, x.data(), kFrames, channels);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_LowPass<dsp::BiquadRun>)->Name("Biquad/fast")->Arg(1)->Arg(2);
BENCHMARK(BM_LowPass<dsp::BiquadRunReference>)->Name("Biquad/reference")->Arg(1)->Arg(2);

}  // namespace

BENCHMARK_MAIN();
