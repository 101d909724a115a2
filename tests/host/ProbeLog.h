// The test plug-ins' log: one line per call, appended to the file an environment variable names
// (nothing when it is unset). Each write opens and closes the file, so the host test reads it
// at any moment.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace probelog {

inline void Write(const char* variable, const char* format, va_list args)
{
    const char* path = std::getenv(variable);
    if (!path) return;
    // Binary: the lines end in "\n" alone on every platform.
    FILE* file = std::fopen(path, "ab");
    if (!file) return;
    std::vfprintf(file, format, args);
    std::fputc('\n', file);
    std::fclose(file);
}

}  // namespace probelog
