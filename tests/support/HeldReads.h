// Reads that do not end, made to order, and calls that must return.
//
// HeldReads: the product tells platform's seam (MarletFileOpening, defined in HeldReads.cpp,
// which a test program exports) of every file it opens for reading, also from a plug-in library
// the program loaded; an opening of a held path waits there until it is released, like a read
// from a disk that does not answer.
//
// Pipe: a named pipe where a file should be. Opening it for reading the plain way waits for a
// writer for ever; Unblock lets such an opener go and puts an empty plain file in its place.
//
// ReturnsWithin: runs a call on a thread of its own and waits for it with a deadline, so a call
// that hangs fails the test instead of the whole run.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace testsupport {

// Generous: a call that does not wait returns within milliseconds even on a loaded machine
// under a sanitizer; one that waits for a held read never returns.
inline constexpr std::chrono::seconds kReturnDeadline {20};

class HeldReads {
public:
    static HeldReads& Instance();

    // Openings of `path` from now on wait until it is released.
    void Hold(const std::string& path);
    // True once an opening of `path` is waiting (false after `deadline`).
    bool AwaitHeld(const std::string& path, std::chrono::milliseconds deadline = kReturnDeadline);
    void Release(const std::string& path);
    void ReleaseAll();

    // The seam's call, on whichever thread opens the file.
    void Opening(const char* path);

private:
    struct Held {
        bool holding = true;
        int waiting = 0;
    };
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, Held> held_;
};

class Pipe {
public:
    explicit Pipe(std::string path);
    ~Pipe() { Unblock(); }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    const std::string& Path() const { return path_; }
    // Never waits itself; idempotent.
    void Unblock();

private:
    std::string path_;
    bool unblocked_ = false;
};

// True when `call` returned within `deadline`. Otherwise `unblock` runs (it lets whatever holds
// the call go), the call is waited for once more, and the answer is false; a call that still
// does not return ends the program with a message naming `what`.
bool ReturnsWithin(const std::string& what, const std::function<void()>& call,
                   const std::function<void()>& unblock,
                   std::chrono::milliseconds deadline = kReturnDeadline);

// Asks `done` at once and then every millisecond until it answers true; false once `deadline`
// has passed.
bool Eventually(const std::function<bool()>& done,
                std::chrono::milliseconds deadline = kReturnDeadline);

}  // namespace testsupport
