#include "tests/support/HeldReads.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "fixtures/TempFolder.h"

// The platform layer's seam (platform::kFileOpeningHook), found by name in the whole process.
extern "C" __attribute__((visibility("default"))) void MarletFileOpening(const char* path)
{
    testsupport::HeldReads::Instance().Opening(path);
}

namespace testsupport {

HeldReads& HeldReads::Instance()
{
    // Never destroyed: a reader given up by the product may still come by at exit.
    static auto* reads = new HeldReads;
    return *reads;
}

void HeldReads::Hold(const std::string& path)
{
    std::lock_guard lock(mutex_);
    held_[path] = Held {};
}

bool HeldReads::AwaitHeld(const std::string& path, std::chrono::milliseconds deadline)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, deadline, [&] {
        const auto at = held_.find(path);
        return at != held_.end() && at->second.waiting > 0;
    });
}

void HeldReads::Release(const std::string& path)
{
    {
        std::lock_guard lock(mutex_);
        if (const auto at = held_.find(path); at != held_.end()) at->second.holding = false;
    }
    changed_.notify_all();
}

void HeldReads::ReleaseAll()
{
    {
        std::lock_guard lock(mutex_);
        for (auto& [path, held] : held_) held.holding = false;
    }
    changed_.notify_all();
}

void HeldReads::Opening(const char* path)
{
    std::unique_lock lock(mutex_);
    const auto at = held_.find(path);
    if (at == held_.end() || !at->second.holding) return;
    Held& held = at->second;
    ++held.waiting;
    changed_.notify_all();
    changed_.wait(lock, [&] { return !held.holding; });
    --held.waiting;
}

Pipe::Pipe(std::string path) : path_(std::move(path))
{
    if (mkfifo(path_.c_str(), 0644) != 0) std::perror(path_.c_str());
}

void Pipe::Unblock()
{
    if (unblocked_) return;
    unblocked_ = true;
    // A reader waiting in open() goes on once a writer is there; O_RDWR never waits itself.
    const int writer = open(path_.c_str(), O_RDWR | O_NONBLOCK);
    const std::string plain = path_ + ".plain";
    WriteFileBytes(plain, "", 0);
    std::rename(plain.c_str(), path_.c_str());
    if (writer >= 0) close(writer);
}

bool ReturnsWithin(const std::string& what, const std::function<void()>& call,
                   const std::function<void()>& unblock, std::chrono::milliseconds deadline)
{
    struct Done {
        std::mutex mutex;
        std::condition_variable changed;
        bool returned = false;
    };
    auto done = std::make_shared<Done>();
    std::thread caller([&call, done] {
        call();
        std::lock_guard lock(done->mutex);
        done->returned = true;
        done->changed.notify_all();
    });
    bool inTime = false;
    {
        std::unique_lock lock(done->mutex);
        inTime = done->changed.wait_for(lock, deadline, [&] { return done->returned; });
    }
    if (!inTime) {
        unblock();
        std::unique_lock lock(done->mutex);
        if (!done->changed.wait_for(lock, deadline, [&] { return done->returned; })) {
            std::fprintf(stderr, "\n%s: never returned, even once let go\n", what.c_str());
            std::abort();
        }
    }
    caller.join();
    return inTime;
}

bool Eventually(const std::function<bool()>& done, std::chrono::milliseconds deadline)
{
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace testsupport
