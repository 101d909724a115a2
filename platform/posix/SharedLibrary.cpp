#include "platform/SharedLibrary.h"

#include <dlfcn.h>

namespace platform {

SharedLibrary::~SharedLibrary()
{
    dlclose(handle_);
}

std::unique_ptr<SharedLibrary> SharedLibrary::Open(const std::string& path, std::string& error)
{
    // A bare file name would make dlopen search the library path instead of this folder.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        error = why ? why : path;  // dlerror names the file already
        return nullptr;
    }
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

void* SharedLibrary::Symbol(const char* name) const
{
    return dlsym(handle_, name);
}

}  // namespace platform
