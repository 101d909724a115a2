// marlet-host: a command-line VST 2.4 host that reports on a plug-in, renders MIDI through it
// or opens its editor.
#include <exception>
#include <iostream>
#include <string_view>
#include <vector>

#include "tools/marlet-host/CommandLine.h"
#include "tools/marlet-host/PluginInfo.h"
#include "tools/marlet-host/VstPluginModule.h"

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsageError = 2;

void RunInfo(const InfoCommand& info)
{
    std::string error;
    const auto module = VstPluginModule::Load(info.plugin, error);
    if (!module) throw std::runtime_error(error);
    PluginInfo::Print(*module, info.canDo, std::cout);
    module->Close();
}

int Run(const Command& command)
{
    if (std::holds_alternative<HelpCommand>(command)) {
        std::cout << CommandLine::Usage();
    } else if (const auto* info = std::get_if<InfoCommand>(&command)) {
        RunInfo(*info);
    } else if (const auto* editor = std::get_if<EditorSession::Settings>(&command)) {
        EditorSession(*editor).Run(std::cout, std::cerr);
    } else {
        RenderJob(std::get<RenderJob::Settings>(command)).Run(std::cerr);
    }
    std::cout.flush();
    return std::cout ? kSuccess : kFailure;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    Command command;
    try {
        command = CommandLine::Parse(args);
    } catch (const CommandLine::UsageError& e) {
        std::cerr << "marlet-host: " << e.what() << "\nRun 'marlet-host --help' for usage.\n";
        return kUsageError;
    }
    try {
        return Run(command);
    } catch (const std::exception& e) {
        std::cerr << "marlet-host: error: " << e.what() << '\n';
        return kFailure;
    }
}
