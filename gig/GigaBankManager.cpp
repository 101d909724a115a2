#include "gig/GigaBankManager.h"

#include <string>

#include "gig/GigaProgram.h"

#include "platform/FourCC.h"
#include "platform/LibraryStatic.h"
#include "platform/Platform.h"
#include "player/KyPlayer.h"
#include "prefs/GigaPrefs.h"

GigaBankManager& GigaBankManager::Instance()
{
    return platform::LibraryStatic<GigaBankManager>();
}

GigaBankManager::GigaBankManager()
{
    // What a pass uses must outlive us at exit: statics made first are destroyed last.
    GigaPrefs::Instance();
    KyPlayer::PlayerCount();
}

GigaBankManager::~GigaBankManager()
{
    // A pass still running uses the banks: it ends first. Retired players go before the banks
    // they hold.
    Join();
    DestroyRetired();
    for (int i = 0; i < bankCount_; ++i) banks_[static_cast<std::size_t>(i)].reset();
    bankCount_ = 0;
}

GigaBank* GigaBankManager::Bank(int index) const
{
    return index >= 0 && index < bankCount_ ? banks_[static_cast<std::size_t>(index)].get()
                                            : nullptr;
}

GigaBank* GigaBankManager::RetainBank(std::string_view path)
{
    for (int i = 0; i < bankCount_; ++i) {
        GigaBank& bank = *banks_[static_cast<std::size_t>(i)];
        if (bank.SamePath(path) && !bank.Damaged()) {
            bank.Retain();
            return &bank;
        }
    }
    const std::string file(path);
    if (bankCount_ >= kMaxBanks) {
        Log("*** GigaBankManager::RetainBank(%s) %d banks open ***", file.c_str(), bankCount_);
        return nullptr;
    }
    auto bank = std::make_unique<GigaBank>();
    if (!bank->Open(file)) return nullptr;
    GigaBank* opened = bank.get();
    banks_[static_cast<std::size_t>(bankCount_++)] = std::move(bank);
    opened->Retain();
    return opened;
}

void GigaBankManager::Request()
{
    int state = state_.load(std::memory_order_acquire);
    for (;;) {
        if (state == kRunningRequested) return;
        if (state == kRunning) {
            // The running pass goes round once more.
            if (state_.compare_exchange_weak(state, kRunningRequested, std::memory_order_acq_rel)) {
                return;
            }
            continue;
        }
        if (state_.compare_exchange_weak(state, kRunning, std::memory_order_acq_rel)) break;
    }
    // We own the start. A thread that has just ended its pass may still be leaving its body.
    if (Start(FourCC("load"), kPriorityNormal)) return;
    while (IsRunning()) platform::SleepMs(1);
    if (Start(FourCC("load"), kPriorityNormal)) return;
    Log("*** GigaBankManager::Request() cannot start the loading thread ***");
    state_.store(kIdle, std::memory_order_release);
}

void GigaBankManager::Retire(std::unique_ptr<KyPlayer> player)
{
    if (!player) return;
    if (!player->IsVisited()) {
        std::unique_lock banks(banksMutex_, std::try_to_lock);
        if (banks.owns_lock()) {
            player.reset();
            // Its banks go with it, as at the end of a pass: with no player left to ask for a
            // pass (a host that closed its last instance) nothing else would close their files
            // and free their samples while the library stays loaded.
            DeleteUnheldBanks();
            return;
        }
    }
    {
        std::lock_guard lock(retiredMutex_);
        retired_.push_back(std::move(player));
    }
    platform::PinModule();
    // The pass under way goes round once more and destroys it.
    Request();
}

bool GigaBankManager::StaysAtTeardown()
{
    if (!platform::ModulePinned() || JoinWithin(kTeardownGraceMs)) return false;
    Log("*** GigaBankManager: the loading thread is still reading, left to end on its own ***");
    return true;
}

void GigaBankManager::DestroyRetired()
{
    std::vector<std::unique_ptr<KyPlayer>> retired;
    {
        std::lock_guard lock(retiredMutex_);
        retired.swap(retired_);
    }
    retired.clear();
}

void GigaBankManager::Run()
{
    for (;;) {
        {
            auto banks = LockBanks();
            DestroyRetired();
            if (const LoadPass pass = loadPass_.load(std::memory_order_acquire)) pass();
            DestroyRetired();
            DeleteUnheldBanks();
        }
        int expected = kRunning;
        if (state_.compare_exchange_strong(expected, kIdle, std::memory_order_acq_rel)) return;
        // A request came during the pass.
        state_.store(kRunning, std::memory_order_release);
    }
}

void GigaBankManager::DeleteUnheldBanks()
{
    int kept = 0;
    for (int i = 0; i < bankCount_; ++i) {
        auto& bank = banks_[static_cast<std::size_t>(i)];
        if (bank->RefCount() <= 0) {
            Log("GigaBankManager: delete %s", bank->Path().c_str());
            bank.reset();
        } else {
            banks_[static_cast<std::size_t>(kept++)] = std::move(bank);
        }
    }
    bankCount_ = kept;
    PublishListing();
}

void GigaBankManager::PublishListing()
{
    std::vector<GigaBankListing> listing;
    listing.reserve(static_cast<std::size_t>(bankCount_));
    for (int i = 0; i < bankCount_; ++i) {
        GigaBank& bank = *banks_[static_cast<std::size_t>(i)];
        // A bank nobody holds goes at the end of the pass: it is as good as closed.
        if (bank.Damaged() || bank.RefCount() <= 0) continue;
        GigaBankListing& entry = listing.emplace_back();
        entry.name = std::string(bank.FileName());
        entry.path = bank.Path();
        for (int p = 0; p < bank.ProgramCount(); ++p) {
            const GigaProgram* program = bank.Program(p);
            entry.programs.push_back(program ? program->name : std::string());
        }
    }
    std::lock_guard lock(listingMutex_);
    listing_.swap(listing);
}

std::vector<GigaBankListing> GigaBankManager::Listing() const
{
    std::lock_guard lock(listingMutex_);
    return listing_;
}
