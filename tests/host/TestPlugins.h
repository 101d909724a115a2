// The plug-ins and libraries the host tests load.
#pragma once

#include <dlfcn.h>
#include <sndfile.h>

#include <filesystem>
#include <string>

namespace testplugins {

inline const std::string kMarlet = MARLET_PLUGIN_PATH;
inline const std::string kProbe = MARLET_PROBE_PATH;
// A third-party VST 2.4 synth from the dpf-plugins-vst package, with one mono output.
inline const std::string kNekobi = "/usr/lib/vst/Nekobi-vst.so";

inline bool HaveNekobi()
{
    return std::filesystem::exists(kNekobi);
}

// A shared library that is certainly present but is no plug-in: libsndfile, which the tests link.
inline std::string NonPluginLibrary()
{
    Dl_info info {};
    dladdr(reinterpret_cast<void*>(&sf_version_string), &info);
    return info.dli_fname ? info.dli_fname : "";
}

}  // namespace testplugins

#define SKIP_WITHOUT_NEKOBI()       \
    if (!testplugins::HaveNekobi()) \
    GTEST_SKIP() << testplugins::kNekobi << " is missing (install the dpf-plugins-vst package)"
