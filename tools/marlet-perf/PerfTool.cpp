#include "tools/marlet-perf/PerfTool.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <ostream>

#include "engine/GigaTone.h"
#include "gig/GigaBank.h"
#include "gig/GigaProgram.h"
#include "giga/GigaPlayer.h"

namespace {

constexpr int kMaxPathBytes = 511;  // what a reader of the file accepts
constexpr int kMaxCents = 12700;
constexpr int kPluginBuses = 16;  // as the plug-in sets up its player

constexpr const char* kUsageText =
    "usage:\n"
    "  marlet-perf new FILE.mrp\n"
    "  marlet-perf set FILE.mrp --tone N [--gig PATH --program P] [--channel C] [--bus B]\n"
    "                          [--volume V] [--pan P] [--tune T]\n"
    "  marlet-perf add-layer FILE.mrp --tone N --gig PATH --program P [--keys LOW-HIGH]\n"
    "                          [--offset K]\n"
    "  marlet-perf select FILE.mrp --tone N --mode MODE [--ks-low K]\n"
    "  marlet-perf show FILE.mrp\n"
    "  marlet-perf programs FILE.gig\n"
    "MODE: none, velocity, key-switch, round-robin, random, program-change or a controller 1-127\n";

bool ParseInt(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

bool ParseMode(const std::string& text, int& mode)
{
    static const std::map<std::string, int> kModes = {
        {"none", GigaTone::kSelectNone},
        {"velocity", GigaTone::kSelectVelocity},
        {"key-switch", GigaTone::kSelectKeySwitch},
        {"round-robin", GigaTone::kSelectRoundRobin},
        {"random", GigaTone::kSelectRandom},
        {"program-change", GigaTone::kSelectProgramChange},
    };
    if (auto it = kModes.find(text); it != kModes.end()) {
        mode = it->second;
        return true;
    }
    return ParseInt(text, mode) && mode >= 0 && mode <= 127;
}

const char* ModeName(int mode)
{
    switch (mode) {
        case GigaTone::kSelectNone:
            return "none";
        case GigaTone::kSelectVelocity:
            return "velocity";
        case GigaTone::kSelectKeySwitch:
            return "key-switch";
        case GigaTone::kSelectRoundRobin:
            return "round-robin";
        case GigaTone::kSelectRandom:
            return "random";
        case GigaTone::kSelectProgramChange:
            return "program-change";
        default:
            return "control-change";
    }
}

}  // namespace

int PerfTool::Usage(const std::string& problem)
{
    if (!problem.empty()) err_ << "marlet-perf: " << problem << "\n";
    err_ << kUsageText;
    return kUsage;
}

int PerfTool::Run(const std::vector<std::string>& args)
{
    if (args.size() < 2) return Usage(args.empty() ? "" : "missing file");
    const std::string& command = args[0];
    const std::string& file = args[1];
    const std::vector<std::string> rest(args.begin() + 2, args.end());
    const auto parse = [&](const std::vector<std::string>& allowed) {
        return ParseOptions(rest, allowed);
    };
    if (command == "new") return parse({}) ? New(file) : kUsage;
    if (command == "set")
        return parse({"tone", "gig", "program", "channel", "bus", "volume", "pan", "tune"})
                   ? Set(file)
                   : kUsage;
    if (command == "add-layer")
        return parse({"tone", "gig", "program", "keys", "offset"}) ? AddLayer(file) : kUsage;
    if (command == "select") return parse({"tone", "mode", "ks-low"}) ? Select(file) : kUsage;
    if (command == "show") return parse({}) ? Show(file) : kUsage;
    if (command == "programs") return parse({}) ? Programs(file) : kUsage;
    return Usage("unknown command " + command);
}

bool PerfTool::ParseOptions(const std::vector<std::string>& args,
                            const std::vector<std::string>& allowed)
{
    options_.clear();
    for (std::size_t i = 0; i < args.size(); i += 2) {
        const std::string& arg = args[i];
        const std::string name = arg.starts_with("--") ? arg.substr(2) : std::string();
        if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) {
            Usage("unexpected argument " + arg);
            return false;
        }
        if (i + 1 >= args.size()) {
            Usage("missing value for " + arg);
            return false;
        }
        options_[name] = args[i + 1];
    }
    return true;
}

bool PerfTool::Number(const std::string& name, int low, int high, int& value)
{
    if (ParseInt(options_.at(name), value) && value >= low && value <= high) return true;
    err_ << "marlet-perf: --" << name << " must be a number from " << low << " to " << high << "\n";
    return false;
}

bool PerfTool::GigPath(std::string& path)
{
    std::error_code error;
    // Performances refer to instruments by full path.
    path = std::filesystem::absolute(options_.at("gig"), error).lexically_normal().string();
    if (error || path.size() > kMaxPathBytes) {
        err_ << "marlet-perf: the path of --gig is too long or invalid\n";
        return false;
    }
    return true;
}

bool PerfTool::Open(GigaPlayer& player, const std::string& file)
{
    player.OnInit();
    player.SetOutputBusCount(kPluginBuses);
    if (player.Load(file)) return true;
    err_ << "marlet-perf: " << file << " is not a readable performance\n";
    return false;
}

bool PerfTool::Write(GigaPlayer& player, const std::string& file)
{
    if (player.Save(file)) return true;
    err_ << "marlet-perf: cannot write " << file << "\n";
    return false;
}

GigaTone* PerfTool::ToneOption(GigaPlayer& player)
{
    int index = 0;
    if (!Has("tone")) {
        Usage("--tone is required");
        return nullptr;
    }
    return Number("tone", 0, 15, index) ? player.Giga(index) : nullptr;
}

int PerfTool::New(const std::string& file)
{
    GigaPlayer player;
    player.OnInit();
    return Write(player, file) ? kSuccess : kFailure;
}

int PerfTool::Set(const std::string& file)
{
    if (Has("gig") != Has("program")) return Usage("--gig and --program go together");
    GigaPlayer player;
    if (!Open(player, file)) return kFailure;
    GigaTone* tone = ToneOption(player);
    if (!tone) return kUsage;
    int channel = tone->MidiChannel(), bus = tone->OutputBus(), volume = tone->Volume();
    int pan = tone->Pan(), tune = tone->Tune(), program = 0;
    std::string gig;
    if ((Has("channel") && !Number("channel", 0, 15, channel)) ||
        (Has("bus") && !Number("bus", 0, 15, bus)) ||
        (Has("volume") && !Number("volume", 0, 127, volume)) ||
        (Has("pan") && !Number("pan", 0, 127, pan)) ||
        (Has("tune") && !Number("tune", -kMaxCents, kMaxCents, tune)) ||
        (Has("program") && !Number("program", 0, 8191, program)) || (Has("gig") && !GigPath(gig)))
        return kUsage;
    if (!gig.empty()) {
        // The tone's stack is replaced: the load pass drops the cleared layers at once (no
        // file is opened for them), then the new program is the only layer.
        tone->Clear();
        tone->LoadPass();
        tone->AddLayer(gig, program);
    }
    tone->SetMidiChannel(channel);
    tone->SetOutputBus(bus);
    tone->SetVolume(volume);
    tone->SetPan(pan);
    tone->SetTune(tune);
    return Write(player, file) ? kSuccess : kFailure;
}

int PerfTool::AddLayer(const std::string& file)
{
    if (!Has("gig") || !Has("program")) return Usage("--gig and --program are required");
    GigaPlayer player;
    if (!Open(player, file)) return kFailure;
    GigaTone* tone = ToneOption(player);
    std::string gig;
    int program = 0, offset = 0, low = 0, high = 0;
    if (!tone || !GigPath(gig) || !Number("program", 0, 8191, program) ||
        (Has("offset") && !Number("offset", -127, 127, offset)))
        return kUsage;
    if (Has("keys")) {
        const std::string& keys = options_.at("keys");
        const std::size_t dash = keys.find('-', 1);
        if (dash == std::string::npos || !ParseInt(keys.substr(0, dash), low) ||
            !ParseInt(keys.substr(dash + 1), high) || low < 0 || high > 127 || low > high)
            return Usage("--keys must be LOW-HIGH within 0-127");
    }
    GigaPart* layer = tone->AddLayer(gig, program);
    if (!layer) {
        err_ << "marlet-perf: tone " << tone->ToneIndex() << " already has 16 layers\n";
        return kFailure;
    }
    layer->keyLow = low;
    layer->keyHigh = high;
    layer->keyOffset = offset;
    return Write(player, file) ? kSuccess : kFailure;
}

int PerfTool::Select(const std::string& file)
{
    if (!Has("mode")) return Usage("--mode is required");
    int mode = 0, ksLow = 0;
    if (!ParseMode(options_.at("mode"), mode)) return Usage("unknown --mode");
    GigaPlayer player;
    if (!Open(player, file)) return kFailure;
    GigaTone* tone = ToneOption(player);
    if (!tone || (Has("ks-low") && !Number("ks-low", 0, 127, ksLow))) return kUsage;
    tone->SetSelectMode(mode);
    tone->SetKeySwitchLow(ksLow);
    return Write(player, file) ? kSuccess : kFailure;
}

int PerfTool::Show(const std::string& file)
{
    GigaPlayer player;
    if (!Open(player, file)) return kFailure;
    for (int i = 0; i < player.ToneCount(); ++i) {
        const GigaTone& tone = *player.Giga(i);
        out_ << "tone " << i << ": channel " << tone.MidiChannel() << ", bus " << tone.OutputBus()
             << ", volume " << tone.Volume() << ", pan " << tone.Pan() << ", tune " << tone.Tune()
             << ", select " << ModeName(tone.SelectMode()) << " (" << tone.SelectMode()
             << "), ks-low " << tone.KeySwitchLow() << ", layers " << tone.LayerCount();
        if (!tone.StackName().empty()) out_ << ", name \"" << tone.StackName() << "\"";
        out_ << "\n";
        for (int l = 0; l < tone.LayerCount(); ++l) {
            const GigaPart& layer = *tone.Layer(l);
            out_ << "  layer " << l << ": program " << layer.programIndex << " of "
                 << layer.bankPath << ", keys " << layer.keyLow << "-" << layer.keyHigh
                 << ", offset " << layer.keyOffset << ", volume " << layer.volume << ", pan "
                 << layer.pan << ", tune " << layer.tune << ", bend " << layer.bendRange << "\n";
        }
    }
    return kSuccess;
}

int PerfTool::Programs(const std::string& gig)
{
    GigaBank bank;
    if (!bank.Open(gig)) {
        err_ << "marlet-perf: " << gig << " is not a readable .gig file\n";
        return kFailure;
    }
    for (int i = 0; i < bank.ProgramCount(); ++i) {
        const GigaProgram* program = bank.Program(i);
        out_ << i << ": " << (program ? program->name : std::string()) << "\n";
    }
    return kSuccess;
}
