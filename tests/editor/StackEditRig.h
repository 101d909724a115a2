// The stack editor open as the editor shows it, over a rack with the demo bank loaded; presses,
// drags and double-clicks on its layer map as the window would deliver them.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "editor/EditorCodes.h"
#include "editor/WStackEdit.h"
#include "editor/XStack_Keyb.h"
#include "editor/XStack_List.h"
#include "gui/XMouse.h"
#include "tests/editor/ViewsRig.h"

namespace stackrig {

class StackEditTest : public viewsrig::ViewsTest {
protected:
    // Loads the programs as tone 0's layers, gives layer i the keys in `keys[i]` (low, high,
    // offset) and opens the editor.
    WStackEdit& Open(const std::vector<int>& programs,
                     const std::vector<std::array<int, 3>>& keys = {}, int mode = 0)
    {
        Load(0, programs);
        for (std::size_t i = 0; i < keys.size(); ++i)
            Tone(0).EditLayer(static_cast<int>(i), [&](GigaPart& layer) {
                layer.keyLow = keys[i][0];
                layer.keyHigh = keys[i][1];
                layer.keyOffset = keys[i][2];
            });
        Tone(0).SetSelectMode(mode);
        stack = static_cast<WStackEdit*>(root.ShowPopup(
            std::make_unique<WStackEdit>(editor, *player.ToneEdit(0)), editorcode::kStackEditor));
        return *stack;
    }
    GigaLayerFacts Layer(int index)
    {
        return player.Giga(0)->Facts().layers.at(static_cast<std::size_t>(index));
    }
    // A press at (x, y) of the map, dragged by dx.
    void Drag(int x, int y, int dx, bool fine)
    {
        XMouse mouse;
        mouse.pressX = mouse.currentX = x;
        mouse.pressY = mouse.currentY = y;
        XStack_List& map = stack->Map();
        if (!map.MouseDown(&mouse)) return;
        mouse.currentX = x + dx;
        mouse.shift = fine;
        map.MouseDrag(&mouse);
        map.MouseUp(&mouse);
    }
    // Chooses the select-by item with this text from the selector's menu.
    void ChooseSelectBy(const std::string& text)
    {
        stack->SelectChanged(&stack->SelectBy(), 0);
        const std::int32_t command = port.menus.Command({text});
        ASSERT_NE(command, 0) << text;
        port.menus.Answer(command);
        stack->Tick(0);
    }

    WStackEdit* stack = nullptr;
};

}  // namespace stackrig
