// A shared library loaded at run time (a plug-in, for the host tool and the tests).
#pragma once

#include <memory>
#include <string>

namespace platform {

class SharedLibrary {
public:
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Loads the library at `path` (a bare file name means the current folder, not the system's
    // search path); nullptr with the system's reason in `error` on failure.
    static std::unique_ptr<SharedLibrary> Open(const std::string& path, std::string& error);
    // The address of an exported symbol, nullptr when there is none.
    void* Symbol(const char* name) const;

private:
    explicit SharedLibrary(void* handle) : handle_(handle) {}
    void* handle_;
};

}  // namespace platform
