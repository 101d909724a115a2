// The sample decoders, fast and reference, on one block's worth of bytes at a time: the 24-bit
// delta modes and the 16-bit ones into 16-bit values (what preloads do), and plain values into
// floats (what streams do). Bytes per second count the values written.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "dsp/DecodeDelta.h"
#include "dsp/DecodeReference.h"

namespace {

constexpr int kFrames = 2048;

std::vector<std::byte> RandomBytes(std::size_t n)
{
    std::mt19937 random(7);
    std::vector<std::byte> bytes(n);
    for (auto& b : bytes) b = static_cast<std::byte>(random() & 0xFF);
    return bytes;
}

template <bool Fast>
void BM_Delta24(benchmark::State& state)
{
    const int mode = static_cast<int>(state.range(0));
    const auto src = RandomBytes(3 * kFrames);
    std::vector<std::int16_t> dst(kFrames);
    for (auto _ : state) {
        dsp::DeltaState s;
        const dsp::ShortSink out {dst.data(), 1, 8};
        if constexpr (Fast) {
            dsp::DecodeDelta24(mode, s, src.data(), kFrames, false, out);
        } else {
            dsp::reference::DecodeDelta24(mode, s, src.data(), kFrames, false, out);
        }
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetBytesProcessed(state.iterations() * kFrames * 2);
}

template <bool Fast>
void BM_Delta16Stereo(benchmark::State& state)
{
    const int modes[2] = {static_cast<int>(state.range(0)), static_cast<int>(state.range(0))};
    const auto src = RandomBytes(4 * kFrames);
    std::vector<std::int16_t> dst(2 * kFrames);
    for (auto _ : state) {
        dsp::DeltaState s[2];
        const dsp::ShortSink out {dst.data(), 1, 0};
        if constexpr (Fast) {
            dsp::DecodeDelta16(modes, s, 2, src.data(), kFrames, out);
        } else {
            dsp::reference::DecodeDelta16(modes, s, 2, src.data(), kFrames, out);
        }
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetBytesProcessed(state.iterations() * kFrames * 2 * 2);
}

template <bool Fast>
void BM_PlainToFloat(benchmark::State& state)
{
    const int bits = static_cast<int>(state.range(0));
    const auto src = RandomBytes(3 * kFrames);
    std::vector<float> dst(kFrames);
    for (auto _ : state) {
        const dsp::FloatSink out {dst.data(), 1, 1.0f / 32767.0f};
        if constexpr (Fast) {
            dsp::DecodePlain(bits, src.data(), kFrames, out);
        } else {
            dsp::reference::DecodePlain(bits, src.data(), kFrames, out);
        }
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetBytesProcessed(state.iterations() * kFrames * 4);
}

}  // namespace

BENCHMARK(BM_Delta24<true>)->DenseRange(2, 5);
BENCHMARK(BM_Delta24<false>)->DenseRange(2, 5);
BENCHMARK(BM_Delta16Stereo<true>)->DenseRange(0, 1);
BENCHMARK(BM_Delta16Stereo<false>)->DenseRange(0, 1);
BENCHMARK(BM_PlainToFloat<true>)->Arg(16)->Arg(24);
BENCHMARK(BM_PlainToFloat<false>)->Arg(16)->Arg(24);
BENCHMARK_MAIN();
