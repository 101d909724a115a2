// ProcessRunner on Windows: CreateProcessW with the output going to files, as on Linux, so a
// chatty child can never block on a full pipe. Console programs end their lines with "\r\n"
// here; the output is read back as text, as a C program reading the child in text mode would.
#include <windows.h>

#include "fixtures/TempFolder.h"
#include "platform/win32/WideText.h"
#include "tests/host/ProcessRunner.h"

namespace testsupport {
namespace {

// One argument quoted so that the child's C runtime splits it back unchanged: backslashes
// count only before a quote, where each is doubled.
std::wstring Quoted(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::string AsText(const std::vector<char>& bytes)
{
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] != '\r' || i + 1 == bytes.size() || bytes[i + 1] != '\n') text += bytes[i];
    return text;
}

class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~Handle()
    {
        if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

HANDLE OpenInherited(const std::string& path, DWORD access, DWORD disposition)
{
    SECURITY_ATTRIBUTES inherit {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(platform::Widen(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

ProcessResult ProcessRunner::Run(const std::string& program, const std::vector<std::string>& args)
{
    ProcessResult result;
    TempFolder folder;
    const std::string out = folder.File("stdout"), err = folder.File("stderr");
    {
        Handle in(OpenInherited("NUL", GENERIC_READ, OPEN_EXISTING));
        Handle outFile(OpenInherited(out, GENERIC_WRITE, CREATE_ALWAYS));
        Handle errFile(OpenInherited(err, GENERIC_WRITE, CREATE_ALWAYS));
        if (!in.valid() || !outFile.valid() || !errFile.valid()) {
            result.err = "cannot redirect the output of " + program;
            return result;
        }
        std::wstring commandLine = Quoted(platform::Widen(program));
        for (const auto& arg : args) commandLine += L" " + Quoted(platform::Widen(arg));

        STARTUPINFOW startup {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in.get();
        startup.hStdOutput = outFile.get();
        startup.hStdError = errFile.get();
        PROCESS_INFORMATION process {};
        if (!CreateProcessW(platform::Widen(program).c_str(), commandLine.data(), nullptr, nullptr,
                            TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
            result.err = "cannot start " + program;
            return result;
        }
        Handle processHandle(process.hProcess), thread(process.hThread);
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.exitCode = static_cast<int>(code);
    }
    result.out = AsText(ReadFileBytes(out));
    result.err = AsText(ReadFileBytes(err));
    return result;
}

}  // namespace testsupport
