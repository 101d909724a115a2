#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui/UFileNav.h"
#include "gui/XEvent.h"
#include "gui/XEventQueue.h"
#include "gui/XFont.h"
#include "gui/XMenu.h"
#include "gui/XMouse.h"
#include "gui/XView.h"
#include "gui/XWinGui.h"
#include "gui/win32/XWindowWin32.h"
#include "tests/support/WaitFor.h"

namespace {

XInput Key(std::uint32_t key, bool character, std::int32_t modifiers, char16_t& high, bool& taken)
{
    XInput input;
    taken = XWindowWin32::KeyInput(key, character, modifiers, high, input);
    return input;
}

TEST(WindowWin32Keys, VirtualKeysCharactersAndSurrogates)
{
    char16_t high = 0;
    bool taken = false;
    EXPECT_EQ(Key(VK_LEFT, false, kModShift, high, taken).code, kKeyLeft);
    EXPECT_TRUE(taken);
    EXPECT_EQ(Key(VK_RETURN, false, 0, high, taken).code, kKeyEnter);
    EXPECT_EQ(Key(VK_DELETE, false, 0, high, taken).code, kKeyDelete);
    // Letters and function keys as virtual keys are left to WM_CHAR or dropped.
    Key('A', false, 0, high, taken);
    EXPECT_FALSE(taken);
    Key(VK_F5, false, 0, high, taken);
    EXPECT_FALSE(taken);

    XInput input = Key(0xE9, true, 0, high, taken);
    EXPECT_TRUE(taken);
    EXPECT_EQ(input.character, 0xE9);
    EXPECT_EQ(input.code, kKeyChar);
    // Backspace, enter, tab and escape came as virtual keys already: not twice.
    for (std::uint32_t twice : {8u, 9u, 13u, 27u}) {
        Key(twice, true, 0, high, taken);
        EXPECT_FALSE(taken) << twice;
    }
    // Control+C arrives as its control character and stays, for the copy command.
    input = Key(3, true, kModControl, high, taken);
    EXPECT_TRUE(taken);
    EXPECT_EQ(input.character, 3);

    // U+1F600 comes in two halves; a lone low half is dropped.
    Key(0xD83D, true, 0, high, taken);
    EXPECT_FALSE(taken);
    input = Key(0xDE00, true, 0, high, taken);
    EXPECT_TRUE(taken);
    EXPECT_EQ(input.character, 0x1F600);
    Key(0xDE00, true, 0, high, taken);
    EXPECT_FALSE(taken);
}

TEST(FontGdi, EmbeddedFaceKeepsTheCellAndDraws)
{
    for (bool bold : {false, true}) {
        auto font = XFont::Get(16, bold);
        ASSERT_TRUE(font) << bold;
        EXPECT_EQ(font->CellHeight(), 16);
        // Liberation Sans' winAscent is 0.905 of its 1.117 em cell.
        EXPECT_NEAR(font->Ascent(), 13, 1);
        const int wide = font->Measure("WWWW");
        EXPECT_GT(wide, font->Measure("iiii"));
        EXPECT_GT(font->Measure(" "), 0);  // a blank glyph still advances

        std::vector<std::uint32_t> pixels(64 * 20, 0xFFFFFF);
        font->Draw(pixels, 64, 20, XRect(0, 0, 63, 19), 2, 2, 0x000000, "Hg");
        int inked = 0;
        for (std::uint32_t p : pixels) inked += p != 0xFFFFFF;
        EXPECT_GT(inked, 20);
    }
    // Beyond the basic plane: the replacement's glyph, never nothing.
    auto font = XFont::Get(16, false);
    EXPECT_GT(font->Measure("\xF0\x9F\x98\x80"), 0);
}

// A host's top-level window (never shown) with the editor's window in it; skipped where Wine
// has no display to make windows on.
struct HostWindow {
    explicit HostWindow(int scale = 0)
    {
        parent = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                 nullptr, nullptr, nullptr, nullptr);
        if (!parent) return;
        gui.SetRootView(&root);
        window = XWindowWin32::Open(gui, reinterpret_cast<std::uintptr_t>(parent), {}, scale);
    }
    ~HostWindow()
    {
        window.reset();
        gui.SetRootView(nullptr);
        if (parent) DestroyWindow(parent);
    }
    void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    HWND parent = nullptr;
    XView root {0, 0, 120, 60};
    XWinGui gui;
    std::unique_ptr<XWindowWin32> window;
};

TEST(WindowWin32, ChildWindowClipboardMenusAndTheHostGoingFirst)
{
    HostWindow host;
    if (!host.parent) GTEST_SKIP() << "no display";
    ASSERT_TRUE(host.window);
    const HWND child = reinterpret_cast<HWND>(host.window->WindowId());
    EXPECT_EQ(GetParent(child), host.parent);
    RECT client {};
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 120);
    EXPECT_EQ(client.bottom, 60);
    EXPECT_EQ(host.gui.Window(), host.window->WindowId());

    // Text beyond Latin-1 and beyond the basic plane survives the clipboard.
    const std::string text = "Gr\xC3\xBC\xC3\x9F\xE2\x82\xAC \xF0\x9F\x8E\xB9";
    host.window->SetClipboardText(text);
    EXPECT_EQ(host.window->ClipboardText(), text);

    XEventQueue reply;
    const auto menu = [] {
        auto m = std::make_unique<XMenu>();
        for (const char* item : {"One", "Two"}) m->AddItem(item);
        return m;
    };
    ASSERT_TRUE(host.window->MenuHost()->ShowMenu(menu(), 5000, 5000, &reply, 7));
    const HWND popup = reinterpret_cast<HWND>(host.window->MenuWindowId());
    ASSERT_TRUE(popup);
    EXPECT_EQ(GetCapture(), popup);
    // A second menu cancels the first, which answers once with 0.
    ASSERT_TRUE(host.window->MenuHost()->ShowMenu(menu(), 10, 10, &reply, 8));
    EXPECT_FALSE(IsWindow(popup));
    XEvent e;
    ASSERT_TRUE(reply.NextEvent(e));
    EXPECT_EQ(e.code, 7);
    EXPECT_EQ(e.a, 0);
    // Taken down from outside: no answer.
    host.window->MenuHost()->CancelMenu();
    host.Pump();
    EXPECT_FALSE(host.window->MenuHost()->IsMenuOpen());
    EXPECT_FALSE(reply.NextEvent(e));

    // The host destroys its window, ours with it: inert, and closing afterwards is safe.
    host.window->StartTimer(XWinGui::kTimerPeriodMs);
    DestroyWindow(host.parent);
    host.parent = nullptr;
    EXPECT_FALSE(host.window->Alive());
    EXPECT_EQ(host.window->Target(), nullptr);
    host.window->SetClipboardText("x");
    host.Pump();
}

// A pressed control that remembers where the press was.
struct PressProbe : XControl {
    using XControl::XControl;
    bool MouseDown(XMouse* mouse) override
    {
        x = mouse->LocalPressX();
        y = mouse->LocalPressY();
        return true;
    }
    int x = -1, y = -1;
};

// On a high-density screen every pixel is drawn twice as wide and high; input and menu
// positions come back in the gui's own pixels.
TEST(WindowWin32, ScaleTwoDoublesTheWindowAndHalvesTheInput)
{
    EXPECT_EQ(ScaleForDpi(96), 1);
    EXPECT_EQ(ScaleForDpi(120), 1);
    EXPECT_EQ(ScaleForDpi(144), 2);
    EXPECT_EQ(ScaleForDpi(192), 2);
    HostWindow host(2);
    if (!host.parent) GTEST_SKIP() << "no display";
    ASSERT_TRUE(host.window);
    EXPECT_EQ(host.window->Scale(), 2);
    const HWND child = reinterpret_cast<HWND>(host.window->WindowId());
    RECT client {};
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 120);

    PressProbe* probe = host.root.Add<PressProbe>(20, 10, 40, 20);
    SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 40));
    SendMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(60, 40));
    EXPECT_EQ(probe->x, 10);
    EXPECT_EQ(probe->y, 10);

    int sx = 0, sy = 0;
    ASSERT_TRUE(host.window->ScreenOrigin(sx, sy));
    POINT origin {0, 0};
    ClientToScreen(child, &origin);
    EXPECT_EQ(sx, origin.x / 2);
    XEventQueue reply;
    auto menu = std::make_unique<XMenu>();
    menu->AddItem("One");
    ASSERT_TRUE(host.window->MenuHost()->ShowMenu(std::move(menu), 50, 60, &reply, 1));
    RECT shown {};
    GetClientRect(reinterpret_cast<HWND>(host.window->MenuWindowId()), &shown);
    RECT frame {};
    GetWindowRect(reinterpret_cast<HWND>(host.window->MenuWindowId()), &frame);
    EXPECT_EQ(frame.left, 100);
    EXPECT_EQ(frame.top, 120);
    EXPECT_EQ(shown.right % 2, 0);
    host.window->MenuHost()->CancelMenu();
}

// A visible top-level window of this process with the title, or null.
HWND ShownWindow(const std::wstring& title)
{
    struct Search {
        const std::wstring& title;
        HWND found = nullptr;
    } search {title};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
            wchar_t text[64] = {};
            GetWindowTextW(window, text, 64);
            if (s.title != text) return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The system's dialog runs on a thread of its own: cancelling it, or dropping it while open,
// ends the dialog and its thread instead of hanging the caller.
TEST(FileDialogWin32, CancelledAndDroppedWhileOpen)
{
    HostWindow host;
    if (!host.parent) GTEST_SKIP() << "no display";
    UFileNav nav;
    nav.AddFilter("Instruments", "gig");
    ASSERT_TRUE(nav.Open("Open"));
    EXPECT_EQ(nav.Poll(), UFileNav::State::kOpen);
    // Cancelled once its window is up (a cancel before that waits for it: the second case).
    ASSERT_TRUE(testsupport::WaitFor([] { return ShownWindow(L"Open") != nullptr; },
                                     "the open dialog's window"));
    nav.Cancel();
    EXPECT_EQ(nav.GetState(), UFileNav::State::kCancelled);

    auto dropped = std::make_unique<UFileNav>();
    ASSERT_TRUE(dropped->ChooseFolder("Folder"));
    dropped.reset();
    ASSERT_TRUE(nav.Save("Save"));  // at once: the cancel reaches a dialog still being made
    nav.Cancel();
    EXPECT_EQ(nav.GetState(), UFileNav::State::kCancelled);
}

}  // namespace
