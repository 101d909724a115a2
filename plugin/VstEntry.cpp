// The library's only two exported symbols: the entry under its modern and its old name.
#include "plugin/PluginEntry.h"

// Windows takes the exports from marlet.def; elsewhere everything is hidden but these two.
#ifdef _WIN32
#include <windows.h>

#include "platform/Platform.h"

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

#ifdef _WIN32
// The runtime calls this before it runs the library's statics at detach. A detach with a
// reserved pointer is the process ending (the library is pinned, so never an unload): the
// system has already stopped our threads, and the statics must leave their objects be.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_DETACH && reserved) platform::MarkProcessEnding();
    return TRUE;
}
#endif
