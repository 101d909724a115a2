// The process-wide owner of the opened banks and the thread that loads instruments: a pass
// runs the players' loading step, then deletes the banks nobody holds any more. Banks are
// shared by exact path.
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "gig/GigaBank.h"
#include "gig/GigaBankListing.h"
#include "platform/QelLog.h"
#include "platform/UThread.h"

class KyPlayer;

class GigaBankManager : public UThread, public QelLog {
public:
    static constexpr int kMaxBanks = 512;
    // How long the library's teardown waits for a pass that is still reading.
    static constexpr int kTeardownGraceMs = 5000;

    // The players' loading step. The players sit above the banks, so they hand it down here
    // instead of the loader calling up into them.
    using LoadPass = void (*)();

    // Any thread: the step every pass runs from now on; none set, a pass only tidies up.
    static void SetLoadPass(LoadPass pass) { loadPass_.store(pass, std::memory_order_release); }

    // Created on first use; joins its thread before it goes at exit or library unload (left to
    // the system when the process ends on Windows, see LibraryStatic).
    static GigaBankManager& Instance();

    GigaBankManager();
    ~GigaBankManager() override;

    // Loading thread only: the bank of `path`, opened when needed, with one more holder. Null
    // when the file cannot be opened or 512 banks are open. A damaged bank is never shared: its
    // holders keep it until they let go, a new holder gets the file opened anew.
    GigaBank* RetainBank(std::string_view path);

    // Any thread: runs a pass soon. A request made while a pass runs makes it run once more, so
    // tones marked after the pass looked at them are loaded too.
    void Request();

    // Held by every pass, for its whole length. Whoever releases programs or banks outside a
    // pass (a tone torn down on a thread of its own) holds it too, so a program is never
    // unloaded while the loader reads the bank it belongs to. Host calls never take it: the
    // tones guard what they show with locks of their own, which the loader holds for short
    // steps only. Take it before any player's own lock.
    std::unique_lock<std::recursive_mutex> LockBanks()
    {
        return std::unique_lock<std::recursive_mutex>(banksMutex_);
    }

    // A player that has left the player list (a plug-in instance closing): destroyed right away
    // when no pass is under way, else by the loading thread once the pass is done with it, so
    // the caller never waits for a pass. What is still handed over when the library unloads is
    // destroyed then. A pass may be held in a read that does not end (a dead network drive):
    // handing a player over pins the module (PinModule), so that a host that unloads the
    // library meanwhile does not pull the pass's code from under it.
    void Retire(std::unique_ptr<KyPlayer> player);

    // The library's teardown (LibraryStatic): waits up to kTeardownGraceMs for a pass still
    // under way. One held longer is given up: true, and the manager stays, with the banks and
    // players the pass uses, until the process ends. Only a pinned module can get here with a
    // pass held in a read; without a pin, no player was handed over and no pass reads, and the
    // destructor joins as ever.
    bool StaysAtTeardown();

    // Any thread, never waiting for a pass: the open banks as the last pass left them.
    std::vector<GigaBankListing> Listing() const;
    // Loading thread (or while no pass runs): publishes the open banks that someone holds for
    // Listing. Every pass does at its end; a player does before it reports its load as done.
    void PublishListing();

    // Loading thread (or while no pass runs).
    int BankCount() const { return bankCount_; }
    GigaBank* Bank(int index) const;

protected:
    void Run() override;

private:
    enum State : int { kIdle, kRunning, kRunningRequested };

    // Deletes the banks nobody holds, then publishes the listing of those left.
    void DeleteUnheldBanks();
    void DestroyRetired();

    std::array<std::unique_ptr<GigaBank>, kMaxBanks> banks_ {};
    int bankCount_ = 0;
    std::atomic<int> state_ {kIdle};
    std::recursive_mutex banksMutex_;
    std::mutex retiredMutex_;
    // Held only to copy the listing in or out, never during a load.
    mutable std::mutex listingMutex_;
    std::vector<GigaBankListing> listing_;
    std::vector<std::unique_ptr<KyPlayer>> retired_;
    static inline std::atomic<LoadPass> loadPass_ {nullptr};
};
