// Opening a bank and loading one program whose 200 samples are read whole into memory: time per
// program load and MB/s of preload data, for plain 16-bit samples and for 24-bit samples in the
// 12-bit delta mode. The files are written once into a temporary folder; after the first load
// they come from the page cache, so the figures are decoding and copying, not the disk. The
// yardsticks beside them: reading the whole plain file from the page cache in large pieces into
// memory that is already there, ordinary or in large pages. A load also pays for fresh memory,
// which the OS fills with zeros first.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "gig/GigaBank.h"
#include "platform/Platform.h"
#include "prefs/SampleBudget.h"

namespace {

constexpr int kSamples = 200;
constexpr int kFrames = 2 * 44100;  // two seconds, held whole under the default tolerance

std::string WriteBank(const testsupport::TempFolder& folder, const std::string& name,
                      bool compressed)
{
    using namespace testsupport;
    GigSamplePlan sample;
    sample.frames = kFrames;
    if (compressed) {
        sample.bits = 24;
        sample.compressed = true;
        sample.blockFrames = 2048;
        sample.modes = {4, 4};
    }
    GigFilePlan plan;
    plan.samples.assign(kSamples, sample);
    plan.instruments[0].regions.clear();
    for (int i = 0; i < kSamples; ++i) {
        GigRegionPlan region;
        region.lowKey = region.highKey = static_cast<std::int16_t>(i % 128);
        region.fill.sample = i;
        plan.instruments[0].regions.push_back(region);
    }
    const std::string path = folder.File(name);
    GigWriter(plan).Write(path);
    return path;
}

void LoadProgram(benchmark::State& state, bool compressed)
{
    const testsupport::TempFolder folder;
    const std::string path = WriteBank(folder, "bench.gig", compressed);
    SampleBudget budget(2048);
    std::int64_t preloadBytes = 0;
    for (auto _ : state) {
        GigaBank bank(budget);
        if (!bank.Open(path)) {
            state.SkipWithError("open failed");
            break;
        }
        GigaProgram* program = bank.LoadProgram(0, nullptr);
        if (program == nullptr) {
            state.SkipWithError("load failed");
            break;
        }
        preloadBytes = 0;
        for (const GigaSample& s : bank.Samples()) {
            preloadBytes += std::int64_t {s.preloadFrames} * s.channels * 2;
        }
        program->Release();
    }
    state.SetBytesProcessed(state.iterations() * preloadBytes);
    state.counters["preload_MB"] = static_cast<double>(preloadBytes) / (1 << 20);
}

// Reads the whole plain file into memory touched beforehand, so that no fault is counted:
// ordinary memory, or the large-page memory the preloads get (where the copy runs faster).
void PageCacheRead(benchmark::State& state, bool largePages)
{
    constexpr std::int64_t kPiece = std::int64_t {4} << 20;
    const testsupport::TempFolder folder;
    const std::string path = WriteBank(folder, "bench.gig", false);
    const platform::FileHandle file = platform::OpenFileRead(path);
    const std::int64_t size = platform::FileSize(file);
    const auto bytes = static_cast<std::size_t>(std::max<std::int64_t>(size, 1));
    std::vector<char> ordinary;
    std::unique_ptr<char, platform::LargeFree> large;
    char* memory = nullptr;
    if (largePages) {
        large = {static_cast<char*>(platform::AllocateLarge(bytes)), platform::LargeFree {bytes}};
        memory = large.get();
    } else {
        ordinary.resize(bytes);
        memory = ordinary.data();
    }
    if (memory == nullptr || size <= 0) {
        state.SkipWithError("no file or no memory");
        platform::CloseFile(file);
        return;
    }
    std::fill_n(memory, bytes, char {1});
    for (auto _ : state) {
        std::int64_t done = 0;
        while (done < size) {
            const std::int64_t got =
                platform::ReadFileAt(file, done, memory + done, std::min(kPiece, size - done));
            if (got <= 0) break;
            done += got;
        }
        if (done != size) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(memory);
    }
    platform::CloseFile(file);
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["file_MB"] = static_cast<double>(size) / (1 << 20);
}

void BM_PageCacheReadPlain16File(benchmark::State& state)
{
    PageCacheRead(state, false);
}
void BM_PageCacheReadPlain16FileLargePages(benchmark::State& state)
{
    PageCacheRead(state, true);
}

void BM_LoadProgramPlain16(benchmark::State& state)
{
    LoadProgram(state, false);
}
void BM_LoadProgramCompressed24(benchmark::State& state)
{
    LoadProgram(state, true);
}

}  // namespace

BENCHMARK(BM_PageCacheReadPlain16File)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageCacheReadPlain16FileLargePages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadProgramPlain16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadProgramCompressed24)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
