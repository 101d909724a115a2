// Linear interpolation at 32.32 positions, 512 output frames at a ratio of 1.4983 (a fifth up):
// float, 16-bit and 24-bit sources, mono and stereo, straight and looped; fast against reference.
// Arguments: channels.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <type_traits>
#include <vector>

#include "dsp/Interpolate.h"

namespace {

constexpr int kFrames = 512;
const dsp::Position kStep = dsp::StepOf(1.4983);
constexpr int kSourceFrames = 1000;

template <class T,
          dsp::Position (*Kernel)(const T*, int, dsp::Position, dsp::Position, float*, int)>
void BM_Straight(benchmark::State& state)
{
    const int channels = static_cast<int>(state.range(0));
    const std::size_t bytesPerValue = std::is_same_v<T, std::uint8_t> ? 3 : 1;
    std::vector<T> src(bytesPerValue * kSourceFrames * static_cast<std::size_t>(channels) + 4);
    for (std::size_t i = 0; i < src.size(); ++i) src[i] = static_cast<T>((i * 7919) % 100);
    std::vector<float> out(static_cast<std::size_t>(kFrames * channels));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Kernel(src.data(), channels, 12345, kStep, out.data(), kFrames));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kFrames);  // frames
}
BENCHMARK(BM_Straight<float, dsp::InterpolateFloat>)->Name("Float/fast")->Arg(1)->Arg(2);
BENCHMARK(BM_Straight<float, dsp::InterpolateFloatReference>)
    ->Name("Float/reference")
    ->Arg(1)
    ->Arg(2);
BENCHMARK(BM_Straight<std::int16_t, dsp::InterpolateInt16>)->Name("Int16/fast")->Arg(1)->Arg(2);
BENCHMARK(BM_Straight<std::int16_t, dsp::InterpolateInt16Reference>)
    ->Name("Int16/reference")
    ->Arg(1)
    ->Arg(2);
BENCHMARK(BM_Straight<std::uint8_t, dsp::InterpolateInt24>)->Name("Int24/fast")->Arg(1)->Arg(2);
BENCHMARK(BM_Straight<std::uint8_t, dsp::InterpolateInt24Reference>)
    ->Name("Int24/reference")
    ->Arg(1)
    ->Arg(2);

template <dsp::Position (*Kernel)(const std::int16_t*, int, dsp::Loop, dsp::Position, dsp::Position,
                                  float*, int)>
void BM_Looped(benchmark::State& state)
{
    const int channels = static_cast<int>(state.range(0));
    std::vector<std::int16_t> src(static_cast<std::size_t>(kSourceFrames * channels));
    for (std::size_t i = 0; i < src.size(); ++i) src[i] = static_cast<std::int16_t>(i * 31);
    std::vector<float> out(static_cast<std::size_t>(kFrames * channels));
    dsp::Position p = 0;
    // A 300-frame loop: the end is crossed about twice a block.
    for (auto _ : state) {
        p = Kernel(src.data(), channels, {100, 399}, p, kStep, out.data(), kFrames);
        benchmark::DoNotOptimize(p);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_Looped<dsp::InterpolateLoopedInt16>)->Name("LoopedInt16/fast")->Arg(1)->Arg(2);
BENCHMARK(BM_Looped<dsp::InterpolateLoopedInt16Reference>)
    ->Name("LoopedInt16/reference")
    ->Arg(1)
    ->Arg(2);

}  // namespace

BENCHMARK_MAIN();
