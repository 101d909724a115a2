// What the plug-in tests need on the host's side: host state made by a player of our own, and
// MIDI events handed to the plug-in as a host hands them.
#pragma once

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>
#endif

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

#include "engine/GigaTone.h"
#include "giga/GigaPlayer.h"
#include "tools/marlet-host/VstPluginModule.h"

namespace hostside {

// The bytes of a performance of a fresh rack after `setup` has arranged its tones.
inline std::vector<std::uint8_t> HostState(const std::function<void(GigaPlayer&)>& setup)
{
    GigaPlayer player;
    player.OnInit();
    player.LeavePlayerList();  // a writer only: the loader must not load its tones
    setup(player);
    const std::size_t size = player.SaveToMemory();
    return {player.Chunk().begin(), player.Chunk().begin() + static_cast<std::ptrdiff_t>(size)};
}

// Threads of this process right now: a closed plug-in leaves none of its own behind.
inline int ThreadsOfThisProcess()
{
    int count = 0;
#ifdef _WIN32
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 thread {};
    thread.dwSize = sizeof thread;
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
        count += thread.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
#else
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/task"))
        ++count;
#endif
    return count;
}

inline VstMidiEvent Midi(int status, int data1, int data2, int delta = 0)
{
    VstMidiEvent e {};
    e.type = vst::kVstMidiType;
    e.byteSize = sizeof e;
    e.deltaFrames = delta;
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(data1);
    e.midiData[2] = static_cast<char>(data2);
    return e;
}

// Hands the events to the plug-in in one list, in order.
inline void SendEvents(VstPluginModule& module, std::vector<VstMidiEvent> midi)
{
    std::vector<char> storage(sizeof(VstEvents) + sizeof(VstEvent*) * midi.size());
    auto* list = reinterpret_cast<VstEvents*>(storage.data());
    list->numEvents = static_cast<vst::int32>(midi.size());
    for (std::size_t i = 0; i < midi.size(); ++i)
        list->events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
    module.Dispatch(vst::effProcessEvents, 0, 0, list);
}

}  // namespace hostside
