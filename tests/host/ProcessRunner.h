// Runs a program to completion with its output captured, for tests of command-line tools.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

struct ProcessResult {
    int exitCode = -1;  // 128 + signal number when killed by a signal (Windows: the exception code)
    std::string out;
    std::string err;
};

class ProcessRunner {
public:
    // The child inherits the environment; its standard input is the null device.
    static ProcessResult Run(const std::string& program, const std::vector<std::string>& args);
};

}  // namespace testsupport
