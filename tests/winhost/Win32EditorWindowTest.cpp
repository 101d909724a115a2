// The host's editor window on Windows with a stand-in editor (a child window that logs what
// reaches it and paints one colour): scripted input lands where the script says, keys come out
// as the characters a user would type, the snapshot shows the editor, and closing ends the open.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/WaitFor.h"
#include "tools/marlet-host/ActionPlayer.h"
#include "tools/marlet-host/ActionScript.h"
#include "tools/marlet-host/WindowSystem.h"

namespace {

constexpr COLORREF kEditorColour = RGB(0x33, 0x66, 0x99);

std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

LRESULT CALLBACK StandInEditor(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto at = [&] {
        return std::to_string(static_cast<short>(LOWORD(lParam))) + "," +
               std::to_string(static_cast<short>(HIWORD(lParam)));
    };
    switch (message) {
        case WM_LBUTTONDOWN:
            SetFocus(hwnd);
            Log().push_back("down " + at());
            return 0;
        case WM_LBUTTONUP:
            Log().push_back("up " + at());
            return 0;
        case WM_RBUTTONDOWN:
            Log().push_back("right " + at());
            return 0;
        case WM_MOUSEWHEEL:
            Log().push_back("wheel " + std::to_string(GET_WHEEL_DELTA_WPARAM(wParam)));
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN || wParam == VK_LEFT || wParam == VK_F5)
                Log().push_back("key " + std::to_string(wParam));
            return 0;
        case WM_CHAR:
            Log().push_back("char " + std::to_string(wParam));
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            HBRUSH brush = CreateSolidBrush(kEditorColour);
            FillRect(dc, &paint.rcPaint, brush);
            DeleteObject(brush);
            EndPaint(hwnd, &paint);
            return 0;
        }
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

class Win32EditorWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        windows_ = WindowSystem::Open({}, error);
        if (!windows_) GTEST_SKIP() << error;
        WNDCLASSEXW windowClass {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = StandInEditor;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"StandInEditor";
        RegisterClassExW(&windowClass);
        Log().clear();
    }
    // Pumps and plays as the session's loop does until `entry` has reached the stand-in.
    testing::AssertionResult RunUntilLogged(EditorWindow& window, ActionPlayer& actions,
                                            const std::string& entry)
    {
        return testsupport::WaitFor(
            [&] {
                if (!window.Pump()) return false;
                actions.Advance(window);
                return std::find(Log().begin(), Log().end(), entry) != Log().end();
            },
            "\"" + entry + "\" to reach the stand-in editor");
    }
    std::unique_ptr<WindowSystem> windows_;
};

TEST_F(Win32EditorWindowTest, InputLandsWhereTheScriptSaysAndTheSnapshotShowsTheEditor)
{
    // Made small and resized, as for an editor that knows its size only once open.
    const auto window = windows_->MakeWindow(1, 1, "stand-in");
    window->Resize(160, 90);
    const HWND parent = reinterpret_cast<HWND>(window->Handle());
    RECT client {};
    GetClientRect(parent, &client);
    EXPECT_EQ(client.right, 160);
    EXPECT_EQ(client.bottom, 90);
    const HWND editor = CreateWindowExW(0, L"StandInEditor", L"", WS_CHILD | WS_VISIBLE, 0, 0, 160,
                                        90, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(editor, nullptr);
    window->Show();

    // The last click marks the end: input arrives in the order it was sent, so once it is there
    // everything before it is, and anything that should not have come shows before it.
    ActionPlayer actions(ActionScript::Parse("click 10 20\n"
                                             "click 159 89 right\n"
                                             "wheel 50 50 -2\n"
                                             "click 3 4\n"
                                             "type aZ!\n"
                                             "key Return Left F5 ctrl+c\n"
                                             "click 150 80\n"),
                         windows_->MakeInput());
    const std::vector<std::string> expected {
        "down 10,20", "up 10,20", "right 159,89", "wheel -120",  "wheel -120", "down 3,4",
        "up 3,4",     "char 97",  "char 90",      "char 33",     "key 13",     "char 13",
        "key 37",     "key 116",  "char 3",       "down 150,80", "up 150,80"};
    EXPECT_TRUE(RunUntilLogged(*window, actions, "up 150,80"));
    EXPECT_TRUE(actions.Done());
    EXPECT_EQ(Log(), expected);

    const EditorWindow::Picture picture = window->Snapshot();
    ASSERT_EQ(picture.width, 160);
    ASSERT_EQ(picture.height, 90);
    std::size_t other = 0;
    for (std::size_t i = 0; i < picture.rgb.size(); i += 3)
        other += picture.rgb[i] != 0x33 || picture.rgb[i + 1] != 0x66 || picture.rgb[i + 2] != 0x99;
    EXPECT_EQ(other, 0u);

    // The user's close ends the open; the window stays until its object goes.
    PostMessageW(parent, WM_CLOSE, 0, 0);
    EXPECT_TRUE(testsupport::WaitFor([&] { return !window->Pump(); }, "the close to end the open"));
    EXPECT_TRUE(IsWindow(parent));
    DestroyWindow(editor);
}

}  // namespace
