// Reads the program names of a .gig file on a thread of its own, so that a large file or a slow
// disk never holds up the editor. One file at a time: a request made while a file is being read
// waits until that one is done, and only the newest waiting request is kept. Going away waits a
// moment for a file still being read, then leaves the read to end on its own
// (UBackgroundJob), so a drive that does not answer never holds up closing.
#pragma once

#include <string>
#include <vector>

#include "platform/UBackgroundJob.h"

class UProgramList {
public:
    struct Result {
        std::string path;
        bool opened = false;
        std::vector<std::string> names;  // empty names stand for unnamed programs
    };

    // GUI thread: asks for the programs of `path`, replacing a request not yet started.
    void Request(std::string path);
    // GUI thread: hands over the newest request's answer once it is read and starts a waiting
    // one; false while nothing new is done. Answers for superseded requests are dropped.
    bool Take(Result& out);
    // GUI thread: true while a request is being read or waits.
    bool Busy() const { return reading_.Pending() || !waiting_.empty(); }
    // GUI thread: waits up to `ms` milliseconds for the current file; true when it is done.
    bool WaitFor(int ms) const { return refused_ || reading_.WaitFor(ms); }

private:
    static Result Read(const std::string& path);
    void StartWaiting();

    std::string waiting_;  // GUI thread only
    UBackgroundJob<Result> reading_;
    // A request whose thread would not start, answered as a file that does not open.
    bool refused_ = false;
    std::string refusedPath_;
};
