#include "plugin/PluginEntry.h"

#include <new>

#include "plugin/KyVstAudio.h"

AEffect* CreatePluginEffect(audioMasterCallback host)
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
