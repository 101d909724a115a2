#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string_view>
#include <thread>

extern char** environ;

namespace platform {

namespace {

constexpr int kStopWaitMs = 200;

// argv for exec: the strings stay owned by `args`.
std::vector<char*> Argv(const std::string& program, const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    argv.reserve(args.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    return argv;
}

}  // namespace

ChildProcess::~ChildProcess()
{
    Stop();
}

std::string ChildProcess::Find(const std::string& program)
{
    if (program.empty()) return {};
    const auto executable = [](const std::string& path) {
        struct stat info {};
        return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
               access(path.c_str(), X_OK) == 0;
    };
    if (program.find('/') != std::string::npos) return executable(program) ? program : "";
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/bin:/bin";
    while (true) {
        const std::size_t colon = rest.find(':');
        std::string_view folder = rest.substr(0, colon);
        if (folder.empty()) folder = ".";
        std::string candidate;
        candidate.reserve(folder.size() + 1 + program.size());
        candidate.append(folder).append(1, '/').append(program);
        if (executable(candidate)) return candidate;
        if (colon == std::string_view::npos) return {};
        rest.remove_prefix(colon + 1);
    }
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args)
{
    if (Running()) return false;
    const std::string path = Find(program);
    if (path.empty()) return false;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // Its own process group, so that Stop reaches whatever the program started in turn.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    std::vector<char*> argv = Argv(path, args);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, path.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(fds[1]);
    if (error != 0) {
        close(fds[0]);
        return false;
    }
    fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    pid_ = pid;
    pipe_ = fds[0];
    exitCode_ = -1;
    outputCut_ = false;
    output_.clear();
    return true;
}

void ChildProcess::Drain()
{
    if (pipe_ < 0) return;
    char buffer[4096];
    while (true) {
        const ssize_t got = read(pipe_, buffer, sizeof buffer);
        if (got > 0) {
            const std::size_t room = kMaxOutput - output_.size();
            if (static_cast<std::size_t>(got) > room) outputCut_ = true;
            output_.append(buffer, std::min(room, static_cast<std::size_t>(got)));
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got == 0) {  // the writing end is closed: all output is in
            close(pipe_);
            pipe_ = -1;
        }
        return;
    }
}

void ChildProcess::Reap(int status)
{
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    pid_ = 0;
}

bool ChildProcess::Poll()
{
    Drain();
    if (pid_ > 0) {
        int status = 0;
        const pid_t done = waitpid(static_cast<pid_t>(pid_), &status, WNOHANG);
        if (done == pid_)
            Reap(status);
        else if (done < 0 && errno == ECHILD)
            pid_ = 0;  // reaped elsewhere
    }
    // A child of the program may still hold the pipe: its output counts until it lets go.
    if (pid_ == 0) Drain();
    return pid_ == 0 && pipe_ < 0;
}

void ChildProcess::Stop()
{
    if (pid_ > 0) {
        const auto pid = static_cast<pid_t>(pid_);
        kill(-pid, SIGTERM);
        int status = 0;
        pid_t done = 0;
        for (int waited = 0; waited < kStopWaitMs; waited += 10) {
            done = waitpid(pid, &status, WNOHANG);
            if (done != 0) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (done == 0) {
            kill(-pid, SIGKILL);
            done = waitpid(pid, &status, 0);
        }
        if (done == pid) Reap(status);
        pid_ = 0;
    }
    if (pipe_ >= 0) {
        close(pipe_);
        pipe_ = -1;
    }
}

bool ChildProcess::StartDetached(const std::string& program, const std::vector<std::string>& args)
{
    const std::string path = Find(program);
    if (path.empty()) return false;
    // Everything the forked children touch is made before the fork: between fork and exec
    // only async-signal-safe calls are allowed in a process with threads.
    std::vector<char*> argv = Argv(path, args);
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        // The child starts the program in a new session and ends at once, so the program is
        // adopted by init and never needs reaping by us.
        setsid();
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            const int null = open("/dev/null", O_RDWR);
            if (null >= 0) {
                dup2(null, 0);
                dup2(null, 1);
                dup2(null, 2);
            }
            execve(path.c_str(), argv.data(), environ);
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
