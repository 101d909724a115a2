// A tone's view in the rack: the top strip (number, MIDI lamp, name, instrument menu, output
// bus, mute, solo, volume, tune, pan) and, when expanded, the program's panel (XProgramPanel)
// or the stack's (XStackPanel).
//
// Threads: the tone calls ToneNotify from the audio and loading threads; it only records the
// latest value per code in mailboxes. Tick, on the GUI thread, applies what was recorded. What
// the view shows of the stack comes from the tone's facts (copies under its stack lock), never
// from the programs the loader may be changing.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/GigaInstrumentMenu.h"
#include "editor/XMenuAsk.h"
#include "editor/XStripControls.h"
#include "editor/XToneView.h"
#include "engine/GigaToneEdit.h"
#include "gui/UFileNav.h"
#include "gui/XBroadcaster.h"
#include "gui/XListener.h"
#include "gui/XMailbox.h"
#include "platform/QelLog.h"

class XButton;
class XFader;
class XGigaName;
class XGigaTop;
class XMyLed;
class XProgramPanel;
class XSelectLcd;
class XStackPanel;
class XTogLed;
class XToggle;
class XValTop;

class GigaView : public XToneView,
                 public XListener,
                 public XBroadcaster,
                 public KyToneView,
                 public QelLog {
public:
    // Becomes the tone's view.
    GigaView(GigaEditorLink& editor, GigaToneEdit& tone);
    // Stops the tone's notifications first.
    ~GigaView() override;

    GigaToneEdit& Tone() const { return KyView::Tone(); }

    // Shows everything anew from the tone; a tone just loaded (status 8) becomes shown (9) and
    // the view asks to be selected.
    void Refresh();
    // GUI thread, every timer tick: applies the notifications recorded since the last tick,
    // the menus' replies and the file dialog's answer.
    void Tick();
    // 0 none, 1 selected (blue frame), 2 drop target (yellow frame).
    void SetHighlight(int highlight);
    int Highlight() const { return highlight_; }
    // Clears the tone first unless the editor stacks, adds the program as a layer, sends
    // 'Load'.
    void LoadIntoView(const std::string& path, int programIndex);

    // KyToneView (audio and loading threads).
    void ToneNotify(std::int32_t code, std::int32_t value) override;

    // XControl.
    bool MouseDown(XMouse* mouse) override;
    void Resized() override;
    bool AcceptDrop(XControl* source, std::int32_t payload) override;
    void DragEnter(XControl* source, std::int32_t payload) override;
    void DragLeave(XControl* source, std::int32_t payload) override;
    void Drop(XControl* source, std::int32_t payload) override;

    // XListener: the view's own controls.
    void Notify(XControl* sender, std::int32_t code) override;
    void SelectChanged(XSelect* sender, std::int32_t index) override;
    void SliderChanged(XSlider* sender, std::int32_t value) override;
    void ToggleChanged(XToggle* sender, std::int32_t state) override;
    void ButtonClicked(XButton* sender, std::int32_t code) override;

    // For tests and the editor: what the view shows.
    const XGigaName& Name() const { return *name_; }
    const XSelectLcd& Bus() const { return *bus_; }
    const XMyLed& MidiLed() const { return *led_; }
    const XTogLed& MuteLed() const { return strip_->Mute(); }
    const XTogLed& SoloLed() const { return strip_->Solo(); }
    XFader& Fader(int which) const { return strip_->Fader(which); }
    const XValTop& FaderValue(int which) const { return strip_->Text(which); }
    XProgramPanel& Program() const { return *program_; }
    XStackPanel& Stack() const { return *stack_; }
    XMenuAsk& Menus() { return menus_; }
    UFileNav& FileNav() { return fileNav_; }

protected:
    int PanelHeight() const override;

private:
    // The menus a reply can belong to.
    enum MenuCode : std::int32_t { kToneMenu = 1, kBusMenu = 2, kLayerMenu = 3 };

    void BuildStrip();
    void ShowStatus(int status);
    void ShowStrip();
    void ApplyControllers();
    void OpenToneMenu();
    void OpenLayerMenu(std::uint32_t serial);
    void OpenBusMenu();
    void MenuChosen(const XEvent& reply);
    void OpenFileDialog(std::uint32_t layer);
    void PollFileDialog();
    void SendLoad();
    bool DroppedInstrument(XControl* source, std::int32_t payload, std::string& path,
                           int& program) const;

    // Recorded by ToneNotify, taken by Tick.
    XMailbox<std::int32_t> notesHeld_;
    XMailbox<std::int32_t> controllers_;
    XMailbox<std::int32_t> percent_;
    XMailbox<std::int32_t> status_;

    int highlight_ = 0;
    int highlightBeforeDrag_ = 0;
    int layerCount_ = 0;  // staying layers at the last refresh

    XMenuAsk menus_ {*this};
    GigaInstrumentMenu instrumentMenu_;
    std::uint32_t menuLayer_ = 0;  // the layer row whose menu is open
    UFileNav fileNav_;
    bool fileDialogOpen_ = false;
    std::uint32_t fileLayer_ = 0;  // the layer row that asked, 0: the tone

    XGigaTop* top_ = nullptr;
    XValTop* number_ = nullptr;
    XMyLed* led_ = nullptr;
    XGigaName* name_ = nullptr;
    XSelectLcd* bus_ = nullptr;
    std::unique_ptr<XStripControls> strip_;
    XProgramPanel* program_ = nullptr;
    XStackPanel* stack_ = nullptr;
    XControl* frame_ = nullptr;
};
