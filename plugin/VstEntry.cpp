// The library's only two exported symbols: the entry under its modern and its old name.
#include "plugin/PluginEntry.h"

// Windows takes the exports from marlet.def; elsewhere everything is hidden but these two.
#ifdef _WIN32
#define MARLET_ENTRY
#else
#define MARLET_ENTRY __attribute__((visibility("default")))
#endif

extern "C" MARLET_ENTRY AEffect* VSTPluginMain(audioMasterCallback host)
{
    return CreatePluginEffect(host);
}

// Older hosts look for "main"; it is the same code.
extern "C" AEffect* VSTPluginMainLegacy(audioMasterCallback host) __asm__("main")
    __attribute__((alias("VSTPluginMain"))) MARLET_ENTRY;
