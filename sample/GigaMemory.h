// The per-program store of sample preloads: room is reserved for every preload first, then
// allocated in a handful of 64 MiB blocks and charged against the sample memory budget. Reserve,
// Allocate and Delete run on the loading thread only; voices and the disk thread only read
// through Address().
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/Platform.h"
#include "platform/QelLog.h"

class SampleBudget;

class GigaMemory : public QelLog {
public:
    // Offsets count 16-bit values from the start of the record.
    using Offset = std::int64_t;

    static constexpr Offset kBlockValues = 0x2000000;      // 32 Mi values
    static constexpr std::size_t kBlockBytes = 0x4000000;  // 64 MiB
    static constexpr int kMaxBlocks = 128;
    static constexpr int kMegabytesPerBlock = 64;
    // Reserve's answer for a preload that cannot be held (larger than a block, or asked for after
    // the record was allocated); such a sample streams instead.
    static constexpr Offset kNoRoom = -1;

    // Charges the process-wide budget of the preferences.
    GigaMemory();
    explicit GigaMemory(SampleBudget& budget);
    ~GigaMemory() override;
    GigaMemory(const GigaMemory&) = delete;
    GigaMemory& operator=(const GigaMemory&) = delete;

    void SetProgramIndex(int index) { programIndex_ = index; }
    int ProgramIndex() const { return programIndex_; }

    // Reserves `values` contiguous 16-bit values; a preload never straddles two blocks.
    Offset Reserve(Offset values);
    // Charges the budget and allocates everything reserved; true at once when already allocated
    // or when nothing was reserved.
    bool Allocate();
    // Start of the preload at `offset` (an answer of Reserve, valid after a successful Allocate).
    std::int16_t* Address(Offset offset) const
    {
        return blocks_[static_cast<std::size_t>(offset / kBlockValues)].get() +
               offset % kBlockValues;
    }

    // A sample of this record got its first zone.
    void AddUser() { ++userCount_; }
    // A sample lost its last zone; the last one frees the record (true when it did).
    bool RemoveUser();
    // Frees the blocks, returns the charge to the budget and empties the record for reuse.
    void Delete();

    int UserCount() const { return userCount_; }
    int Megabytes() const { return megabytes_; }
    int FullBlocks() const { return fullBlocks_; }
    Offset LastBlockValues() const { return lastBlockValues_; }
    // Every reserved preload has its memory.
    bool Allocated() const { return complete_; }

private:
    // A block's memory comes from the OS in large pages (see platform::AllocateLarge).
    using Block = std::unique_ptr<std::int16_t[], platform::LargeFree>;
    static Block AllocateBlock(Offset values);

    SampleBudget& budget_;
    int programIndex_ = 0;
    int userCount_ = 0;
    Offset lastBlockValues_ = 0;
    int megabytes_ = 0;
    int chargedMegabytes_ = 0;  // what the budget actually holds for us
    bool attempted_ = false;    // Allocate ran: no more reservations, no second charge
    bool complete_ = false;     // all blocks allocated
    std::array<Block, kMaxBlocks> blocks_;
    int fullBlocks_ = 0;
    Offset blockBase_ = 0;
    Offset nextFree_ = 0;
};
