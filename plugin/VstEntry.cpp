// The library's only two exported symbols: the entry under its modern and its old name.
#include "plugin/PluginEntry.h"

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host)
{
    return CreatePluginEffect(host);
}

// Older hosts look for "main"; it is the same code.
extern "C" AEffect* VSTPluginMainLegacy(audioMasterCallback host) __asm__("main")
    __attribute__((alias("VSTPluginMain"), visibility("default")));
