#include "tools/marlet-host/EditorSession.h"

#include <chrono>
#include <cstdint>
#include <exception>
#include <memory>
#include <stdexcept>
#include <thread>

#include "tools/marlet-host/ActionPlayer.h"
#include "tools/marlet-host/ActionScript.h"
#include "tools/marlet-host/BinaryFile.h"
#include "tools/marlet-host/LiveAudio.h"
#include "tools/marlet-host/OfflineRenderer.h"
#include "tools/marlet-host/PngWriter.h"
#include "tools/marlet-host/RenderJob.h"
#include "tools/marlet-host/VstPluginModule.h"
#include "tools/marlet-host/WindowSystem.h"

namespace {

struct Size {
    int width = 0;
    int height = 0;
    bool Valid() const
    {
        return width > 0 && height > 0 && width <= EditorSession::kMaxEditorSide &&
               height <= EditorSession::kMaxEditorSide;
    }
    bool operator==(const Size&) const = default;
};

Size EditorRect(const VstPluginModule& module)
{
    ERect* rect = nullptr;
    module.Dispatch(vst::effEditGetRect, 0, 0, &rect);
    if (!rect) return {};
    return {rect->right - rect->left, rect->bottom - rect->top};
}

// The editor's part of one open: effEditOpen into the window, then effEditClose however the
// open ends, so an exception on the way cannot leave the plug-in drawing into a dead window.
class OpenEditor {
public:
    OpenEditor(const VstPluginModule& module, const EditorWindow& window) : module_(module)
    {
        result_ =
            module_.Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(window.Handle()));
    }
    ~OpenEditor() { module_.Dispatch(vst::effEditClose); }
    OpenEditor(const OpenEditor&) = delete;
    OpenEditor& operator=(const OpenEditor&) = delete;
    vst::intptr Result() const { return result_; }

private:
    const VstPluginModule& module_;
    vst::intptr result_ = 0;
};

struct GuiRun {
    const EditorSession::Settings& settings;
    const VstPluginModule& module;
    WindowSystem& windows;
    ActionPlayer* actions;
    std::ostream& out;
    std::ostream& log;

    // One open of the editor; false when the user closed the window.
    bool Cycle(int cycle, bool last) const
    {
        using Clock = std::chrono::steady_clock;
        Size size = EditorRect(module);
        const std::string title = module.EffectName().empty() ? "Editor" : module.EffectName();
        // Some editors know their size only once open; the window starts small then.
        const std::unique_ptr<EditorWindow> window = windows.MakeWindow(
            size.Valid() ? size.width : 1, size.Valid() ? size.height : 1, title);
        const OpenEditor editor(module, *window);
        if (cycle == 0 && editor.Result() == 0)
            log << "note: the plug-in answered 0 to effEditOpen\n";
        const Size after = EditorRect(module);
        if (after.Valid() && !(after == size)) {
            size = after;
            window->Resize(size.width, size.height);
        }
        if (!size.Valid())
            throw std::runtime_error("the plug-in gives no usable editor size (" +
                                     std::to_string(size.width) + "x" +
                                     std::to_string(size.height) + ")");
        if (cycle == 0) out << "editor: " << size.width << "x" << size.height << std::endl;
        window->Show();
        if (actions) actions->Restart();

        const auto period = std::chrono::milliseconds(EditorSession::kIdleMilliseconds);
        const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                            std::chrono::duration<double>(settings.seconds));
        bool open = true;
        // With --until-done the script, not the clock, says when this open ends.
        const auto playing = [&] { return settings.untilDone && actions && !actions->Done(); };
        for (auto next = Clock::now(); Clock::now() < end || playing(); next += period) {
            if (!window->Pump()) {
                open = false;
                break;
            }
            if (actions) actions->Advance(*window);
            module.Dispatch(vst::effEditIdle);
            std::this_thread::sleep_until(playing() ? next + period : std::min(next + period, end));
        }
        if (const std::string lost = windows.Lost(); !lost.empty()) throw std::runtime_error(lost);
        if (last && open && settings.snap) {
            const EditorWindow::Picture picture = window->Snapshot();
            PngWriter::Write(*settings.snap, picture.width, picture.height, picture.rgb);
            if (picture.width != size.width || picture.height != size.height)
                log << "note: the screen shows only " << picture.width << "x" << picture.height
                    << " of the editor\n";
        }
        return open;
    }
};

}  // namespace

void EditorSession::Run(std::ostream& out, std::ostream& log) const
{
    const Settings& s = settings_;
    // Everything that can be wrong with the input is found before the plug-in is loaded.
    const std::vector<std::uint8_t> chunk =
        s.loadChunk ? binaryfile::Read(*s.loadChunk, RenderJob::kMaxChunkBytes)
                    : std::vector<std::uint8_t> {};
    std::optional<ActionScript> script;
    if (s.actions) {
        try {
            script = ActionScript::Read(*s.actions);
        } catch (const ActionScript::Error& e) {
            throw std::runtime_error(e.what());
        }
    }
    std::string error;
    const auto windows = WindowSystem::Open(s.display, error);
    if (!windows) throw std::runtime_error(error);
    std::optional<ActionPlayer> actions;
    if (script) actions.emplace(*script, windows->MakeInput());

    VstPluginModule::Options options;
    options.sampleRate = kSampleRate;
    options.blockSize = kBlockSize;
    options.processLevel = 2;  // real time: the editor is used live
    options.recordCalls = false;
    const auto module = VstPluginModule::Load(s.plugin, options, error);
    if (!module) throw std::runtime_error(error);
    if (!(module->Effect()->flags & vst::effFlagsHasEditor))
        throw std::runtime_error(s.plugin + " has no editor");

    OfflineRenderer renderer(*module, kSampleRate, kBlockSize);
    renderer.Open();
    if (s.loadChunk) renderer.LoadChunk(chunk);
    std::optional<LiveAudio> audio;
    if (s.audio) audio.emplace(renderer, *s.audio, kSampleRate);

    // Hosts run editors on a GUI thread of their own, never assume the process's first.
    std::exception_ptr failure;
    std::thread gui([&] {
        try {
            const GuiRun run {s, *module, *windows, actions ? &*actions : nullptr, out, log};
            for (int cycle = 0; cycle < s.cycles; ++cycle)
                if (!run.Cycle(cycle, cycle + 1 == s.cycles)) break;
        } catch (...) {
            failure = std::current_exception();
        }
    });
    gui.join();

    if (!failure && s.saveChunk) {
        const auto saved = renderer.SaveChunk();
        binaryfile::Write(*s.saveChunk, saved);
        if (saved.empty())
            log << "note: the plug-in returned an empty chunk; " << *s.saveChunk << " is empty\n";
    }
    if (audio) audio->Stop();
    if (failure) std::rethrow_exception(failure);
    // What the plug-in told the host meanwhile (a host acts on some of it: a changed state
    // marks the project unsaved).
    for (const auto& [opcode, count] : module->HostCallCounts())
        out << "host call " << opcode << " " << VstPluginModule::HostOpcodeName(opcode) << ": "
            << count << "\n";
    out.flush();
    module->Close();
}
