// Reads the program names of a .gig file on a thread of its own, so that a large file or a slow
// disk never holds up the editor. One file at a time: a request made while a file is being read
// waits until that one is done, and only the newest waiting request is kept.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "platform/UThread.h"

class UProgramList : public UThread {
public:
    struct Result {
        std::string path;
        bool opened = false;
        std::vector<std::string> names;  // empty names stand for unnamed programs
    };

    ~UProgramList() override;

    // GUI thread: asks for the programs of `path`, replacing a request not yet started.
    void Request(std::string path);
    // GUI thread: hands over the newest request's answer once it is read and starts a waiting
    // one; false while nothing new is done. Answers for superseded requests are dropped.
    bool Take(Result& out);
    // GUI thread: true while a request is being read or waits.
    bool Busy() const { return reading_ || !waiting_.empty(); }
    // GUI thread: waits up to `ms` milliseconds for the current file; true when it is done.
    bool WaitFor(int ms);

protected:
    void Run() override;

private:
    void StartWaiting();

    std::string waiting_;   // GUI thread only
    bool reading_ = false;  // GUI thread only
    Result result_;         // the worker's until done_ is set, then the GUI thread's
    std::atomic<bool> done_ {false};
};
