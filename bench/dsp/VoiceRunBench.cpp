// A voice's fused per-frame pass (interpolate, filter, step gains, mix) over 512 frames against
// the reference kernels run one after another. Arguments: channels, resampled, filtered.
// Items are frames: the inverse of items/s is the time per voice-frame without the voice's
// per-block work (source reading, envelope).
#include <benchmark/benchmark.h>

#include <vector>

#include "dsp/VoiceRun.h"

namespace {

constexpr int kFrames = 512;

template <dsp::Position (*Kernel)(const dsp::VoiceRun&)>
void BM_VoiceRun(benchmark::State& state)
{
    const int channels = static_cast<int>(state.range(0));
    const bool resample = state.range(1) != 0;
    const bool filtered = state.range(2) != 0;
    std::vector<float> source(static_cast<std::size_t>(2 * kFrames * channels + 8));
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = (i % 23) * 0.03f - 0.3f;
    std::vector<float> gains(kFrames / dsp::kStepFrames + 1, 0.7f), l(kFrames), r(kFrames);
    const dsp::BiquadCoefficients k {-1.6f, 0.68f, 0.02f, 0.04f, 0.02f};
    dsp::BiquadState s[2];
    dsp::VoiceRun run;
    run.source = source.data();
    run.channels = channels;
    run.resample = resample;
    run.step = dsp::StepOf(resample ? 1.4983 : 1.0);
    run.coefficients = filtered ? &k : nullptr;
    run.state = s;
    run.gains = {gains.data(), dsp::kStepFrames, 0.49f, 0.51f};
    run.left = l.data();
    run.right = r.data();
    run.frames = kFrames;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Kernel(run));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}
void Args(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"channels", "resampled", "filtered"});
    for (int channels : {1, 2})
        for (int resampled : {0, 1})
            for (int filtered : {0, 1}) b->Args({channels, resampled, filtered});
}
BENCHMARK(BM_VoiceRun<dsp::RenderVoiceRun>)->Name("VoiceRun/fast")->Apply(Args);
BENCHMARK(BM_VoiceRun<dsp::RenderVoiceRunReference>)->Name("VoiceRun/reference")->Apply(Args);

}  // namespace

BENCHMARK_MAIN();
