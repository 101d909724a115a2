// The editor target's window: a stand-in for the X11 child window that the plug-in opens in the
// host's window. Like that window it attaches itself to the host glue (XWinGui) as its port
// while it lives, presents into a recording target, keeps the clipboard, and, when it shows
// menus itself, holds the open menu's view and gives it the pointer and the keys until it ends
// (as the X11 window's grab does). Nothing here needs a display.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gui/XEventQueue.h"
#include "gui/XGraphic.h"
#include "gui/XMenu.h"
#include "gui/XMenuHost.h"
#include "gui/XWinGui.h"
#include "gui/XWindowPort.h"

namespace editorfuzz {

class StandInWindow final : public XWindowPort, public XMenuHost, public XTarget {
public:
    static constexpr std::uintptr_t kHandle = 0x5a0001;
    // Where the window sits on the screen, and the screen's size.
    static constexpr int kScreenX = 300;
    static constexpr int kScreenY = 200;
    static constexpr int kScreenWidth = 1920;
    static constexpr int kScreenHeight = 1080;

    StandInWindow(XWinGui& gui, bool showsMenus) : gui_(gui), showsMenus_(showsMenus)
    {
        gui_.SetPort(this);
        gui_.SetWindow(kHandle);
    }
    ~StandInWindow() override
    {
        CloseMenu();  // its window goes with ours, without a reply
        gui_.SetPort(nullptr);
        gui_.SetWindow(0);
    }
    StandInWindow(const StandInWindow&) = delete;
    StandInWindow& operator=(const StandInWindow&) = delete;

    // --- XWindowPort
    void StartTimer(int) override { timer_ = true; }
    void StopTimer() override { timer_ = false; }
    void CaptureMouse() override { captured_ = true; }
    void ReleaseMouse() override { captured_ = false; }
    bool HasMouseCapture() const override { return captured_; }
    void TakeKeyboardFocus() override {}
    bool ScreenOrigin(int& x, int& y) const override
    {
        x = kScreenX;
        y = kScreenY;
        return true;
    }
    XTarget* Target() override { return this; }
    std::string ClipboardText() override { return clipboard_; }
    void SetClipboardText(std::string_view text) override { clipboard_ = text; }
    XMenuHost* MenuHost() override { return showsMenus_ ? this : nullptr; }

    // --- XTarget: what the window would show; its corners are read, so that a picture
    // smaller than it says is found.
    void Put(const std::uint32_t* pixels, int width, int height, int, int) override
    {
        if (width <= 0 || height <= 0) return;
        const std::size_t count =
            static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        checksum_ = pixels[0] + pixels[count - 1];
    }

    // --- XMenuHost
    bool ShowMenu(std::unique_ptr<XMenu> menu, int screenX, int screenY, XEventQueue* reply,
                  std::int32_t code) override
    {
        if (!menu) return false;
        if (menu_) {
            menu_->PressedOutside();  // the menu open so far answers "cancelled"
            CloseMenu();
        }
        menu_ = std::make_unique<XMenuView>(std::move(menu), kScreenHeight, reply, code);
        reply_ = reply;
        code_ = code;
        menuX_ = std::clamp(screenX, 0, std::max(0, kScreenWidth - menu_->Width()));
        menuY_ = std::clamp(screenY, 0, std::max(0, kScreenHeight - menu_->Height()));
        DrawMenu();
        return true;
    }
    void CancelMenu() override { CloseMenu(); }
    bool IsMenuOpen() const override { return menu_ != nullptr; }

    // The open menu takes the pointer and the keys; points are the window's, as the editor's.
    XMenuView* Menu() const { return menu_.get(); }
    void MenuPointer(int kind, int x, int y)
    {
        if (!menu_) return;
        const int mx = x + kScreenX - menuX_;
        const int my = y + kScreenY - menuY_;
        const bool inside = mx >= 0 && my >= 0 && mx < menu_->Width() && my < menu_->Height();
        if (kind == XInput::kMouseMove) menu_->PointerMoved(mx, my);
        if (kind == XInput::kLeftDown || kind == XInput::kRightDown) {
            if (inside)
                menu_->PointerPressed(mx, my);
            else
                menu_->PressedOutside();
        }
        if (kind == XInput::kLeftUp || kind == XInput::kRightUp) menu_->PointerReleased(mx, my);
        AfterMenuInput();
    }
    void MenuWheel(int notches)
    {
        if (!menu_) return;
        menu_->ScrollBy(notches > 0 ? -1 : 1);
        AfterMenuInput();
    }
    void MenuKey(XKey key)
    {
        if (!menu_) return;
        menu_->KeyDown(&key);
        AfterMenuInput();
    }
    // Answers with the item at this path of entry indices (each modulo the level's count), as
    // a click on it would: the view posts nothing once it is taken down, so the reply goes to
    // the asker here. A path ending on a separator, a submenu or a disabled item cancels.
    void MenuPick(const std::vector<int>& path)
    {
        if (!menu_) return;
        const XMenu* level = &menu_->Menu();
        std::int32_t command = 0;
        for (int index : path) {
            if (!level || level->Count() == 0) break;
            const XMenu::Entry* entry = level->At(index % level->Count());
            command = entry->enabled ? entry->command : 0;
            level = entry->submenu.get();
        }
        if (command == 0) {
            MenuCancel();
            return;
        }
        if (reply_) reply_->Post(code_, command, 0);
        CloseMenu();
    }
    void MenuCancel()
    {
        if (!menu_) return;
        menu_->PressedOutside();
        CloseMenu();
    }

    bool TimerRunning() const { return timer_; }
    std::uint32_t Checksum() const { return checksum_; }

private:
    void AfterMenuInput()
    {
        if (menu_ && menu_->IsFinished())
            CloseMenu();
        else
            DrawMenu();
    }
    void CloseMenu() { menu_.reset(); }
    void DrawMenu()
    {
        if (!menu_) return;
        menuSurface_.Begin(nullptr, menu_->Width(), menu_->Height());
        menu_->DrawTree(&menuSurface_, true);
    }

    XWinGui& gui_;
    bool showsMenus_;
    bool timer_ = false;
    bool captured_ = false;
    std::string clipboard_;
    std::uint32_t checksum_ = 0;
    std::unique_ptr<XMenuView> menu_;
    int menuX_ = 0;
    int menuY_ = 0;
    XEventQueue* reply_ = nullptr;
    std::int32_t code_ = 0;
    XGraphic menuSurface_;
};

}  // namespace editorfuzz
