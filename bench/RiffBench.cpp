// Reading the many small fields of a .gig file: through the 4096-byte buffered stream, through
// FastRiff's chunk walk, and (for comparison) one positioned file read per field. Figures are
// per field or per chunk; the file is 8 MiB of small chunks, written once.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "riff/FastRiff.h"
#include "riff/InputStreamFile.h"
#include "riff/InputStreamFileBuffered.h"

namespace {

constexpr std::uint32_t kFieldBytes = 12;  // an 'insh'-sized payload
constexpr std::int64_t kChunkBytes = 8 + kFieldBytes;
constexpr std::int64_t kFileBytes = 8 << 20;

void PutU32(std::vector<char>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

class BenchFile {
public:
    BenchFile()
        : path_((std::filesystem::temp_directory_path() /
                 ("marlet-riffbench-" + std::to_string(getpid()) + ".gig"))
                    .string())
    {
        const std::int64_t chunks = (kFileBytes - 12) / kChunkBytes;
        std::vector<char> bytes;
        bytes.reserve(static_cast<std::size_t>(12 + chunks * kChunkBytes));
        bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
        PutU32(bytes, static_cast<std::uint32_t>(4 + chunks * kChunkBytes));
        bytes.insert(bytes.end(), {'D', 'L', 'S', ' '});
        for (std::int64_t i = 0; i < chunks; ++i) {
            bytes.insert(bytes.end(), {'i', 'n', 's', 'h'});
            PutU32(bytes, kFieldBytes);
            for (std::uint32_t j = 0; j < kFieldBytes / 4; ++j)
                PutU32(bytes, static_cast<std::uint32_t>(i + j));
        }
        std::ofstream(path_, std::ios::binary).write(bytes.data(), bytes.size());
        chunks_ = chunks;
    }
    ~BenchFile() { std::filesystem::remove(path_); }
    const std::string& Path() const { return path_; }
    std::int64_t Chunks() const { return chunks_; }

private:
    std::string path_;
    std::int64_t chunks_ = 0;
};

// Seconds per unit, printed by the library with a time suffix.
benchmark::Counter PerUnit(std::int64_t units)
{
    return benchmark::Counter(static_cast<double>(units),
                              benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

const BenchFile& File()
{
    static BenchFile file;
    return file;
}

// Whole file as 4-byte fields, the way the parser reads headers and values.
template <typename Stream>
void ReadFields(benchmark::State& state, std::int64_t limitBytes)
{
    Stream in;
    if (!in.Open(File().Path())) state.SkipWithError("cannot open");
    std::int64_t fields = 0;
    std::uint32_t sum = 0;
    for (auto _ : state) {
        in.Seek(0);
        std::uint32_t value = 0;
        for (std::int64_t at = 0; at + 4 <= limitBytes; at += 4) {
            in.Read(&value, 4);
            sum += value;
        }
        fields += limitBytes / 4;
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(fields);
    state.SetBytesProcessed(fields * 4);
    state.counters["time_per_field"] = PerUnit(fields);
}

void BM_BufferedFields(benchmark::State& state)
{
    ReadFields<InputStreamFileBuffered>(state, kFileBytes);
}
BENCHMARK(BM_BufferedFields)->Unit(benchmark::kMillisecond);

// One positioned read per field: what the buffer saves (a smaller span, it is slow).
void BM_UnbufferedFields(benchmark::State& state)
{
    ReadFields<InputStreamFile>(state, 256 << 10);
}
BENCHMARK(BM_UnbufferedFields)->Unit(benchmark::kMillisecond);

// The chunk walk of the parser: header, identifier check, 12-byte payload read.
void BM_FastRiffWalk(benchmark::State& state)
{
    FastRiff riff;
    if (!riff.OpenRiff(File().Path())) state.SkipWithError("cannot open");
    std::int64_t chunks = 0;
    std::array<char, kFieldBytes> payload {};
    for (auto _ : state) {
        riff.Rewind();
        riff.OpenChunk(0);
        while (riff.OpenChunk(1)) {
            riff.ReadBytes(payload.data(), kFieldBytes);
            benchmark::DoNotOptimize(payload.data());
            ++chunks;
        }
    }
    state.SetItemsProcessed(chunks);
    state.counters["time_per_chunk"] = PerUnit(chunks);
}
BENCHMARK(BM_FastRiffWalk)->Unit(benchmark::kMillisecond);

// Skipping chunks without reading them: seeks that mostly stay inside the buffer.
void BM_FastRiffSkipWalk(benchmark::State& state)
{
    FastRiff riff;
    if (!riff.OpenRiff(File().Path())) state.SkipWithError("cannot open");
    std::int64_t chunks = 0;
    for (auto _ : state) {
        riff.Rewind();
        riff.OpenChunk(0);
        while (riff.OpenChunk(1)) ++chunks;
    }
    state.SetItemsProcessed(chunks);
    state.counters["time_per_chunk"] = PerUnit(chunks);
}
BENCHMARK(BM_FastRiffSkipWalk)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
