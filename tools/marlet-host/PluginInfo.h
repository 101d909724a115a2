// The `info` command's report: what a plug-in says about itself, one "key: value" per line.
#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>

class VstPluginModule;

class PluginInfo {
public:
    // Asked of every plug-in; `--can-do` adds more.
    static constexpr const char* kStandardCanDo[] = {"receiveVstEvents",
                                                     "receiveVstMidiEvent",
                                                     "LiveWithoutToolbar",
                                                     "sendVstEvents",
                                                     "offline",
                                                     "bypass"};

    // Opens the plug-in (effOpen) and prints its answers. The caller closes it.
    static void Print(VstPluginModule& module, std::span<const std::string> extraCanDo,
                      std::ostream& out);

    // A unique ID as its four characters, first from the most significant byte; bytes that are
    // not printable appear as \xNN.
    static std::string FourCharacters(std::int32_t id);
};
