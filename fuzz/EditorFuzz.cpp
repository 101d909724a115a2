// The editor under arbitrary input: the live plug-in (its factory, offline rendering, the demo
// bank on disk) with a main editor over its player, shown in a stand-in window driven by a
// manual clock. The input (fuzz/EditorScript.h) is a header byte, then records: the mouse
// anywhere in and around the window, keys and typed text, timer ticks and host idle calls,
// pictures, audio blocks and host MIDI, host state taken and given back, the window closed and
// opened, the editor rebuilt, menus and file dialogs answered. Every input starts from one of
// four racks with fresh scratch files, preferences and favourites, and leaves no background
// work behind. A crash, a sanitizer report, a hang, a leak, a write outside the host's buffers
// or a sample that is not finite is a finding.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "editor/GigaEditor.h"
#include "editor/GigaView.h"
#include "editor/TreeFile.h"
#include "editor/WMissing.h"
#include "editor/XGigaName.h"
#include "editor/XStackPanel.h"
#include "engine/GigaTone.h"
#include "engine/GigaToneFacts.h"
#include "fixtures/TempFolder.h"
#include "fuzz/EditorDialogs.h"
#include "fuzz/EditorScript.h"
#include "fuzz/EditorWindow.h"
#include "fuzz/LivePlugin.h"
#include "gui/XClock.h"
#include "gui/XEditBox.h"
#include "gui/XWinGui.h"
#include "persist/GigaPerformance.h"
#include "prefs/GigaPrefs.h"

namespace fs = std::filesystem;
using namespace editorscript;
using editorfuzz::DialogSandbox;
using editorfuzz::OpenDialogs;
using editorfuzz::StandInDialog;
using editorfuzz::StandInWindow;

// The system's file dialog on this build: the input's stand-in, or none while the input asks for
// our own dialog.
std::unique_ptr<USystemDialog> USystemDialog::Make(Kind kind, std::string, Filters)
{
    if (!OpenDialogs::Instance().systemDialogs) return nullptr;
    return std::make_unique<StandInDialog>(kind);
}

namespace {

// Work per input, so that legitimate input never times out.
constexpr int kMaxRecords = 4096;
constexpr int kMaxTicks = 3000;
constexpr int kMaxBlocks = 256;
constexpr int kMaxPaints = 48;
constexpr int kMaxRebuilds = 12;
constexpr int kMaxHostRestores = 6;
constexpr int kMaxSettles = 64;
constexpr int kMaxLoadWaits = 8;
constexpr int kMaxDragSteps = 32;
constexpr int kMaxText = 64;
// Background work ends well within this, or it is a hang.
constexpr auto kWaitLimit = std::chrono::seconds(30);

[[noreturn]] void Finding(const char* what)
{
    std::fprintf(stderr, "EditorFuzz: %s\n", what);
    __builtin_trap();
}

// A live host's audio thread: renders blocks all along until it goes. While it runs nothing
// else renders, and the plug-in hears that it plays in real time.
class HostAudio {
public:
    explicit HostAudio(fuzzplugin::LivePlugin& plugin) : plugin_(plugin)
    {
        plugin_.SetOffline(false);
        thread_ = std::thread([this] {
            while (!stop_.load(std::memory_order_acquire)) {
                plugin_.Block(512);
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
    }
    ~HostAudio()
    {
        stop_.store(true, std::memory_order_release);
        thread_.join();
        plugin_.SetOffline(true);
    }
    HostAudio(const HostAudio&) = delete;
    HostAudio& operator=(const HostAudio&) = delete;

private:
    fuzzplugin::LivePlugin& plugin_;
    std::atomic<bool> stop_ {false};
    std::thread thread_;
};

// The host gives a state as a live host does: the call returns at once and the instruments load
// in the background.
void GiveState(fuzzplugin::LivePlugin& plugin, const std::vector<std::uint8_t>& state, bool live)
{
    if (live) {
        plugin.SetChunk(state);
        return;
    }
    plugin.SetOffline(false);
    plugin.SetChunk(state);
    plugin.SetOffline(true);
}

// The player's background loads run to their end while the host keeps rendering, as a live
// host's audio thread does (this thread renders unless one runs): the loader's requests to stop
// and start tones are served by the next block instead of after the long wait that a host
// without blocks costs.
void AwaitLoads(fuzzplugin::LivePlugin& plugin, bool live)
{
    const auto until = std::chrono::steady_clock::now() + kWaitLimit;
    while (plugin.Player().IsLoading()) {
        if (std::chrono::steady_clock::now() > until) Finding("the background load did not end");
        if (!live) plugin.Block(512);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// The scratch folder the dialogs answer in, its files, and the racks an input starts from. Its
// path has the same length in every process, so that an input that finds a limit of path
// lengths finds it again.
class Scratch {
public:
    Scratch()
        : home_(std::getenv("HOME")),
          folder_(FolderName()),
          files_(folder_ + "/files"),
          bank_(files_ + "/bank.gig"),
          found_(files_ + "/found/deep/gone.gig"),
          oddName_(files_ + "/zz \xff\xfe\xc3\x28.gig")
    {
        // No dialog program and no web browser can be found.
        fs::create_directories(home_ + "/bin");
        setenv("PATH", (home_ + "/bin").c_str(), 1);
        // The bank at paths of 511 and 512 bytes: three folders deep, the last one's name
        // making up the length.
        std::string deep = files_ + "/p/" + std::string(150, 'a') + "/" + std::string(150, 'b');
        deep += "/" + std::string(GigaPerformance::kMaxLayerPath - deep.size() - 10, 'c');
        atLimit_ = deep + "/bank.gig";
        pastLimit_ = deep + "/bank0.gig";
        for (const std::string& copy : {bank_, found_, oddName_, atLimit_, pastLimit_}) {
            fs::create_directories(fs::path(copy).parent_path());
            fs::copy_file(fuzzplugin::DemoBank(), copy, fs::copy_options::overwrite_existing);
        }
        testsupport::WriteFileBytes(files_ + "/empty.gig", "", 0);
        const std::string text = "RIFF? no, a note about a bank.\n";
        testsupport::WriteFileBytes(files_ + "/text.gig", text.data(), text.size());
        kept_ = {bank_,
                 found_,
                 oddName_,
                 atLimit_,
                 pastLimit_,
                 files_ + "/empty.gig",
                 files_ + "/text.gig"};
        const std::string lost = files_ + "/lost/gone.gig";
        saved_ = hostside::HostState([&](GigaPlayer& p) {
            p.Giga(0)->AddLayer(bank_, demo::kKeys);
            p.Giga(1)->AddLayer(bank_, demo::kPad);
            p.Giga(1)->AddLayer(bank_, demo::kKeys)->keyOffset = 12;
        });
        missing_ = hostside::HostState([&](GigaPlayer& p) {
            p.Giga(0)->AddLayer(lost, demo::kKeys);
            p.Giga(1)->AddLayer(bank_, demo::kPad);
            p.Giga(2)->AddLayer(lost, demo::kDrone);
            p.Giga(2)->AddLayer(bank_, demo::kKeys);
        });
        racks_[0] = hostside::HostState([&](GigaPlayer& p) {
            p.Giga(0)->AddLayer(bank_, demo::kKeys);
            p.Giga(1)->AddLayer(bank_, demo::kPad);
            GigaTone& stack = *p.Giga(2);
            stack.SetStackName("Layers");
            stack.AddLayer(bank_, demo::kKeys)->keyHigh = 59;
            stack.AddLayer(bank_, demo::kPad)->keyLow = 60;
            stack.SetSelectMode(GigaTone::kSelectVelocity);
        });
        racks_[1] = hostside::HostState([](GigaPlayer&) {});
        racks_[2] = hostside::HostState([&](GigaPlayer& p) {
            for (int t = 0; t < 16; ++t) p.Giga(t)->AddLayer(bank_, t % 2);
        });
        racks_[3] = missing_;
    }

    ~Scratch()
    {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    // What an input finds: the fixed files, the two performances as written, no other file,
    // one favourite (this folder), no debug log.
    void Reset() const
    {
        std::vector<fs::path> extra;
        for (const auto& entry : fs::recursive_directory_iterator(files_)) {
            const std::string path = entry.path().string();
            const bool kept = std::any_of(kept_.begin(), kept_.end(), [&](const std::string& k) {
                return k == path || k.compare(0, path.size() + 1, path + "/") == 0;
            });
            if (!kept) extra.push_back(entry.path());
        }
        std::error_code ignored;
        for (const fs::path& path : extra) fs::remove_all(path, ignored);
        testsupport::WriteFileBytes(files_ + "/saved.mrp", saved_.data(), saved_.size());
        testsupport::WriteFileBytes(files_ + "/missing.mrp", missing_.data(), missing_.size());
        const auto bytes = TreeFile::Encode({files_});
        fs::create_directories(fs::path(TreeFile::DefaultPath()).parent_path(), ignored);
        testsupport::WriteFileBytes(TreeFile::DefaultPath(), bytes.data(), bytes.size());
        fs::remove(home_ + "/marlet.log", ignored);
        fs::remove(home_ + "/Desktop/marlet.log", ignored);
    }

    // The paths of a dialog's answer.
    std::vector<std::string> AnswerPaths(Answer kind, ScriptReader& in) const
    {
        switch (kind) {
            case kSavedPerformance:
                return {files_ + "/saved.mrp"};
            case kMissingPerformance:
                return {files_ + "/missing.mrp"};
            case kBank:
                return {bank_};
            case kFoundBank:
                return {found_};
            case kFilesFolder:
                return {files_};
            case kNothing:
                return {files_ + "/none/nothing.mrp"};
            case kNameBytes:
                return {files_ + "/" + DialogSandbox::Sanitised(in.Bytes(in.Byte()))};
            case kLongName:
                return {files_ + "/" + std::string((in.Byte() % 8 + 1) * 1000, 'n')};
            case kDeepPath: {
                std::string path = files_;
                while (path.size() < 4200) path += "/d123456789";
                return {path + "/x.mrp"};
            }
            case kNotUtf8:
                return {files_ + "/\xff\xfe\xc3\x28 \xed\xa0\x80.mrp"};
            case kRelative:
                return {"saved.mrp"};
            case kTwoFiles:
                return {files_ + "/saved.mrp", bank_, found_};
            case kBankAtLimit:
                return {atLimit_};
            case kBankPastLimit:
                return {pastLimit_};
            case kEmptyBank:
                return {files_ + "/empty.gig"};
            case kTextBank:
                return {files_ + "/text.gig"};
            case kOddNameBank:
                return {oddName_};
            case kTrailingSlash:
            case kAnswerCount:
                break;
        }
        return {files_ + "//found/deep/"};
    }

    const std::string& Files() const { return files_; }
    const std::vector<std::uint8_t>& Rack(int index) const { return racks_[index]; }

private:
    static std::string FolderName()
    {
        char name[32];
        std::snprintf(name, sizeof name, "/editor-%010d", static_cast<int>(getpid()));
        return fuzzfile::kFolder + std::string(name);
    }

    std::string home_;
    std::string folder_;
    std::string files_;
    std::string bank_;
    std::string found_;
    std::string oddName_;
    std::string atLimit_;
    std::string pastLimit_;
    std::vector<std::string> kept_;  // the files every input finds
    std::vector<std::uint8_t> saved_;
    std::vector<std::uint8_t> missing_;
    std::vector<std::uint8_t> racks_[4];
};

// Brings the player to an input's starting rack: given as host state and loaded, unless the
// player holds it already as the last input left it (the same bytes, nothing modified, the same
// preload lengths). Loaded tones are shown, as an editor that was open while they loaded
// leaves them, so that every editor starts from the same statuses.
class StartingRack {
public:
    void Bring(fuzzplugin::LivePlugin& plugin, int index, const std::vector<std::uint8_t>& rack,
               bool prefsChanged)
    {
        GigaPlayer& player = plugin.Player();
        if (index != index_ || prefsChanged || player.IsModified() || player.IsLoading() ||
            plugin.GetChunk() != loaded_) {
            GiveState(plugin, rack, false);
            AwaitLoads(plugin, false);
            index_ = index;
            loaded_ = plugin.GetChunk();
        }
        for (int t = 0; t < player.ToneCount(); ++t) {
            GigaTone* tone = player.Giga(t);
            if (tone && tone->Status() == GigaTone::kLoaded)
                tone->SetStatus(tone->LayerCount() > 0 ? GigaTone::kLoadedAndShown
                                                       : GigaTone::kEmpty);
        }
    }

private:
    int index_ = -1;
    std::vector<std::uint8_t> loaded_;
};

// One input's run: the editor over the plug-in's player in a window the host opened.
class Session {
public:
    Session(fuzzplugin::LivePlugin& plugin, const Scratch& scratch, std::uint8_t header)
        : plugin_(plugin),
          player_(plugin.Player()),
          scratch_(scratch),
          rack_(scratch.Rack(header >> kRackShift & 3)),
          settleEach_((header & kSettleEach) != 0),
          sandbox_(scratch.Files())
    {
        OpenDialogs::Instance().systemDialogs = (header & kOwnDialogsFirst) == 0;
        if ((header & kLiveAudio) == kLiveAudio) audio_ = std::make_unique<HostAudio>(plugin_);
        editor_ = std::make_unique<GigaEditor>(player_);
        OpenWindow((header & kMenuHost) != 0);
    }
    ~Session()
    {
        CloseWindow();
        editor_.reset();
        audio_.reset();
        WaitForLoads();
    }

    void Play(ScriptReader& in)
    {
        static const bool trace = std::getenv("EDITORFUZZ_TRACE") != nullptr;
        for (int n = 0; n < kMaxRecords && in.More() && !spent_; ++n) {
            const Op op = in.Opcode();
            Record(op, in);
            sandbox_.Watch(*editor_);
            if (settleEach_) WaitForBackground();
            if (trace) Trace(op);
        }
    }

private:
    void Record(Op op, ScriptReader& in)
    {
        switch (op) {
            case kMove:
            case kLeftDown:
            case kRightDown: {
                const Point p = in.At();
                const int modifiers = in.Byte();
                const auto kind = op == kMove       ? XInput::kMouseMove
                                  : op == kLeftDown ? XInput::kLeftDown
                                                    : XInput::kRightDown;
                Mouse(kind, p, modifiers);
                break;
            }
            case kLeftUp:
            case kRightUp:
                Mouse(op == kLeftUp ? XInput::kLeftUp : XInput::kRightUp, in.At(), 0);
                break;
            case kClick: {
                const Point p = in.At();
                const int modifiers = in.Byte();
                Mouse(XInput::kLeftDown, p, modifiers);
                Mouse(XInput::kLeftUp, p, modifiers);
                clock_.Advance(XWinGui::kDoubleClickMs + 50);
                break;
            }
            case kDoubleClick: {
                const Point p = in.At();
                for (int i = 0; i < 2; ++i) {
                    Mouse(XInput::kLeftDown, p, 0);
                    Mouse(XInput::kLeftUp, p, 0);
                    clock_.Advance(100);
                }
                clock_.Advance(XWinGui::kDoubleClickMs);
                break;
            }
            case kDrag: {
                const Point from = in.At();
                const Point to = in.At();
                const int steps = in.Byte() % kMaxDragSteps + 1;
                Mouse(XInput::kLeftDown, from, 0);
                for (int i = 1; i <= steps; ++i) {
                    clock_.Advance(20);
                    Mouse(XInput::kMouseMove,
                          {from.x + (to.x - from.x) * i / steps,
                           from.y + (to.y - from.y) * i / steps},
                          0);
                }
                Mouse(XInput::kLeftUp, to, 0);
                clock_.Advance(XWinGui::kDoubleClickMs + 50);
                break;
            }
            case kWheel: {
                XInput input;
                input.kind = XInput::kWheel;
                const Point p = in.At();
                input.x = p.x;
                input.y = p.y;
                input.wheelX = static_cast<std::int8_t>(in.Byte());
                input.wheelY = static_cast<std::int8_t>(in.Byte());
                if (window_ && window_->Menu())
                    window_->MenuWheel(input.wheelY);
                else if (window_)
                    gui_.WindowProc(input);
                break;
            }
            case kKey: {
                const std::int32_t character = in.Character();
                const std::int32_t modifiers = in.Byte() & 7;
                Key(character, modifiers, in.Byte() % 12);
                break;
            }
            case kText: {
                const int length = in.Byte() % (kMaxText + 1);
                for (int i = 0; i < length && in.More(); ++i) Key(in.Character(), 0, kKeyChar);
                break;
            }
            case kTick:
                for (int n = in.Byte() % 64 + 1; n > 0; --n) Tick();
                break;
            case kIdle:
                clock_.Advance(in.Byte() * 4u);
                if (window_ && Spend(ticks_, kMaxTicks)) {
                    sandbox_.Confine();
                    gui_.PollTimer();
                }
                break;
            case kWait:
                clock_.Advance(in.Byte() * 8u);
                break;
            case kPaint:
                if (window_ && Spend(paints_, kMaxPaints)) Send(XInput::kPaint);
                break;
            case kRender:
                // A live host's thread renders already.
                for (int n = in.Byte() % 8 + 1; n > 0 && !audio_ && Spend(blocks_, kMaxBlocks); --n)
                    plugin_.Block(512);
                break;
            case kHostMidi: {
                const int status = in.Byte() | 0x80;
                const int data1 = in.Byte();
                const int data2 = in.Byte();
                // Events come on the audio thread, right before its block.
                if (!audio_) plugin_.Midi(status, data1, data2);
                break;
            }
            case kSettle:
                // The first ticks take up what waited for them (a menu's reply, a dialog's
                // answer), which may start a load; the second ones show its end.
                if (Spend(settles_, kMaxSettles)) {
                    for (int round = 0; round < 2; ++round) {
                        WaitForBackground();
                        Tick();
                        Tick();
                    }
                    if (!player_.IsLoading()) CheckShown();
                }
                break;
            case kCloseWindow:
                CloseWindow();
                break;
            case kOpenWindow:
                OpenWindow((in.Byte() & 1) != 0);
                break;
            case kRebuild:
                if (Spend(rebuilds_, kMaxRebuilds)) Rebuild();
                break;
            case kMenuPick: {
                std::vector<int> path(in.Byte() % 4 + 1);
                for (int& index : path) index = in.Byte();
                if (window_) window_->MenuPick(path);
                break;
            }
            case kMenuCancel:
                if (window_) window_->MenuCancel();
                break;
            case kDialogAnswer:
                AnswerDialog(static_cast<Answer>(in.Byte() % kAnswerCount), in);
                break;
            case kDialogCancel:
                CancelDialog();
                break;
            case kClipboard: {
                const std::string text = in.Bytes(in.Byte());
                if (window_) window_->SetClipboardText(text);
                break;
            }
            case kHostSave:
                hostState_ = plugin_.GetChunk();
                break;
            case kHostRestore:
                if (Spend(restores_, kMaxHostRestores))
                    GiveState(plugin_, hostState_.empty() ? rack_ : hostState_, audio_ != nullptr);
                break;
            case kWindowMoved: {
                XInput input;
                input.kind = XInput::kWindowMoved;
                const Point p = in.At();
                input.x = p.x;
                input.y = p.y;
                if (window_) gui_.WindowProc(input);
                break;
            }
            case kOwnDialogs:
                OpenDialogs::Instance().systemDialogs = (in.Byte() & 1) == 0;
                break;
            case kPress: {
                const int index = in.Word();
                Press(index, in.Byte());
                break;
            }
            case kOpCount:
                break;
        }
    }

    // Once the background work is done and the window has ticked, every view shows its tone:
    // the name the tone gives, no load's progress bar, a row per layer of a stack.
    void CheckShown() const
    {
        if (!window_ || ticks_ >= kMaxTicks) return;
        for (int i = 0; i < editor_->ViewCount(); ++i) {
            const GigaView& view = *editor_->View(i);
            const GigaToneFacts facts = view.Tone().Facts();
            int staying = 0;
            for (const GigaLayerFacts& layer : facts.layers) staying += layer.leaving ? 0 : 1;
            if (view.Name().Text() != view.Tone().DisplayName()) {
                std::fprintf(stderr, "EditorFuzz: tone %d shows '%s', its name is '%s'\n", i,
                             std::string(view.Name().Text()).c_str(),
                             view.Tone().DisplayName().c_str());
                Finding("a settled view shows another name than its tone's");
            }
            if (view.Name().Progress() >= 0) Finding("a settled view shows a load in progress");
            if (staying >= 2 && view.Stack().PartCount() != staying)
                Finding("a settled stack shows another number of layers");
        }
    }

    // One line per record (EDITORFUZZ_TRACE set): the popups, the menu and dialogs open, the
    // editor's state and the first tones', for writing and checking seeds.
    void Trace(Op op) const
    {
        std::string line = "op " + std::to_string(op) + " popups";
        for (XView* v = editor_->OpenPopup(); v; v = v->OpenPopup()) {
            const std::int32_t id = v->PopupId();
            line += ' ';
            for (int shift = 24; shift >= 0; shift -= 8)
                line += static_cast<char>(id >> shift & 0x7F);
        }
        if (window_ && window_->Menu())
            line += " menu:" + std::to_string(window_->Menu()->Level().Count());
        for (const StandInDialog* d : OpenDialogs::Instance().open)
            line += " dialog:" + std::to_string(static_cast<int>(d->GetKind()));
        line += " browse " + std::to_string(editor_->IsBrowsing()) + " sel " +
                std::to_string(editor_->SelectedTone()) + " path '" + editor_->Path() + "' tones";
        for (int t = 0; t < 6; ++t) {
            const GigaTone& tone = *player_.Giga(t);
            line += ' ' + std::to_string(tone.Status()) + '/' + std::to_string(tone.LayerCount()) +
                    (editor_->View(t)->IsExpanded() ? "+" : "");
        }
        std::fprintf(stderr, "%s\n", line.c_str());
    }

    // A press on a shown control, found in the innermost view's tree depth first, at its
    // middle as the window reports it.
    void Press(int index, int action)
    {
        if (!window_) return;
        std::vector<XControl*> shown;
        const std::function<void(XControl&)> collect = [&](XControl& parent) {
            for (int i = 0; i < parent.ChildCount(); ++i) {
                XControl* child = parent.Child(i);
                if (!child || !child->IsVisible()) continue;
                if (child->IsEnabled()) shown.push_back(child);
                collect(*child);
            }
        };
        collect(*editor_->Innermost());
        if (shown.empty()) return;
        const XControl& c = *shown[static_cast<std::size_t>(index) % shown.size()];
        const Point p {c.AbsoluteX() + c.Width() / 2, c.AbsoluteY() + c.Height() / 2};
        switch (action % 6) {
            case 0:
                Mouse(XInput::kLeftDown, p, 0);
                Mouse(XInput::kLeftUp, p, 0);
                break;
            case 1:
                for (int i = 0; i < 2; ++i) {
                    Mouse(XInput::kLeftDown, p, 0);
                    Mouse(XInput::kLeftUp, p, 0);
                    clock_.Advance(100);
                }
                break;
            case 2:
                Mouse(XInput::kRightDown, p, 0);
                Mouse(XInput::kRightUp, p, 0);
                break;
            case 3:
            case 4: {
                const Point to = action % 6 == 3 ? Point {p.x + 40, p.y} : Point {p.x, p.y - 40};
                Mouse(XInput::kLeftDown, p, 0);
                for (int i = 1; i <= 4; ++i)
                    Mouse(XInput::kMouseMove,
                          {p.x + (to.x - p.x) * i / 4, p.y + (to.y - p.y) * i / 4}, 0);
                Mouse(XInput::kLeftUp, to, 0);
                break;
            }
            default:
                Mouse(XInput::kLeftDown, p, 0);
                return;
        }
        clock_.Advance(XWinGui::kDoubleClickMs + 50);
    }

    static bool Spend(int& used, int limit) { return used < limit ? (++used, true) : false; }

    // The pointer goes to the open menu while the window shows one (it holds the grab).
    void Mouse(XInput::Kind kind, Point p, int modifiers)
    {
        if (!window_) return;
        if (window_->Menu()) {
            window_->MenuPointer(kind, p.x, p.y);
            return;
        }
        XInput input;
        input.kind = kind;
        input.x = p.x;
        input.y = p.y;
        input.shift = (modifiers & 1) != 0;
        input.control = (modifiers & 2) != 0;
        gui_.WindowProc(input);
    }

    void Key(std::int32_t character, std::int32_t modifiers, std::int32_t code)
    {
        if (!window_) return;
        if (window_->Menu()) {
            window_->MenuKey(XKey {character, modifiers, code});
            return;
        }
        XInput input;
        input.kind = XInput::kKey;
        input.character = character;
        input.modifiers = modifiers;
        input.code = code;
        gui_.WindowProc(input);
    }

    void Send(XInput::Kind kind)
    {
        XInput input;
        input.kind = kind;
        gui_.WindowProc(input);
    }

    // The window's timer: a closed window has none, but time goes on.
    void Tick()
    {
        clock_.Advance(XWinGui::kTimerPeriodMs);
        if (!window_ || !Spend(ticks_, kMaxTicks)) return;
        sandbox_.Confine();
        Send(XInput::kTimer);
    }

    // As KyVstWindow opens and closes the plug-in's window, with the expose that follows.
    void OpenWindow(bool showsMenus)
    {
        CloseWindow();
        gui_.SetParentWindow(kHostWindow);
        gui_.SetRootView(editor_.get());
        window_ = std::make_unique<StandInWindow>(gui_, showsMenus);
        showsMenus_ = showsMenus;
        if (Spend(paints_, kMaxPaints)) Send(XInput::kPaint);
    }
    void CloseWindow()
    {
        if (!window_) return;
        gui_.StopTimer();
        window_.reset();
        gui_.SetParentWindow(0);
        gui_.SetRootView(nullptr);
    }
    void Rebuild()
    {
        const bool open = window_ != nullptr;
        CloseWindow();
        editor_.reset();
        editor_ = std::make_unique<GigaEditor>(player_);
        if (open) OpenWindow(showsMenus_);
    }

    void AnswerDialog(Answer kind, ScriptReader& in)
    {
        std::vector<std::string> paths = scratch_.AnswerPaths(kind, in);
        auto& open = OpenDialogs::Instance().open;
        if (!open.empty()) {
            StandInDialog& dialog = *open.back();
            if (dialog.GetKind() != USystemDialog::Kind::kOpen) paths.resize(1);
            dialog.Answer(std::move(paths));
            return;
        }
        if (WFileDialog* own = DialogSandbox::Showing(*editor_)) {
            own->PathBox()->SetText(paths.front());
            own->Finish(true);
        }
    }
    void CancelDialog()
    {
        auto& open = OpenDialogs::Instance().open;
        if (!open.empty()) {
            open.back()->Answer({});
        } else if (WFileDialog* own = DialogSandbox::Showing(*editor_)) {
            own->Finish(false);
        }
    }

    // Loads the editor asked for run to their end, and a folder scan of the missing files'
    // dialog too, which the window's ticks take up (while it is open). Each load waited for
    // costs a pass of the loader (a fifth of a second for a full rack): past kMaxLoadWaits the
    // input ends.
    void WaitForBackground()
    {
        if (player_.IsLoading() && !Spend(loadWaits_, kMaxLoadWaits)) spent_ = true;
        WaitForLoads();
        const auto scanning = [&] {
            for (XView* view = editor_->OpenPopup(); view; view = view->OpenPopup())
                if (auto* missing = dynamic_cast<WMissing*>(view); missing && missing->IsScanning())
                    return true;
            return false;
        };
        const auto until = std::chrono::steady_clock::now() + kWaitLimit;
        while (window_ && scanning()) {
            if (std::chrono::steady_clock::now() > until) Finding("the folder scan did not end");
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            clock_.Advance(XWinGui::kTimerPeriodMs);
            sandbox_.Confine();
            Send(XInput::kTimer);
        }
    }
    void WaitForLoads() { AwaitLoads(plugin_, audio_ != nullptr); }

    static constexpr std::uintptr_t kHostWindow = 0x4e0001;

    fuzzplugin::LivePlugin& plugin_;
    GigaPlayer& player_;
    const Scratch& scratch_;
    const std::vector<std::uint8_t>& rack_;
    bool settleEach_;
    DialogSandbox sandbox_;
    XManualClock clock_;
    XWinGui gui_ {nullptr, &clock_};
    std::unique_ptr<HostAudio> audio_;
    std::unique_ptr<GigaEditor> editor_;
    std::unique_ptr<StandInWindow> window_;
    bool showsMenus_ = false;
    std::vector<std::uint8_t> hostState_;
    int ticks_ = 0, paints_ = 0, blocks_ = 0, settles_ = 0, rebuilds_ = 0, restores_ = 0;
    int loadWaits_ = 0;
    bool spent_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto& plugin = fuzzplugin::LivePlugin::Instance();
    static const Scratch scratch;
    static StartingRack rack;
    if (size == 0) return 0;
    ScriptReader in(data, size);
    const std::uint8_t header = in.Byte();

    // What earlier inputs changed goes back: files, preferences, the debug log, the rack.
    if (plugin.Player().LogFileOpen()) plugin.Player().ToggleLog();
    scratch.Reset();
    GigaPrefs& prefs = GigaPrefs::Instance();
    const bool prefsChanged = prefs.PreloadMinimum() != GigaPrefs::kDefaultPreloadMinimum ||
                              prefs.PreloadTolerance() != GigaPrefs::kDefaultPreloadTolerance;
    prefs.SetPreloadMinimum(GigaPrefs::kDefaultPreloadMinimum);
    prefs.SetPreloadTolerance(GigaPrefs::kDefaultPreloadTolerance);
    prefs.SetVolumeController(GigaPrefs::kDefaultVolumeController);
    const int index = header >> kRackShift & 3;
    rack.Bring(plugin, index, scratch.Rack(index), prefsChanged);
    {
        Session session(plugin, scratch, header);
        session.Play(in);
    }
    if (!OpenDialogs::Instance().open.empty()) Finding("a file dialog outlived its editor");
    plugin.Hush();
    return 0;
}
