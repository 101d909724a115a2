// A virtual X server (Xvfb) that belongs to one test program. It starts with -displayfd: the
// server takes a free display itself and writes its number once clients can connect, so no
// number is guessed and two programs started side by side never share a display (nor receive
// each other's XTest input). The server goes with this object: stopped by its process id and
// reaped. Should the test program die first, the kernel stops the server too.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

namespace testsupport {

class VirtualDisplay {
public:
    // The screen of every test display: room for the editor and its menus at scale 1.
    static constexpr const char* kScreen = "1024x768x24";
    // Generous: a machine busy with other builds and tests is slow to start a server.
    static constexpr std::chrono::seconds kStartDeadline {30};

    // The Xvfb program on PATH; empty when it is not installed.
    static std::string FindServer();

    // Starts `server` and waits for its display; on failure Name() is empty and Error() says
    // what went wrong, with the server's own output.
    explicit VirtualDisplay(const std::string& server);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // The display for DISPLAY, e.g. ":3".
    const std::string& Name() const { return name_; }
    const std::string& Error() const { return error_; }

private:
    // Reads the display number the server writes to `fd`; false with error_ set on failure.
    bool ReadNumber(int fd);
    // What the server printed so far.
    std::string Output() const;
    // Stops the server and reaps it; says how it ended.
    std::string Stop();

    pid_t pid_ = -1;
    int log_ = -1;  // the server's output, an unnamed temporary file
    std::string name_;
    std::string error_;
};

}  // namespace testsupport
