// The editor glue: answers the host's editor requests with a child window inside the host's
// window, which shows the player's main editor view. The view belongs to the plug-in object and
// survives closing; the window lives from open to close.
//
// On Linux the host's idle calls drive the editor: they read the window's events and run the
// 50 ms tick, on whatever thread the host opens the editor from. On Windows the window's own
// messages and timer do, on the host's GUI thread.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/XWinGui.h"
#include "vst/AEffEditor.h"

class KyPlayerDef;
#ifdef _WIN32
class XWindowWin32;
using KyEditorWindow = XWindowWin32;
#else
class XWindowX11;
using KyEditorWindow = XWindowX11;
#endif

class KyVstWindow : public AEffEditor, public XWinGui {
public:
    // The host hears of the user's changes at most this often (the last ones at the latest
    // when the editor closes).
    static constexpr std::uint32_t kChangeReportGapMs = 250;

    // Attaches itself to `effect` as its editor (which sets the has-editor flag).
    static KyVstWindow* Attach(KyPlayerDef& owner, AudioEffect& effect);

    KyVstWindow(KyPlayerDef& owner, AudioEffect* effect);
    ~KyVstWindow() override;

    bool getRect(ERect** rect) override;
    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;
    bool onKeyDown(VstKeyCode& key) override;
    bool onKeyUp(VstKeyCode& key) override;

    // The host's virtual key and modifier bits as the GUI's key code and modifiers.
    static std::int32_t TranslateKey(unsigned char virtualKey);
    static std::int32_t TranslateModifiers(unsigned char modifiers);

    KyEditorWindow* Window() const { return window_.get(); }

private:
    void CloseWindow();
    // GUI thread: tells the host that its state of the plug-in changed when the player counted
    // changes since the last report, and the last report is kChangeReportGapMs old (or at once
    // with `flush`).
    void ReportChanges(bool flush);

    KyPlayerDef& owner_;
    std::uint32_t reportedChanges_ = 0;
    std::uint32_t lastReportMs_ = 0;
    bool reportedOnce_ = false;
    bool reporting_ = false;  // a host that idles the editor from inside the report
    std::uintptr_t parentWindow_ = 0;
    std::unique_ptr<KyEditorWindow> window_;
};
