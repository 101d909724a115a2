// The library's only two exported symbols: the entry under its modern and its old name.
#include <new>

#include "plugin/KyVstAudio.h"

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host)
{
    // A host too old to answer the version call gets nothing.
    if (!host || host(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    try {
        auto* plugin = new KyVstAudio(host);
        return plugin->getAeffect();
    } catch (const std::exception&) {
        return nullptr;
    }
}

// Older hosts look for "main"; it is the same code.
extern "C" AEffect* VSTPluginMainLegacy(audioMasterCallback host) __asm__("main")
    __attribute__((alias("VSTPluginMain"), visibility("default")));
