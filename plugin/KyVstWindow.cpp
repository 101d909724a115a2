#include "plugin/KyVstWindow.h"

#include <mutex>

#include "editor/GigaEditor.h"
#ifdef _WIN32
#include "gui/win32/XWindowWin32.h"
#else
#include "gui/x11/XWindowX11.h"
#endif
#include "platform/Platform.h"
#include "plugin/KyPlayerDef.h"
#include "vst/AudioEffect.h"

namespace {

// The editor's size as the host first heard it, for the whole process: hosts size their window
// once and are not told of changes.
struct FrozenRect {
    std::once_flag once;
    ERect rect {};
    int scale = 1;
};

FrozenRect& Frozen()
{
    static FrozenRect frozen;
    return frozen;
}

}  // namespace

KyVstWindow* KyVstWindow::Attach(KyPlayerDef& owner, AudioEffect& effect)
{
    auto window = std::make_unique<KyVstWindow>(owner, &effect);
    KyVstWindow* raw = window.get();
    effect.setEditor(std::move(window));
    return raw;
}

KyVstWindow::KyVstWindow(KyPlayerDef& owner, AudioEffect* effect)
    : AEffEditor(effect), owner_(owner), reportedChanges_(owner.GetPlayer()->StateChanges())
{
}

KyVstWindow::~KyVstWindow()
{
    // The plug-in is closing: no call back into the host any more.
    CloseWindow();
}

bool KyVstWindow::getRect(ERect** rect)
{
    if (!rect) return false;
    FrozenRect& frozen = Frozen();
    std::call_once(frozen.once, [&] {
        const XView* view = owner_.GetEditor();
        frozen.scale = KyEditorWindow::DisplayScale();
        frozen.rect.top = 0;
        frozen.rect.left = 0;
        frozen.rect.bottom = static_cast<std::int16_t>(view->Height() * frozen.scale);
        frozen.rect.right = static_cast<std::int16_t>(view->Width() * frozen.scale);
    });
    *rect = &frozen.rect;
    return true;
}

bool KyVstWindow::open(void* parentWindow)
{
    // A second open without a close shows the editor in the new parent.
    if (window_) close();
    const auto parent = reinterpret_cast<std::uintptr_t>(parentWindow);
    if (!parent) return false;
    GigaEditor* view = owner_.GetEditor();
    ERect* rect = nullptr;
    getRect(&rect);
    SetParentWindow(parent);
    SetRootView(view);
    window_ = KyEditorWindow::Open(*this, parent, {}, Frozen().scale);
    if (!window_) {
        Log("*** KyVstWindow::open() no window ***");
        SetRootView(nullptr);
        SetParentWindow(0);
        return false;
    }
    parentWindow_ = parent;
    systemWindow_ = parentWindow;
    return true;
}

void KyVstWindow::close()
{
    ReportChanges(/*flush=*/true);
    CloseWindow();
}

void KyVstWindow::CloseWindow()
{
    if (!window_ && !parentWindow_) return;
    Log("KyVstWindow::close()");
    StopTimer();
    window_.reset();
    SetParentWindow(0);
    SetRootView(nullptr);
    parentWindow_ = 0;
    systemWindow_ = nullptr;
}

void KyVstWindow::idle()
{
    if (reporting_) return;
    if (window_) window_->Idle();
    ReportChanges(/*flush=*/false);
}

// The plug-in has no parameters, so "a parameter was edited" (audioMasterAutomate, or
// audioMasterBeginEdit/EndEdit) would name one that does not exist. audioMasterUpdateDisplay is
// the interface's "something about the plug-in changed": Ardour (6 and later) marks the session
// and the preset modified on it, REAPER takes it as the sign to look at the state again, and
// hosts that ignore it lose nothing. It is made here, on the thread that idles the editor, never
// on the audio thread, and coalesced: a fader drag is one or a few calls, not one per step.
// Some hosts (older Ardours) idle the editor from inside the call: that idle is skipped.
void KyVstWindow::ReportChanges(bool flush)
{
    const std::uint32_t changes = owner_.GetPlayer()->StateChanges();
    if (changes == reportedChanges_ || !effect_) return;
    const std::uint32_t now = platform::TickCount();
    if (!flush && reportedOnce_ && now - lastReportMs_ < kChangeReportGapMs) return;
    reportedChanges_ = changes;
    lastReportMs_ = now;
    reportedOnce_ = true;
    reporting_ = true;
    effect_->hostCall(vst::audioMasterUpdateDisplay);
    reporting_ = false;
}

std::int32_t KyVstWindow::TranslateKey(unsigned char virtualKey)
{
    switch (virtualKey) {
        case vst::VKEY_UP:
            return kKeyUp;
        case vst::VKEY_DOWN:
            return kKeyDown;
        case vst::VKEY_LEFT:
            return kKeyLeft;
        case vst::VKEY_RIGHT:
            return kKeyRight;
        case vst::VKEY_DELETE:
            return kKeyDelete;
        case vst::VKEY_BACK:
            return kKeyBackspace;
        case vst::VKEY_TAB:
            return kKeyTab;
        case vst::VKEY_RETURN:
        case vst::VKEY_ENTER:
            return kKeyEnter;
        case vst::VKEY_ESCAPE:
            return kKeyEscape;
        default:
            return kKeyChar;
    }
}

std::int32_t KyVstWindow::TranslateModifiers(unsigned char modifiers)
{
    std::int32_t out = 0;
    if (modifiers & vst::MODIFIER_SHIFT) out |= kModShift;
    if (modifiers & vst::MODIFIER_CONTROL) out |= kModControl;
    if (modifiers & vst::MODIFIER_COMMAND) out |= kModCommand;
    // Alternate is not passed on.
    return out;
}

bool KyVstWindow::onKeyDown(VstKeyCode& key)
{
    Log("onKeyDown(%c)\r\n", key.character > 31 && key.character < 127 ? key.character : '?');
    if (window_) KeyEvent(key.character, TranslateModifiers(key.modifier), TranslateKey(key.virt));
    return true;
}

bool KyVstWindow::onKeyUp(VstKeyCode& key)
{
    Log("onKeyUp\r\n");
    return true;
}
