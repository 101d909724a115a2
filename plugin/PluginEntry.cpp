#include "plugin/PluginEntry.h"

#include <new>

#include "platform/Platform.h"
#include "plugin/KyVstAudio.h"

AEffect* CreatePluginEffect(audioMasterCallback host)
{
    // A host too old to answer the version call gets nothing.
    if (!host || host(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    // The disk and loading threads outlive the instances; see PinModuleAtEntry.
    platform::PinModuleAtEntry();
    try {
        auto* plugin = new KyVstAudio(host);
        return plugin->getAeffect();
    } catch (const std::exception&) {
        return nullptr;
    }
}
