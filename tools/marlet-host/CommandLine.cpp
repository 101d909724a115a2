#include "tools/marlet-host/CommandLine.h"

#include <functional>
#include <map>
#include <set>

#include "tools/marlet-host/TextNumbers.h"

namespace {

using UsageError = CommandLine::UsageError;

// Options of one command: a handler per name; repeatable ones may appear more than once.
struct OptionTable {
    struct Option {
        std::function<void(std::string_view)> take;
        bool repeatable = false;
        bool flag = false;  // takes no value
    };
    std::map<std::string, Option, std::less<>> options;
    std::function<void(std::string_view)> positional;
};

// Walks the arguments, accepting both "--name value" and "--name=value".
void Walk(std::span<const std::string_view> args, const OptionTable& table)
{
    std::set<std::string, std::less<>> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            table.positional(arg);
            continue;
        }
        const auto equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        const auto option = table.options.find(name);
        if (option == table.options.end()) throw UsageError("unknown option " + std::string(name));
        if (!option->second.repeatable && !seen.emplace(name).second)
            throw UsageError(std::string(name) + " is given twice");
        std::string_view value;
        if (option->second.flag) {
            if (equals != std::string_view::npos)
                throw UsageError(std::string(name) + " takes no value");
        } else if (equals != std::string_view::npos)
            value = arg.substr(equals + 1);
        else if (i + 1 < args.size())
            value = args[++i];
        else
            throw UsageError(std::string(name) + " needs a value");
        option->second.take(value);
    }
}

std::int64_t Integer(std::string_view name, std::string_view text, std::int64_t min,
                     std::int64_t max)
{
    const auto value = textnumbers::ParseInteger(text);
    if (!value || *value < min || *value > max)
        throw UsageError(std::string(name) + " must be a whole number from " + std::to_string(min) +
                         " to " + std::to_string(max) + " (got \"" + std::string(text) + "\")");
    return *value;
}

double Real(std::string_view name, std::string_view text, double min, double max, bool minIncluded)
{
    const auto value = textnumbers::ParseReal(text);
    if (!value || *value < min || (!minIncluded && *value == min) || *value > max)
        throw UsageError(
            std::string(name) + " must be a number " + (minIncluded ? "from " : "above ") +
            std::to_string(static_cast<long>(min)) + (minIncluded ? " to " : " and at most ") +
            std::to_string(static_cast<long>(max)) + " (got \"" + std::string(text) + "\")");
    return *value;
}

std::function<void(std::string_view)> TakePlugin(std::string& plugin)
{
    return [&plugin](std::string_view arg) {
        if (!plugin.empty()) throw UsageError("unexpected argument \"" + std::string(arg) + "\"");
        plugin = arg;
    };
}

InfoCommand ParseInfo(std::span<const std::string_view> args)
{
    InfoCommand info;
    OptionTable table;
    table.positional = TakePlugin(info.plugin);
    table.options["--can-do"] = {[&](std::string_view v) { info.canDo.emplace_back(v); }, true};
    Walk(args, table);
    if (info.plugin.empty()) throw UsageError("info needs the path of a plug-in");
    return info;
}

RenderJob::Settings ParseRender(std::span<const std::string_view> args)
{
    RenderJob::Settings s;
    OptionTable table;
    table.positional = TakePlugin(s.plugin);
    auto text = [](std::optional<std::string>& into) {
        return OptionTable::Option {[&into](std::string_view v) { into = std::string(v); }};
    };
    table.options["--out"] = {[&](std::string_view v) { s.out = v; }};
    table.options["--midi"] = text(s.midiFile);
    table.options["--chunk"] = text(s.loadChunk);
    table.options["--save-chunk"] = text(s.saveChunk);
    table.options["--notes"] = {[&](std::string_view v) {
        try {
            s.notes = NoteList::Parse(v);
        } catch (const std::invalid_argument& e) {
            throw UsageError(std::string("--notes: ") + e.what());
        }
    }};
    table.options["--rate"] = {[&](std::string_view v) {
        s.sampleRate = static_cast<int>(Integer("--rate", v, 8000, 384000));
    }};
    table.options["--block"] = {[&](std::string_view v) {
        s.blockSize = static_cast<std::int32_t>(Integer("--block", v, 1, 8192));
    }};
    table.options["--bus"] = {
        [&](std::string_view v) { s.bus = static_cast<int>(Integer("--bus", v, 0, 511)); }};
    table.options["--seconds"] = {
        [&](std::string_view v) { s.seconds = Real("--seconds", v, 0, 36000, false); }};
    table.options["--tail"] = {
        [&](std::string_view v) { s.tail = Real("--tail", v, 0, 3600, true); }};
    Walk(args, table);

    if (s.plugin.empty()) throw UsageError("render needs the path of a plug-in");
    if (s.out.empty()) throw UsageError("render needs --out FILE.wav");
    if (s.midiFile && s.notes) throw UsageError("--midi and --notes cannot be used together");
    return s;
}

EditorSession::Settings ParseEditor(std::span<const std::string_view> args)
{
    EditorSession::Settings s;
    OptionTable table;
    table.positional = TakePlugin(s.plugin);
    auto text = [](std::optional<std::string>& into) {
        return OptionTable::Option {[&into](std::string_view v) { into = std::string(v); }};
    };
    table.options["--chunk"] = text(s.loadChunk);
    table.options["--save-chunk"] = text(s.saveChunk);
    table.options["--audio"] = text(s.audio);
    table.options["--snap"] = text(s.snap);
    table.options["--actions"] = text(s.actions);
    table.options["--display"] = {[&](std::string_view v) { s.display = v; }};
    // 0 opens and closes at once, or with --until-done lets the script alone decide.
    table.options["--seconds"] = {
        [&](std::string_view v) { s.seconds = Real("--seconds", v, 0, 36000, true); }};
    table.options["--cycles"] = {[&](std::string_view v) {
        s.cycles = static_cast<int>(Integer("--cycles", v, 1, 100000));
    }};
    table.options["--until-done"] = {[&](std::string_view) { s.untilDone = true; }, false, true};
    Walk(args, table);
    if (s.plugin.empty()) throw UsageError("editor needs the path of a plug-in");
    if (s.untilDone && !s.actions) throw UsageError("--until-done needs --actions");
    return s;
}

bool IsHelpOption(std::string_view arg)
{
    return arg == "--help" || arg == "-h";
}

}  // namespace

Command CommandLine::Parse(std::span<const std::string_view> args)
{
    if (args.empty()) throw UsageError("no command given");
    if (args[0] == "help") return HelpCommand {};
    for (const auto arg : args)
        if (IsHelpOption(arg)) return HelpCommand {};
    const auto rest = args.subspan(1);
    if (args[0] == "info") return ParseInfo(rest);
    if (args[0] == "render") return ParseRender(rest);
    if (args[0] == "editor") return ParseEditor(rest);
    throw UsageError("unknown command \"" + std::string(args[0]) + "\"");
}

const char* CommandLine::Usage()
{
    return R"(Usage:
  marlet-host info PLUGIN [--can-do TEXT]...
  marlet-host render PLUGIN --out FILE.wav [--midi FILE.mid | --notes LIST] [options]
  marlet-host editor PLUGIN [options]
  marlet-host --help

info     prints what a VST 2.4 plug-in says about itself, one "key: value" per line.
  --can-do TEXT      also ask the plug-in this canDo question (repeatable)

render   plays MIDI through the plug-in offline and writes a 32-bit float WAV file.
  --out FILE.wav     the file to write
  --midi FILE.mid    a standard MIDI file, format 0 or 1
  --notes LIST       notes as start:channel:key:velocity:length[,...]; times in seconds,
                     channels 0-15, keys 0-127, velocities 1-127
  --rate HZ          sample rate, 8000-384000 (default 44100)
  --block N          frames per process call, 1-8192 (default 512)
  --seconds S        length of the file (default: end of the music plus the tail)
  --tail S           time added after the music (default 1.0)
  --chunk FILE       restore the plug-in's state from this chunk before playing
  --save-chunk FILE  save the plug-in's state chunk after playing
  --bus N            write only outputs 2N and 2N+1 as a stereo file (default: all outputs)

editor   opens the plug-in's editor in a window of its own, as a host does (on Linux it needs
         an X display), and prints "editor: WIDTHxHEIGHT".
  --seconds S        how long the editor stays open each time (default 2)
  --cycles N         open and close the editor N times (default 1)
  --until-done       keep each open going past --seconds until the --actions script has
                     played to its end
  --chunk FILE       restore the plug-in's state from this chunk before the editor opens
  --save-chunk FILE  save the plug-in's state chunk after the editor has closed
  --audio FILE.wav   run an audio thread in real time while the editor is open and record
                     every output to this file
  --snap FILE.png    write the editor's pixels as a PNG just before the last close
  --actions FILE     play this input script into the editor at each open, one action a line
                     (coordinates in the editor's pixels, times in milliseconds):
                       wait MS                  click X Y [left|middle|right]
                       move X Y                 press X Y [button] / release X Y [button]
                       double X Y               drag X1 Y1 X2 Y2 [MS]
                       wheel X Y STEPS          (positive: up, negative: down)
                       key CHORD...             e.g. key a  key ctrl+c  key Return  key shift+Tab
                       type TEXT                (printable ASCII)
                       until X Y [!]RRGGBB [MS] wait until the pixel is (! no longer) that
                                                colour; fails after MS (default 30000)
                       until-file PATH [MS]     wait until the file exists
                       # comment
                     see ACTIONS.md beside the sources for the key names
  --display NAME     the X display to use (default: $DISPLAY; not used on Windows)

Exit status: 0 success, 1 failure while running, 2 bad command line.
)";
}
