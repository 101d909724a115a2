// Another program, started without waiting for it. Its standard output is gathered as it comes
// (up to kMaxOutput bytes), and the program is ended and reaped when the object goes, so a
// program that hangs never holds up the thread that started it. The file dialogs run so.
#pragma once

#include <string>
#include <vector>

namespace platform {

class ChildProcess {
public:
    static constexpr std::size_t kMaxOutput = 1 << 20;

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `program` (looked up on PATH) with `args` (bytes, passed as they are); its standard
    // input and error are the null device. False when it cannot be started, or one runs already.
    bool Start(const std::string& program, const std::vector<std::string>& args);
    // Takes what the program wrote since the last call, without waiting. True once the program
    // has ended and all its output is in.
    bool Poll();
    bool Running() const { return pid_ > 0; }
    // After the end: the exit status, or -1 when a signal ended it.
    int ExitCode() const { return exitCode_; }
    // More than kMaxOutput bytes came: the rest was dropped.
    bool OutputCut() const { return outputCut_; }
    const std::string& Output() const { return output_; }
    // Ends the program (asked first, then forced), reaps it and closes the pipe.
    void Stop();
    // The process id while it runs, 0 otherwise (for tests and logs).
    long Id() const { return pid_ > 0 ? pid_ : 0; }

    // The full path of `program` on PATH, empty when there is none.
    static std::string Find(const std::string& program);
    // Starts a program that runs on by itself (a web browser): nobody waits for it, and it
    // leaves no process behind to be reaped.
    static bool StartDetached(const std::string& program, const std::vector<std::string>& args);

private:
    void Drain();
    void Reap(int status);

    long pid_ = 0;
    int pipe_ = -1;
    int exitCode_ = -1;
    bool outputCut_ = false;
    std::string output_;
};

}  // namespace platform
