// What the tone view's controls change: the tone's settings, its layers' settings and
// instruments, through menus, the file dialog and the knobs.
#include <cmath>

#include "editor/EditorCodes.h"
#include "editor/GigaEditorLink.h"
#include "editor/GigaView.h"
#include "editor/GigaViewLayout.h"
#include "editor/GigaViewText.h"
#include "editor/XGigaName.h"
#include "editor/XGigaPart.h"
#include "editor/XSelectLcd.h"
#include "editor/XStackPanel.h"
#include "engine/GigaToneEdit.h"
#include "gig/GigaBankManager.h"
#include "giga/GigaPlayer.h"
#include "gui/XButton.h"
#include "gui/XMenu.h"
#include "gui/XMenuHost.h"
#include "gui/XTogLed.h"
#include "gui/XView.h"

void GigaView::LoadIntoView(const std::string& path, int programIndex)
{
    if (!Editor().AcceptInstrumentPath(path)) return;
    if (!Editor().StackMode()) Tone().Clear();
    Tone().AddLayer(path, programIndex);
    SendLoad();
}

void GigaView::SendLoad()
{
    Tone().SetStatus(GigaToneEdit::kLoadRequested);
    Broadcast(this, editorcode::kLoad);
}

void GigaView::Notify(XControl* sender, std::int32_t code)
{
    if (code == editorcode::kPartMenu) {
        if (auto* part = dynamic_cast<XGigaPart*>(sender))
            OpenLayerMenu(part->Serial());
        else
            OpenToneMenu();
        return;
    }
    if (code == editorcode::kMute) Broadcast(this, editorcode::kMute);
}

void GigaView::SelectChanged(XSelect* sender, std::int32_t)
{
    if (sender == name_) Broadcast(this, editorcode::kBrowse);
    if (sender == bus_) OpenBusMenu();
}

void GigaView::SliderChanged(XSlider* sender, std::int32_t)
{
    GigaToneEdit& tone = Tone();
    if (const int which = strip_->Which(sender); which >= 0) {
        const auto what = static_cast<XStripControls::Value>(which);
        const int value = strip_->ValueOf(what);
        // The fader sets what plays; the CC7 volume a performance stores stays.
        if (what == XStripControls::kVolume) tone.SetEffectiveVolume(value);
        if (what == XStripControls::kTune) tone.SetTune(value);
        if (what == XStripControls::kPan) tone.SetPan(value);
        strip_->ShowValue(what, value);
    }
}

void GigaView::ToggleChanged(XToggle* sender, std::int32_t state)
{
    GigaToneEdit& tone = Tone();
    const bool mute = sender == &strip_->Mute();
    const bool solo = sender == &strip_->Solo();
    if (mute) tone.SetMute(GigaToneEdit::kRequestedMute, state ? 1 : 3);
    if (solo) tone.SetMute(GigaToneEdit::kRequestedMute, state ? 2 : 4);
    if (mute || solo) Broadcast(this, editorcode::kMute);
}

void GigaView::ButtonClicked(XButton* sender, std::int32_t)
{
    if (sender == stack_->StackButton()) Broadcast(this, editorcode::kEditStack);
}

void GigaView::OpenToneMenu()
{
    menuLayer_ = 0;
    const XRect& at = viewlayout::kInstrumentButton;
    menus_.Show(instrumentMenu_.Build(GigaBankManager::Instance().Listing()), at.left,
                at.bottom + 1, kToneMenu);
}

void GigaView::OpenLayerMenu(std::uint32_t serial)
{
    menuLayer_ = serial;
    int x = 0, y = 0;
    if (XGigaPart* part = stack_->PartOf(serial)) {
        part->OffsetIn(this, x, y);
        x += viewlayout::kPartMenu.left;
        y += viewlayout::kPartMenu.bottom + 1;
    }
    menus_.Show(instrumentMenu_.Build(GigaBankManager::Instance().Listing()), x, y, kLayerMenu);
}

void GigaView::OpenBusMenu()
{
    auto menu = std::make_unique<XMenu>();
    GigaPlayer& player = Editor().Player();
    const int current = Tone().OutputBus();
    for (int bus = 0; bus < player.OutputBusCount(); ++bus) {
        const std::int32_t command = menu->AddItem(player.OutputBusName(bus));
        menu->SetChecked(command, bus == current);
    }
    menus_.Show(std::move(menu), viewlayout::kBus.left, viewlayout::kBus.bottom + 1, kBusMenu);
}

void GigaView::MenuChosen(const XEvent& reply)
{
    if (reply.a <= 0) return;  // cancelled
    GigaToneEdit& tone = Tone();
    if (reply.code == kBusMenu) {
        const int bus = MenuIndexOf(reply.a);
        if (bus < 0 || bus >= Editor().Player().OutputBusCount()) return;
        tone.SetOutputBus(bus);
        bus_->SetText(viewtext::BusText(bus));
        bus_->Invalidate();
        return;
    }
    const std::uint32_t layer = reply.code == kLayerMenu ? menuLayer_ : 0;
    const GigaInstrumentMenu::Result chosen =
        instrumentMenu_.Resolve(reply.a, GigaBankManager::Instance().Listing());
    switch (chosen.choice) {
        case GigaInstrumentMenu::Choice::kNone:
            return;
        case GigaInstrumentMenu::Choice::kLoadFile:
            OpenFileDialog(layer);
            return;
        case GigaInstrumentMenu::Choice::kUnload:
            if (layer != 0) {
                if (!tone.RemoveLayer(layer)) return;
            } else {
                if (tone.LayerCount() == 0) return;
                tone.Clear();
            }
            break;
        case GigaInstrumentMenu::Choice::kProgram:
            if (layer != 0) {
                if (!tone.ReplaceLayer(layer, chosen.path, chosen.program)) return;
            } else {
                tone.Clear();
                tone.AddLayer(chosen.path, chosen.program);
            }
            break;
    }
    SendLoad();
}

void GigaView::OpenFileDialog(std::uint32_t layer)
{
    if (fileDialogOpen_) return;
    fileLayer_ = layer;
    fileNav_.SetOwner(RootView());
    fileDialogOpen_ = fileNav_.Open("Open a .gig file");
}

void GigaView::PollFileDialog()
{
    const UFileNav::State state = fileNav_.Poll();
    if (state == UFileNav::State::kOpen) return;
    fileDialogOpen_ = false;
    if (state != UFileNav::State::kChosen || fileNav_.Names().empty()) return;
    const std::string path = fileNav_.Path();
    if (fileLayer_ == 0) {
        LoadIntoView(path, 0);
    } else if (Editor().AcceptInstrumentPath(path) && Tone().ReplaceLayer(fileLayer_, path, 0)) {
        SendLoad();
    }
}
