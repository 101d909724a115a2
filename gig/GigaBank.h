// One opened .gig file: its program list from the start, its sample list (with the samples of
// its extension files) on the first program load, and the programs loaded one at a time with
// their sample preloads read into memory. Shared by path through the bank manager, which counts
// the holders with Retain/Release and deletes the bank once nobody holds it.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gig/GigaFile.h"
#include "gig/GigaProgram.h"
#include "gig/GigaSample.h"
#include "riff/FastRiff.h"
#include "sample/GigaMemory.h"

class GigaChunkContext;
class GigaLoadReport;
class SampleBudget;

class GigaBank : public FastRiff {
public:
    // Bounds on counts taken from a file, before anything is allocated for them.
    static constexpr std::int64_t kMaxPrograms = 8192;
    static constexpr std::int64_t kMaxSamples = 1 << 20;
    static constexpr std::int64_t kMaxExtensionFiles = 99;
    static constexpr std::size_t kNameBytes = 200;
    static constexpr std::size_t kCopyBytes = 256;
    static constexpr std::size_t kWsmpBytes = 64;
    // Count word, eight definitions, 256 wave pool indices.
    static constexpr std::size_t kLinkBytes = 4 + 8 * 8 + 4 * 256;

    // Preloads are charged against the budget of the preferences, or against `budget`.
    GigaBank();
    explicit GigaBank(SampleBudget& budget);
    ~GigaBank() override;

    // Reads the program list. A read error late in the file is forgiven once the wave pool and
    // the sample count are known, and so is a file cut short after its wave pool began: its
    // programs whose samples are all there load.
    bool Open(const std::string& path);
    bool OpenGigaFile(const std::string& path);

    // Null when the program does not exist or cannot be loaded. `tone` (may be null) hears the
    // status and progress of the load.
    GigaProgram* LoadProgram(int index, GigaLoadReport* tone);
    // Builds the sample list once (with extension files); false when a file is missing.
    bool LoadSampleList();

    // Any thread; both answer the new count.
    int Retain();
    int Release();
    // Exact, case-sensitive: the bank's identity in the bank manager.
    bool SamePath(std::string_view other) const { return other == path_; }

    int ProgramCount() const { return programCount_; }
    // Null for an index outside the program list.
    GigaProgram* Program(int index);
    // Empty until the sample list is built.
    std::span<GigaSample> Samples();
    int SampleCount() const { return sampleCount_; }
    int FileCount() const { return static_cast<int>(files_.size()); }
    const std::string& Path() const { return path_; }
    std::string_view FileName() const;
    int Version() const { return version_; }
    int RefCount() const { return refCount_.load(std::memory_order_acquire); }
    bool SampleListBuilt() const { return sampleListBuilt_; }
    // A program load found the file other than its program list promised (cut short or spoilt
    // since it was opened, or cut before the program's samples): the bank manager hands this bank
    // out no more, so the next holder reads the file afresh.
    bool Damaged() const { return damaged_; }

private:
    void Reset();
    bool ReadProgramList();
    GigaProgram* LoadProgramSteps(int index, GigaLoadReport* tone);
    // Returns a half-loaded program to its regionless state; its reservations go with it. A
    // failure of the file's content (not of memory) marks the bank damaged.
    GigaProgram* FailLoad(GigaProgram& program, bool damaged = true);
    // The preload record a load of program `index` reserves in.
    GigaMemory& RecordFor(int index);
    bool ReadInstrument(GigaProgram& program, const GigaChunkContext& context);
    bool ReadRegion(GigaRegion& region, const GigaChunkContext& context);
    // The pool's sample `index`, or null outside the pool.
    GigaSample* PoolSample(int index);
    // False (logged) when a zone plays a sample the file was cut before.
    bool SamplesThere(const GigaRegion& region, int index);
    bool UseZoneSamples(GigaProgram& program, GigaRegion& region, int index,
                        std::int64_t& valueTotal, int& toRead);
    bool ReserveSample(GigaSample& sample, GigaMemory& record);
    bool ReadPreloads(GigaProgram& program, int toRead, GigaLoadReport* tone);
    bool ReadPreload(GigaSample& sample);
    void DropSampleList();
    // Reads the current chunk's payload (at most buffer.size() bytes) into a zeroed buffer.
    std::span<const std::uint8_t> ReadPayload(std::span<std::uint8_t> buffer);
    // Logs why the file is refused; answers false.
    bool Refuse(const char* why);

    SampleBudget& budget_;
    // Holders release from their own threads (a tone destroyed on the host's thread) while the
    // loading thread looks for banks to delete.
    std::atomic<std::int32_t> refCount_ {0};
    std::string path_;
    std::int32_t version_ = 1;
    std::array<std::uint8_t, kCopyBytes> copyBuffer_ {};
    std::array<std::uint8_t, kWsmpBytes> wsmpBuffer_ {};
    std::array<std::uint8_t, kLinkBytes> linkBuffer_ {};
    std::vector<std::unique_ptr<GigaFile>> files_;
    std::int64_t extensionListOffset_ = 0;
    std::int64_t extensionListBytes_ = 0;
    bool extensionListCut_ = false;
    std::unique_ptr<GigaProgram[]> programs_;
    std::vector<std::unique_ptr<GigaMemory>> memory_;
    std::vector<std::unique_ptr<GigaMemory>> spareMemory_;  // see RecordFor
    GigaMemory* loadRecord_ = nullptr;                      // the record of the load under way
    std::int32_t programCount_ = 0;
    std::int32_t programsSeen_ = 0;
    std::int64_t wavePoolOffset_ = 0;
    std::unique_ptr<GigaSample[]> samples_;
    std::int32_t sampleCount_ = 0;
    bool sampleListBuilt_ = false;
    bool damaged_ = false;
    GigaProgram* partial_ = nullptr;  // program whose load is under way
};
