// 16- and 24-bit sample data to floats: the fast kernels against their plain references.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "dsp/Convert.h"

namespace {

constexpr int kValues = 4096;

template <void (*Kernel)(const std::int16_t*, float*, int)>
void BM_Int16(benchmark::State& state)
{
    std::vector<std::int16_t> src(kValues);
    for (int i = 0; i < kValues; ++i)
        src[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i * 37);
    std::vector<float> dst(kValues);
    for (auto _ : state) {
        Kernel(src.data(), dst.data(), kValues);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_Int16<dsp::ConvertInt16>)->Name("Int16/fast");
BENCHMARK(BM_Int16<dsp::ConvertInt16Reference>)->Name("Int16/reference");

template <void (*Kernel)(const std::uint8_t*, float*, int)>
void BM_Int24(benchmark::State& state)
{
    std::vector<std::uint8_t> src(3 * kValues + 4);
    for (std::size_t i = 0; i < src.size(); ++i) src[i] = static_cast<std::uint8_t>(i * 91);
    std::vector<float> dst(kValues);
    for (auto _ : state) {
        Kernel(src.data(), dst.data(), kValues);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_Int24<dsp::ConvertInt24>)->Name("Int24/fast");
BENCHMARK(BM_Int24<dsp::ConvertInt24Reference>)->Name("Int24/reference");

}  // namespace

BENCHMARK_MAIN();
