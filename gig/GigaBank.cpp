#include "gig/GigaBank.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "gig/GigaBytes.h"
#include "gig/GigaChunkContext.h"
#include "gig/GigaLoadReport.h"
#include "platform/Platform.h"
#include "prefs/GigaPrefs.h"

namespace {

constexpr std::int64_t kListHeaderBytes = 12;
// The smallest list a program or a wave can be: what a count from a file is measured against.
constexpr std::int64_t kMinListBytes = 12;
constexpr std::size_t kExtensionNameBytes = 128;
constexpr std::int64_t kExtensionTrailerBytes = 16;
constexpr std::int64_t kExtensionEntryBytes = kExtensionNameBytes + kExtensionTrailerBytes;
// Windows paths may use either separator; ours use one.
constexpr std::string_view kSeparators =
    platform::kPathSeparator == '/' ? std::string_view("/") : std::string_view("/\\");

void Report(GigaLoadReport* tone, int status)
{
    if (tone != nullptr) tone->LoadStatus(status);
}

// The holder no longer wants the program: the load ends early, the bank stays whole.
bool Cancelled(const GigaLoadReport* tone)
{
    return tone != nullptr && tone->LoadCancelled();
}

// An extension named in 'xfil' must be a plain file name next to the bank.
bool PlainFileName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string_view::npos;
}

}  // namespace

GigaBank::GigaBank() : GigaBank(GigaPrefs::Instance().Budget()) {}

GigaBank::GigaBank(SampleBudget& budget) : FastRiff(CutFiles::kRead), budget_(budget) {}

GigaBank::~GigaBank()
{
    Reset();
}

void GigaBank::Reset()
{
    // Zones unlink from samples and samples release their records: programs go first.
    programs_.reset();
    samples_.reset();
    memory_.clear();
    spareMemory_.clear();
    loadRecord_ = nullptr;
    files_.clear();
    Close();
    programCount_ = 0;
    programsSeen_ = 0;
    sampleCount_ = 0;
    sampleListBuilt_ = false;
    damaged_ = false;
    wavePoolOffset_ = 0;
    extensionListOffset_ = 0;
    extensionListBytes_ = 0;
    extensionListCut_ = false;
    version_ = 1;
    partial_ = nullptr;
}

bool GigaBank::Refuse(const char* why)
{
    Log("*** GigaBank(%s): %s ***", path_.c_str(), why);
    return false;
}

std::string_view GigaBank::FileName() const
{
    const auto cut = path_.find_last_of(kSeparators);
    return std::string_view(path_).substr(cut == std::string::npos ? 0 : cut + 1);
}

GigaProgram* GigaBank::Program(int index)
{
    return index >= 0 && index < programCount_ ? &programs_[static_cast<std::size_t>(index)]
                                               : nullptr;
}

std::span<GigaSample> GigaBank::Samples()
{
    if (!samples_) return {};
    return {samples_.get(), static_cast<std::size_t>(sampleCount_)};
}

std::span<const std::uint8_t> GigaBank::ReadPayload(std::span<std::uint8_t> buffer)
{
    std::fill(buffer.begin(), buffer.end(), std::uint8_t {0});
    const std::int64_t n =
        std::min<std::int64_t>(ChunkSize(), static_cast<std::int64_t>(buffer.size()));
    const std::int64_t got = ReadBytes(buffer.data(), n);
    return buffer.first(static_cast<std::size_t>(std::max<std::int64_t>(got, 0)));
}

int GigaBank::Retain()
{
    const int count = refCount_.fetch_add(1, std::memory_order_acq_rel) + 1;
    Log("GigaBank::Retain(%s) -> %d", path_.c_str(), count);
    return count;
}

int GigaBank::Release()
{
    const int count = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    Log("GigaBank::Release(%s) -> %d", path_.c_str(), count);
    return count;
}

bool GigaBank::Open(const std::string& path)
{
    wavePoolOffset_ = 0;
    try {
        return OpenGigaFile(path);
    } catch (const char*) {
        Log("*** catch error ***");
    } catch (const std::exception& e) {
        Log("*** catch error *** %s", e.what());
    } catch (...) {
        Log("*** catch error ***");
    }
    // What was read before the damage is enough to play from.
    return wavePoolOffset_ != 0 && sampleCount_ > 0;
}

bool GigaBank::OpenGigaFile(const std::string& path)
{
    Log("GigaBank::OpenGigaFile(%s)", path.c_str());
    Reset();
    if (!OpenRiff(path)) {
        Log("Error OpenRiff() failed");
        return false;
    }
    path_ = path;
    version_ = 1;
    if (!OpenChunk(0) || !ChunkCmp("RIFF", "DLS ")) return Refuse("not a 'RIFF' 'DLS ' form");

    while (OpenChunk(1)) {
        if (ChunkCmp("vers")) {
            version_ = GigaBytes(ReadPayload(copyBuffer_)).U16(2);
        } else if (ChunkCmp("colh")) {
            if (programs_) return Refuse("second 'colh'");
            const std::uint32_t count = GigaBytes(ReadPayload(copyBuffer_)).U32(0);
            if (count > std::min(kMaxPrograms, FileSize() / kMinListBytes)) {
                return Refuse("'colh' gives more programs than the file can hold");
            }
            programCount_ = static_cast<std::int32_t>(count);
            Log("Programs:%d", programCount_);
            programs_ = std::make_unique<GigaProgram[]>(count);
            memory_.reserve(count);
            for (std::uint32_t i = 0; i < count; ++i) {
                memory_.push_back(std::make_unique<GigaMemory>(budget_));
            }
        } else if (ChunkCmp("LIST", "lins")) {
            if (!ReadProgramList()) return false;
        } else if (ChunkCmp("ptbl")) {
            const std::uint32_t count = GigaBytes(ReadPayload(copyBuffer_)).U32(4);
            if (count > kMaxSamples) return Refuse("'ptbl' gives too many samples");
            sampleCount_ = static_cast<std::int32_t>(count);
        } else if (ChunkCmp("LIST", "wvpl")) {
            wavePoolOffset_ = Tell() - kListHeaderBytes;
        } else if (ChunkCmp("xfil")) {
            extensionListOffset_ = Tell();
            extensionListBytes_ = ChunkSize();
            extensionListCut_ = ChunkCut();
        }
        // LIST '3crc' and 'einf' are known and need nothing.
    }
    if (Cut() && wavePoolOffset_ == 0) return Refuse("cut short before its wave pool");
    if (sampleCount_ == 0) return Refuse("no samples");
    Log("GigaBank::OpenGigaFile() Done!");
    return true;
}

bool GigaBank::ReadProgramList()
{
    if (!programs_) return Refuse("'lins' before 'colh'");
    std::array<std::uint8_t, kNameBytes> name {};
    while (OpenChunk(2)) {
        if (!ChunkCmp("LIST", "ins ")) continue;
        if (programsSeen_ >= programCount_) {
            return Refuse("more 'ins ' lists than 'colh' gives");
        }
        if (Tell() > INT32_MAX) return Refuse("instrument beyond 2 GB");
        GigaProgram& program = programs_[static_cast<std::size_t>(programsSeen_)];
        program.fileOffset = static_cast<std::int32_t>(Tell());
        program.index = programsSeen_++;
        while (OpenChunk(3)) {
            // Only the first child of each list counts.
            if (ChunkCmp("LIST", "INFO")) {
                if (OpenChunk(4) && ChunkCmp("INAM")) {
                    program.ReadName(ReadPayload(std::span(name).first(kNameBytes - 1)));
                }
            } else if (ChunkCmp("LIST", "lart")) {
                if (OpenChunk(4) && ChunkCmp("3ewg")) program.ReadGroup(ReadPayload(copyBuffer_));
            }
        }
    }
    return true;
}

bool GigaBank::LoadSampleList()
{
    Log("GigaBank::LoadSampleList()");
    if (samples_) return true;
    files_.clear();

    auto main = std::make_unique<GigaFile>();
    if (!main->Open(path_, wavePoolOffset_)) return Refuse("cannot open the wave pool");
    files_.push_back(std::move(main));

    if (extensionListOffset_ != 0) {
        Rewind();
        Seek(extensionListOffset_);
        std::array<std::uint8_t, 4> word {};
        ReadBytes(word.data(), 4);
        const std::int64_t held = (extensionListBytes_ - 4) / kExtensionEntryBytes;
        std::uint32_t n = GigaBytes(word).U32(0);
        // The names the cut left whole still serve; the samples of the others are lost.
        if (extensionListCut_) n = static_cast<std::uint32_t>(std::clamp<std::int64_t>(held, 0, n));
        if (n > kMaxExtensionFiles || n > held) {
            return Refuse("'xfil' names more files than it holds");
        }
        const std::string folder = [&] {
            const auto cut = path_.find_last_of(kSeparators);
            return cut == std::string::npos ? std::string() : path_.substr(0, cut + 1);
        }();
        for (std::uint32_t i = 1; i <= n; ++i) {
            std::array<char, kExtensionNameBytes> raw {};
            ReadBytes(raw.data(), static_cast<std::int64_t>(raw.size()));
            Skip(kExtensionTrailerBytes);
            const std::string name(raw.data(), strnlen(raw.data(), raw.size()));
            if (!PlainFileName(name)) return Refuse("'xfil' names no plain file");
            auto extension = std::make_unique<GigaFile>();
            if (!extension->Open(folder + name)) {
                Log("*** GigaBank::LoadSampleList() cannot open %s%s ***", folder.c_str(),
                    name.c_str());
                return false;
            }
            files_.push_back(std::move(extension));
        }
    }

    std::int64_t bytes = 0;
    for (const auto& file : files_) bytes += file->FileSize();
    if (sampleCount_ > bytes / kMinListBytes)
        return Refuse("'ptbl' gives more samples than the files hold");
    samples_ = std::make_unique<GigaSample[]>(static_cast<std::size_t>(sampleCount_));
    std::size_t filled = 0;
    const std::span<GigaSample> all = Samples();
    bool cut = Cut();
    for (const auto& file : files_) {
        if (filled == all.size()) break;
        filled += static_cast<std::size_t>(file->ReadWavePool(all.subspan(filled)));
        // A pool cut short leaves no trace of the waves it lost: where those of the next file
        // would start is unknown.
        if (file->PoolCut()) {
            cut = true;
            break;
        }
    }
    if (cut) {
        for (GigaSample& sample : all.subspan(filled))
            sample.presence = GigaSample::Presence::kLost;
    }
    Log("GigaBank::LoadSampleList() Done");
    return true;
}

void GigaBank::DropSampleList()
{
    samples_.reset();
    files_.clear();
    sampleListBuilt_ = false;
}

GigaProgram* GigaBank::LoadProgram(int index, GigaLoadReport* tone)
{
    Log("GigaBank::LoadProgram(%d)", index);
    try {
        return LoadProgramSteps(index, tone);
    } catch (const char*) {
        Log("*** catch error ***");
    } catch (const std::exception& e) {
        Log("*** catch error *** %s", e.what());
    } catch (...) {
        Log("*** catch error ***");
    }
    // A list that was complete stays: loaded programs point into it and rebuilding it would
    // give the same samples. A list cut short by the error goes.
    if (!sampleListBuilt_) DropSampleList();
    damaged_ = true;
    if (partial_ != nullptr) FailLoad(*partial_);
    return nullptr;
}

GigaProgram* GigaBank::FailLoad(GigaProgram& program, bool damaged)
{
    if (damaged) damaged_ = true;
    program.Unload();
    partial_ = nullptr;
    return nullptr;
}

GigaProgram* GigaBank::LoadProgramSteps(int index, GigaLoadReport* tone)
{
    if (index < 0 || index >= programCount_) return nullptr;
    if (!sampleListBuilt_) {
        Report(tone, GigaLoadReport::kReadingProgram);
        if (!LoadSampleList()) {
            DropSampleList();
            return nullptr;
        }
        sampleListBuilt_ = true;
    }
    GigaProgram& program = programs_[static_cast<std::size_t>(index)];
    if (program.Loaded()) {
        program.Retain();
        return &program;
    }
    if (program.fileOffset == 0) {
        Log("*** GigaBank::LoadProgram(%d) instrument not found in %s ***", index, path_.c_str());
        damaged_ = true;
        return nullptr;
    }

    GigaMemory& record = RecordFor(index);
    record.SetProgramIndex(index);
    loadRecord_ = &record;
    // A program without regions may still hold an empty region array from an earlier load.
    program.Unload();
    partial_ = &program;
    const GigaChunkContext context(*this, path_, version_);
    if (!ReadInstrument(program, context)) return FailLoad(program);

    for (GigaSample& sample : Samples()) sample.ForgetStaleMemory();
    program.distinctSampleCount = 0;
    program.maxBitDepth = 16;
    std::int64_t valueTotal = 0;
    int toRead = 0;
    for (GigaRegion& region : program.Regions()) {
        if (Cancelled(tone)) return FailLoad(program, false);
        if (!OpenChunk(2) || !ChunkCmp("LIST", "rgn ")) {
            Log("*** GigaBank::LoadProgram(%d) %s: fewer regions than 'insh' gives ***", index,
                path_.c_str());
            return FailLoad(program);
        }
        if (!ReadRegion(region, context) || !SamplesThere(region, index)) return FailLoad(program);
        if (!UseZoneSamples(program, region, index, valueTotal, toRead))
            return FailLoad(program, false);
    }

    Log("Memory samples= %d MB", static_cast<int>(valueTotal * 2 / 1024 / 1024));
    if (!record.Allocate()) {
        Log("Error: Not enough memory");
        Report(tone, GigaLoadReport::kNotEnoughMemory);
        return FailLoad(program, false);
    }
    Report(tone, GigaLoadReport::kLoadingSamples);
    if (!ReadPreloads(program, toRead, tone)) return FailLoad(program, !Cancelled(tone));

    program.FinishLoad();
    partial_ = nullptr;
    program.Retain();
    Log("GigaBank::LoadProgram() -> success");
    return &program;
}

bool GigaBank::ReadInstrument(GigaProgram& program, const GigaChunkContext& context)
{
    // The instrument's own list bounds the walk, so a damaged one cannot run into the next.
    Rewind();
    Seek(program.fileOffset - kListHeaderBytes);
    if (!OpenChunk(0) || !ChunkCmp("LIST", "ins ")) return Refuse("instrument moved");
    while (OpenChunk(1)) {
        if (ChunkCmp("insh")) {
            if (!program.ReadInstrumentHeader(ReadPayload(copyBuffer_), context)) return false;
        } else if (ChunkCmp("LIST", "lrgn")) {
            return true;
        }
    }
    return Refuse("instrument without 'lrgn'");
}

bool GigaBank::ReadRegion(GigaRegion& region, const GigaChunkContext& context)
{
    while (OpenChunk(3)) {
        if (ChunkCmp("rgnh")) {
            if (!region.ReadHeader(ReadPayload(copyBuffer_), context)) return false;
        } else if (ChunkCmp("3lnk")) {
            if (!region.ReadLinks(ReadPayload(linkBuffer_), sampleCount_, context,
                                  GigaRegion::BadIndex::kSilence)) {
                return false;
            }
        } else if (ChunkCmp("LIST", "3prg")) {
            for (int i = 0; OpenChunk(4);) {
                if (!ChunkCmp("LIST", "3ewl")) continue;
                std::span<const std::uint8_t> wsmp, ewa;
                while (OpenChunk(5)) {
                    if (ChunkCmp("wsmp")) wsmp = ReadPayload(wsmpBuffer_);
                    if (ChunkCmp("3ewa")) ewa = ReadPayload(copyBuffer_);
                }
                if (!region.ReadDimensionRegion(i++, wsmp, ewa, Samples(), context)) return false;
            }
        }
    }
    return true;
}

GigaMemory& GigaBank::RecordFor(int index)
{
    GigaMemory& own = *memory_[static_cast<std::size_t>(index)];
    if (!own.Allocated()) return own;
    // The program's own record still holds preloads that another loaded program shares, and an
    // allocated record takes no more: the preloads this load needs go to a spare record.
    for (auto& spare : spareMemory_)
        if (!spare->Allocated() && spare->UserCount() == 0) return *spare;
    spareMemory_.push_back(std::make_unique<GigaMemory>(budget_));
    return *spareMemory_.back();
}

GigaSample* GigaBank::PoolSample(int index)
{
    const std::span<GigaSample> pool = Samples();
    return index >= 0 && static_cast<std::size_t>(index) < pool.size()
               ? &pool[static_cast<std::size_t>(index)]
               : nullptr;
}

bool GigaBank::SamplesThere(const GigaRegion& region, int index)
{
    for (const GigaZone& zone : region.Zones()) {
        const GigaSample* sample = PoolSample(zone.sampleIndex);
        if (sample != nullptr && sample->presence == GigaSample::Presence::kLost) {
            Log("*** GigaBank::LoadProgram(%d) %s: sample %d was cut off the file ***", index,
                path_.c_str(), zone.sampleIndex);
            return false;
        }
    }
    return true;
}

bool GigaBank::UseZoneSamples(GigaProgram& program, GigaRegion& region, int index,
                              std::int64_t& valueTotal, int& toRead)
{
    GigaMemory& record = *loadRecord_;
    for (GigaZone& zone : region.Zones()) {
        GigaSample* const found = PoolSample(zone.sampleIndex);
        if (found == nullptr) continue;
        GigaSample& sample = *found;
        if (!sample.Playable()) continue;
        if (sample.memory == nullptr) {
            ++toRead;
            valueTotal += std::int64_t {sample.frameCount} * sample.channels;
            if (!ReserveSample(sample, record)) return false;
        }
        zone.LinkSample(sample);
        // Whatever the preload leaves out comes from disk.
        if (sample.preloadFrames < sample.frameCount) program.needsStreaming = true;
        if (sample.lastProgram != index) {
            sample.lastProgram = index;
            ++program.distinctSampleCount;
            if (sample.bitsPerSample == 24) program.maxBitDepth = 24;
        }
    }
    return true;
}

bool GigaBank::ReserveSample(GigaSample& sample, GigaMemory& record)
{
    const GigaPrefs& prefs = GigaPrefs::Instance();
    const double rate = sample.sampleRate;
    const auto wholeLimit = static_cast<std::int64_t>(rate * prefs.PreloadTolerance());
    const auto streamFrames = static_cast<std::int64_t>(rate * prefs.PreloadMinimum());
    auto preloadFrames = [&](bool streamed) {
        std::int64_t f =
            streamed ? std::min<std::int64_t>(streamFrames, sample.frameCount) : sample.frameCount;
        // A compressed preload ends on a block boundary, where a stream can start.
        if (sample.blockFrames > 0) f -= f % sample.blockFrames;
        return f;
    };

    bool streamed = sample.loopEnabled == 0 && sample.frameCount > wholeLimit;
    std::int64_t frames = preloadFrames(streamed);
    GigaMemory::Offset offset = record.Reserve(frames * sample.channels);
    if (offset == GigaMemory::kNoRoom && !streamed) {
        // Too large to hold whole: it streams after all.
        streamed = true;
        frames = preloadFrames(true);
        offset = record.Reserve(frames * sample.channels);
    }
    if (offset == GigaMemory::kNoRoom) {
        Log("*** GigaBank::LoadProgram() no room for a preload of %lld frames ***",
            static_cast<long long>(frames));
        return false;
    }
    sample.memory = &record;
    sample.memoryOffset = offset;
    sample.preloadFrames = static_cast<std::int32_t>(frames);
    return true;
}

bool GigaBank::ReadPreloads(GigaProgram& program, int toRead, GigaLoadReport* tone)
{
    int done = 0;
    for (GigaRegion& region : program.Regions()) {
        for (GigaZone& zone : region.Zones()) {
            GigaSample* sample = zone.sample;
            if (sample == nullptr || sample->loaded) continue;
            if (Cancelled(tone) || !ReadPreload(*sample)) return false;
            ++done;
            if (tone != nullptr) tone->LoadProgress(done, std::max(toRead, done));
        }
    }
    return true;
}

bool GigaBank::ReadPreload(GigaSample& sample)
{
    GigaFile* const file = sample.file;
    if (file == nullptr || sample.memory == nullptr) return Refuse("sample without data");
    if (sample.preloadFrames > 0) {
        if (!sample.memory->Allocated()) return Refuse("preload without memory");
        GigaSampleReader& reader = file->reader;
        const auto values = static_cast<std::size_t>(sample.preloadFrames) *
                            static_cast<std::size_t>(sample.channels);
        const std::span<std::int16_t> dst(sample.memory->Address(sample.memoryOffset), values);
        const int frames = reader.Open(sample, file->Input(), sample.dataOffset)
                               ? reader.ReadShorts(dst, sample.preloadFrames)
                               : 0;
        if (frames == sample.preloadFrames) {
            sample.streamOffset = static_cast<std::int32_t>(reader.Position());
        } else if (sample.presence == GigaSample::Presence::kCut && !reader.Failed()) {
            // The file ends inside this sample: the preload holds what is there, silence follows
            // and the stream has nothing left to read.
            std::fill(dst.begin() + static_cast<std::ptrdiff_t>(frames * sample.channels),
                      dst.end(), std::int16_t {0});
            sample.streamOffset =
                static_cast<std::int32_t>(std::int64_t {sample.dataOffset} + sample.dataSize);
        } else {
            Log("*** GigaBank::LoadProgram() %s: sample data at %d give %d of %d frames%s ***",
                file->Path().c_str(), sample.dataOffset, frames, sample.preloadFrames,
                reader.Failed() ? " (damaged block)" : "");
            return false;
        }
    } else {
        sample.streamOffset = sample.dataOffset;
    }
    sample.loaded = true;
    return true;
}
