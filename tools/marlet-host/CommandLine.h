// Parses marlet-host's command line into one of its commands. Anything wrong with it is a
// CommandLine::UsageError whose message says what and where.
#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "tools/marlet-host/EditorSession.h"
#include "tools/marlet-host/RenderJob.h"

struct HelpCommand {};

struct InfoCommand {
    std::string plugin;
    std::vector<std::string> canDo;  // asked in addition to the standard questions
};

using Command =
    std::variant<HelpCommand, InfoCommand, RenderJob::Settings, EditorSession::Settings>;

class CommandLine {
public:
    class UsageError : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    // The arguments after the program name.
    static Command Parse(std::span<const std::string_view> args);
    static const char* Usage();
};
