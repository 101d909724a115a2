#include "tests/support/VirtualDisplay.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

namespace testsupport {
namespace {

using Clock = std::chrono::steady_clock;

// The fd the server is told to write its display number to.
constexpr int kNumberFd = 3;

// How a reaped process ended, for messages.
std::string Ending(int status)
{
    if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}

// An unnamed file for the server's output: nothing is left behind, however the test ends.
int TemporaryFile()
{
    std::string name = (std::filesystem::temp_directory_path() / "marlet-xvfb-XXXXXX").string();
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) unlink(name.c_str());
    return fd;
}

}  // namespace

std::string VirtualDisplay::FindServer()
{
    const char* path = std::getenv("PATH");
    std::string folders = path && *path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string folder = folders.substr(start, end - start);
        const std::string candidate = (folder.empty() ? "." : folder) + "/Xvfb";
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return {};
}

VirtualDisplay::VirtualDisplay(const std::string& server)
{
    log_ = TemporaryFile();
    int number[2] = {-1, -1};
    const int nothing = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (log_ < 0 || nothing < 0 || pipe2(number, O_CLOEXEC) != 0) {
        error_ = "cannot prepare to start " + server + ": " + std::strerror(errno);
        if (nothing >= 0) close(nothing);
        return;
    }
    const std::string fdText = std::to_string(kNumberFd);
    std::vector<const char*> argv = {server.c_str(), "-displayfd", fdText.c_str(), "-nolisten",
                                     "tcp",          "-noreset",   "-screen",      "0",
                                     kScreen,        nullptr};
    const pid_t parent = getpid();
    pid_t pid = fork();
    if (pid == 0) {
        // Only async-signal-safe calls from here to exec. The server ends with the thread that
        // started it (the test program's main thread), should that end without stopping it.
        if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent) _exit(127);
        // Out of the way of 0 to 3 first, whatever numbers the three descriptors have.
        const int in = fcntl(nothing, F_DUPFD, 10);
        const int out = fcntl(log_, F_DUPFD, 10);
        const int tell = fcntl(number[1], F_DUPFD, 10);
        if (in < 0 || out < 0 || tell < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 ||
            dup2(out, 2) < 0 || dup2(tell, kNumberFd) < 0)
            _exit(127);
        close_range(kNumberFd + 1, ~0u, 0);  // nothing else of the test's goes with the server
        execv(server.c_str(), const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    close(nothing);
    close(number[1]);
    if (pid < 0) {
        error_ = "cannot start " + server + ": " + std::strerror(errno);
        close(number[0]);
        return;
    }
    pid_ = pid;
    const bool told = ReadNumber(number[0]);
    close(number[0]);
    if (told) return;
    const std::string output = Output();
    error_ += " (" + Stop() + "); its output:\n" + (output.empty() ? "(none)" : output);
}

VirtualDisplay::~VirtualDisplay()
{
    Stop();
    if (log_ >= 0) close(log_);
}

bool VirtualDisplay::ReadNumber(int fd)
{
    const auto end = Clock::now() + kStartDeadline;
    std::string text;
    while (text.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0) {
            error_ =
                "Xvfb reported no display within " + std::to_string(kStartDeadline.count()) + " s";
            return false;
        }
        pollfd ready {fd, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(left.count())) <= 0) continue;  // time or EINTR
        char bytes[32];
        const ssize_t got = read(fd, bytes, sizeof bytes);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            error_ = "Xvfb ended before it reported a display";
            return false;
        }
        text.append(bytes, static_cast<std::size_t>(got));
    }
    const std::string digits = text.substr(0, text.find('\n'));
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) {
        error_ = "Xvfb reported a display number that is none: \"" + digits + "\"";
        return false;
    }
    name_ = ":" + digits;
    return true;
}

std::string VirtualDisplay::Output() const
{
    std::string text(4096, '\0');
    const ssize_t got = log_ >= 0 ? pread(log_, text.data(), text.size(), 0) : -1;
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

std::string VirtualDisplay::Stop()
{
    if (pid_ <= 0) return "not running";
    // Asked first, so that the server removes its lock and socket files.
    kill(pid_, SIGTERM);
    const auto end = Clock::now() + kStartDeadline;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done < 0 && errno != EINTR) {
            pid_ = -1;
            return "reaped elsewhere";
        }
        if (done == pid_) break;
        if (Clock::now() >= end) {
            kill(pid_, SIGKILL);
            while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
    name_.clear();
    return Ending(status);
}

}  // namespace testsupport
