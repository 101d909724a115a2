// The plug-ins and libraries the host tests load.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <sndfile.h>
#endif

#include <filesystem>
#include <string>

namespace testplugins {

inline const std::string kMarlet = MARLET_PLUGIN_PATH;
inline const std::string kProbe = MARLET_PROBE_PATH;
// A third-party VST 2.4 synth from the dpf-plugins-vst package, with one mono output.
inline const std::string kNekobi = "/usr/lib/vst/Nekobi-vst.so";

// Debian packages it for Linux alone: under Wine the path may exist, but holds no Windows DLL.
inline bool HaveNekobi()
{
#ifdef _WIN32
    return false;
#else
    return std::filesystem::exists(kNekobi);
#endif
}

// A shared library that is certainly present but is no plug-in: libsndfile, which the tests link
// on Linux, and kernel32.dll on Windows.
inline std::string NonPluginLibrary()
{
#ifdef _WIN32
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(GetModuleHandleA("kernel32.dll"), path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? path : "";
#else
    Dl_info info {};
    dladdr(reinterpret_cast<void*>(&sf_version_string), &info);
    return info.dli_fname ? info.dli_fname : "";
#endif
}

// Why the Nekobi cases skip.
inline std::string NekobiMissing()
{
#ifdef _WIN32
    return "the third-party synth is packaged for Linux only";
#else
    return kNekobi + " is missing (install the dpf-plugins-vst package)";
#endif
}

}  // namespace testplugins

#define SKIP_WITHOUT_NEKOBI() \
    if (!testplugins::HaveNekobi()) GTEST_SKIP() << testplugins::NekobiMissing()
