// The stack editor ("Stack Editor"): one tone's stack name, how its playing layer is selected
// (with the controller number or the key-switch keys), and each layer's keys on a map above a
// keyboard, with the selected layer's facts below. Every change goes straight into the live
// tone: the tone's setters and its locked layer editing, so the loader and the audio thread
// keep reading consistent values. The editor shows it as a popup (editorcode::kStackEditor); "Done"
// closes it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "editor/XMenuAsk.h"
#include "gui/XListener.h"
#include "gui/XView.h"

class GigaEditorLink;
class GigaToneEdit;
class XButton;
class XEditBox;
class XLabel;
class XPanLab;
class XSelect;
class XStack_Keyb;
class XStack_List;

class WStackEdit : public XView, public XListener {
public:
    static constexpr int kWidth = 782;

    struct Choice {
        std::string_view text;
        int mode;
    };
    // What "Select by:" offers, in its order.
    static constexpr std::array<Choice, 6> kChoices {{{"None (All playing)", 0},
                                                      {"Program Change", 199},
                                                      {"Control Change", 1},
                                                      {"Key Switch", 133},
                                                      {"Velocity", 130},
                                                      {"Random", 135}}};

    WStackEdit(GigaEditorLink& editor, GigaToneEdit& tone);

    static int HeightFor(int layers) { return 18 * layers + 252; }
    // The selector's text for a select mode.

    GigaToneEdit& Tone() const { return tone_; }
    GigaEditorLink& Editor() const { return editor_; }

    // For tests and the editor: the controls.
    XEditBox& NameBox() const { return *name_; }
    XSelect& SelectBy() const { return *selectBy_; }
    XEditBox& ControllerBox() const { return *controller_; }
    XLabel& ControllerLabel() const { return *controllerLabel_; }
    XLabel& SwitchLabel() const { return *switchLabel_; }
    XButton& SwitchDown() const { return *switchDown_; }
    XLabel& SwitchText() const { return *switchText_; }
    XButton& SwitchUp() const { return *switchUp_; }
    XStack_List& Map() const { return *map_; }
    XStack_Keyb& Keyboard() const { return *keyboard_; }
    XLabel& ProgramText() const { return *program_; }
    XLabel& TransposeText() const { return *transpose_; }
    XLabel& RangeText() const { return *range_; }
    XButton& DoneButton() const { return *done_; }
    XMenuAsk& Menus() { return menus_; }

    // Takes up the select-by menu's answer.
    void Tick(std::uint32_t tick) override;

    // XListener.
    void ButtonClicked(XButton* sender, std::int32_t code) override;
    void SelectChanged(XSelect* sender, std::int32_t index) override;
    void EditNotify(XControl* sender, std::int32_t code) override;
    void ListNotify(XControl* sender, std::int32_t code) override;

private:
    void BuildProperties(int width);
    void BuildMapping(int width, std::unique_ptr<XStack_List> map);
    void BuildLayerFacts(int width, int height);
    void ChooseMode(int mode);
    // Shows the select mode and what goes with it (controller, key-switch keys, overlay).
    void ShowMode();
    void ShowSwitchRange(int low, int high);
    void MoveSwitch(int step);
    // The facts of the map's selected row; none: the texts are hidden.
    void ShowLayer(int row);
    // The tone's view in the rack shows the new name and badge.
    void RefreshToneView();

    GigaEditorLink& editor_;
    GigaToneEdit& tone_;
    XMenuAsk menus_ {*this};

    XEditBox* name_ = nullptr;
    XSelect* selectBy_ = nullptr;
    XLabel* controllerLabel_ = nullptr;
    XEditBox* controller_ = nullptr;
    XLabel* switchLabel_ = nullptr;
    XButton* switchDown_ = nullptr;
    XLabel* switchText_ = nullptr;
    XButton* switchUp_ = nullptr;
    XStack_List* map_ = nullptr;
    XStack_Keyb* keyboard_ = nullptr;
    XLabel* program_ = nullptr;
    XLabel* transpose_ = nullptr;
    XLabel* range_ = nullptr;
    XButton* done_ = nullptr;
};
