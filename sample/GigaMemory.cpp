#include "sample/GigaMemory.h"

#include <cstdio>

#include "prefs/GigaPrefs.h"
#include "prefs/SampleBudget.h"

namespace {

constexpr GigaMemory::Offset kLastBlockGranule = 2048;  // values

}  // namespace

GigaMemory::GigaMemory() : GigaMemory(GigaPrefs::Instance().Budget()) {}

GigaMemory::GigaMemory(SampleBudget& budget) : budget_(budget) {}

GigaMemory::~GigaMemory()
{
    Delete();
}

GigaMemory::Offset GigaMemory::Reserve(Offset values)
{
    if (values < 0 || values > kBlockValues || attempted_) {
        Log("*** GigaMemory::Reserve(%lld) refused (program %d) ***",
            static_cast<long long>(values), programIndex_);
        return kNoRoom;
    }
    if (nextFree_ + values > blockBase_ + kBlockValues) {
        if (fullBlocks_ + 1 >= kMaxBlocks) {
            Log("*** GigaMemory::Reserve(%lld) out of blocks (program %d) ***",
                static_cast<long long>(values), programIndex_);
            return kNoRoom;
        }
        ++fullBlocks_;
        megabytes_ += kMegabytesPerBlock;
        lastBlockValues_ = values;
        blockBase_ += kBlockValues;
        nextFree_ = blockBase_ + values;
        return blockBase_;
    }
    const Offset offset = nextFree_;
    lastBlockValues_ += values;
    nextFree_ += values;
    return offset;
}

bool GigaMemory::Allocate()
{
    if (Allocated() || lastBlockValues_ == 0) return true;
    // An earlier attempt failed; the record stays failed until Delete starts it over.
    if (attempted_) return false;

    attempted_ = true;
    megabytes_ += static_cast<int>(lastBlockValues_ * 2 / 1048576);
    Log("GigaMemory::Allocate(%d MB)", megabytes_);
    if (!budget_.Reserve(megabytes_)) {
        std::fputs("Error:  Not enough memory\r\n", stdout);
        megabytes_ = 0;
        return false;
    }
    chargedMegabytes_ = megabytes_;

    for (int i = 0; i < fullBlocks_; ++i) {
        blocks_[i] = AllocateBlock(kBlockValues);
        if (!blocks_[i]) {
            Log("*** GigaMemory::Allocate block %d failed ***", i);
            return false;
        }
    }
    const Offset lastValues =
        (lastBlockValues_ + kLastBlockGranule - 1) / kLastBlockGranule * kLastBlockGranule;
    lastBlockValues_ = lastValues;
    blocks_[fullBlocks_] = AllocateBlock(lastValues);
    if (!blocks_[fullBlocks_]) {
        Log("*** GigaMemory::Allocate last block failed ***");
        return false;
    }
    complete_ = true;
    return true;
}

GigaMemory::Block GigaMemory::AllocateBlock(Offset values)
{
    const auto bytes = static_cast<std::size_t>(values) * sizeof(std::int16_t);
    return Block(static_cast<std::int16_t*>(platform::AllocateLarge(bytes)),
                 platform::LargeFree {bytes});
}

bool GigaMemory::RemoveUser()
{
    if (userCount_ <= 0) {
        Log("*** GigaMemory::RemoveUser() without users (program %d) ***", programIndex_);
        return false;
    }
    if (--userCount_ > 0) return false;
    Log("GigaMemory::Delete(%d)", programIndex_);
    Delete();
    return true;
}

void GigaMemory::Delete()
{
    for (auto& block : blocks_) block.reset();
    // Whatever was charged goes back, even when the blocks never came.
    if (chargedMegabytes_ > 0) budget_.Release(chargedMegabytes_);
    chargedMegabytes_ = 0;
    attempted_ = false;
    complete_ = false;
    programIndex_ = 0;
    userCount_ = 0;
    lastBlockValues_ = 0;
    megabytes_ = 0;
    fullBlocks_ = 0;
    blockBase_ = 0;
    nextFree_ = 0;
}
