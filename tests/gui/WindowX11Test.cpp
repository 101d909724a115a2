// The editor's X11 window under a real (virtual) X server: it sits inside its parent, turns
// synthetic input into the tree's calls, shows exactly the headless picture, and survives its
// parent or its connection going away. The program starts its own virtual X server
// (tests/support/VirtualDisplayEnvironment.h); without Xvfb the tests that need one skip.
#include "gui/x11/XWindowX11.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "gui/XEventQueue.h"
#include "gui/XMenu.h"
#include "gui/XView.h"
#include "gui/XWinGui.h"
#include "gui/x11/XKeyMapX11.h"
#include "tests/gui/ControlsRig.h"
#include "tests/support/ProcessResources.h"
#include "tests/support/VirtualDisplayEnvironment.h"
#include "tests/support/WaitFor.h"
#include "tests/support/Watchdog.h"
#include "tests/support/XDisplayConnection.h"

namespace {

using testsupport::HeapInUse;
using testsupport::OpenDescriptors;
using testsupport::VirtualDisplayEnvironment;

using controlsrig::Log;
using controlsrig::Probe;
template <typename T>
using Reply = XWindowX11::Reply<T>;

// A control with a picture worth comparing: fills, a line and text.
class Painted : public XControl {
public:
    using XControl::XControl;
    void Draw(XGraphic* g) override
    {
        g->SetFillColor(XColor(30, 60, 90));
        g->FillRect(0, 0, Width(), Height());
        g->SetFillColor(XColor(250, 200, 10));
        g->FillRect(3, 4, Width() / 2, Height() / 3);
        g->SetTextColor(XColor(255, 255, 255));
        g->Text("Marlet \xc3\xa4g", 6, Height() - 14);
    }
};

// The tree every test shows: a painted part and a probe that records its input.
struct Tree {
    Log log;
    XView root {0, 0, 200, 100};
    Painted* painted = root.Add<Painted>(100, 0, 100, 100);
    Probe* button = root.Add<Probe>(&log, "button", 20, 20, 60, 40);
    Tree()
    {
        button->takesPress = true;
        button->takesWheel = true;
        button->takesKeys = true;
        root.SetColor(0, XColor(10, 10, 10));
        button->SetColor(0, XColor(200, 50, 50));
    }
};

class X11Window : public testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string why = VirtualDisplayEnvironment::Missing(); !why.empty())
            GTEST_SKIP() << why;
        c_ = testsupport::ConnectToTestDisplay();
        ASSERT_NE(c_, nullptr);
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        parent_ = xcb_generate_id(c_);
        const std::uint32_t values[] = {screen_->black_pixel};
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, parent_, screen_->root, 0, 0, 300, 200, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, XCB_CW_BACK_PIXEL,
                          values);
        xcb_map_window(c_, parent_);
        Sync();
        gui_.SetParentWindow(parent_);
        gui_.SetRootView(&tree_.root);
    }

    void TearDown() override
    {
        window_.reset();
        gui_.SetRootView(nullptr);
        if (c_) {
            if (!xcb_connection_has_error(c_)) {
                xcb_destroy_window(c_, parent_);
                Sync();
            }
            xcb_disconnect(c_);
        }
    }

    void Sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

    void OpenWindow()
    {
        window_ = XWindowX11::Open(gui_, parent_);
        ASSERT_TRUE(window_);
        ASSERT_TRUE(PumpUntil("the first paint", [&] { return gui_.BackBuffer().Width() > 0; }));
    }

    // Idle calls as a host gives them, until `done`.
    testing::AssertionResult PumpUntil(std::string_view what, const std::function<bool()>& done)
    {
        return testsupport::WaitFor(
            [&] {
                window_->Idle();
                return done();
            },
            what);
    }
    testing::AssertionResult Logged(const std::string& entry)
    {
        auto result = PumpUntil("\"" + entry + "\" in the log", [&] {
            return std::find(tree_.log.begin(), tree_.log.end(), entry) != tree_.log.end();
        });
        if (!result) {
            result << "; the log:";
            for (const auto& line : tree_.log) result << "\n  " << line;
        }
        return result;
    }

    // Synthetic input through XTest, at points of the editor window (which sits at 0,0).
    void MoveTo(int x, int y)
    {
        xcb_test_fake_input(c_, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, screen_->root,
                            static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 0);
        Sync();
    }
    void Button(int button, bool press)
    {
        xcb_test_fake_input(c_, press ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE,
                            static_cast<std::uint8_t>(button), XCB_CURRENT_TIME, screen_->root, 0,
                            0, 0);
        Sync();
    }
    void Key(std::uint32_t keysym, bool press)
    {
        const xcb_setup_t* setup = xcb_get_setup(c_);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        const Reply<xcb_get_keyboard_mapping_reply_t> map(xcb_get_keyboard_mapping_reply(
            c_, xcb_get_keyboard_mapping(c_, setup->min_keycode, static_cast<std::uint8_t>(count)),
            nullptr));
        ASSERT_TRUE(map);
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map.get());
        for (int i = 0; i < count * map->keysyms_per_keycode; ++i) {
            if (syms[i] != keysym) continue;
            const auto code =
                static_cast<std::uint8_t>(setup->min_keycode + i / map->keysyms_per_keycode);
            xcb_test_fake_input(c_, press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, code, XCB_CURRENT_TIME,
                                screen_->root, 0, 0, 0);
            Sync();
            return;
        }
        FAIL() << "no key for keysym " << keysym;
    }
    void Tap(std::uint32_t keysym)
    {
        Key(keysym, true);
        Key(keysym, false);
    }

    std::vector<std::uint32_t> WindowPixels(int w, int h)
    {
        // A round trip on the window's own connection: its pictures have reached the server.
        int x = 0, y = 0;
        window_->ScreenOrigin(x, y);
        const Reply<xcb_get_image_reply_t> image(xcb_get_image_reply(
            c_,
            xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_->WindowId(), 0, 0,
                          static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), ~0u),
            nullptr));
        if (!image) return {};
        const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
        std::vector<std::uint32_t> pixels(data, data + static_cast<std::size_t>(w) * h);
        for (auto& p : pixels) p &= 0xffffff;
        return pixels;
    }

    std::vector<xcb_window_t> Children()
    {
        const Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(c_, xcb_query_tree(c_, parent_), nullptr));
        if (!tree) return {};
        const xcb_window_t* ids = xcb_query_tree_children(tree.get());
        return {ids, ids + xcb_query_tree_children_length(tree.get())};
    }

    xcb_connection_t* c_ = nullptr;
    const xcb_screen_t* screen_ = nullptr;
    xcb_window_t parent_ = 0;
    Tree tree_;
    XWinGui gui_;
    std::unique_ptr<XWindowX11> window_;
};

TEST_F(X11Window, ShowsTheHeadlessPictureInsideItsParent)
{
    OpenWindow();
    EXPECT_EQ(Children(), std::vector<xcb_window_t> {window_->WindowId()});
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window_->WindowId()), nullptr));
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 200);
    EXPECT_EQ(geometry->height, 100);

    Tree headlessTree;
    XWinGui headless;
    headless.SetRootView(&headlessTree.root);
    headless.Paint(nullptr);
    const auto expected = headless.BackBuffer().Pixels();
    const auto shown = WindowPixels(200, 100);
    ASSERT_EQ(shown.size(), expected.size());
    EXPECT_TRUE(std::equal(shown.begin(), shown.end(), expected.begin()));
    headless.SetRootView(nullptr);
}

TEST_F(X11Window, SyntheticMouseReachesTheControls)
{
    OpenWindow();
    MoveTo(30, 30);
    EXPECT_TRUE(Logged("button Enter"));
    Button(1, true);
    EXPECT_TRUE(Logged("button MouseDown 10,10"));
    EXPECT_TRUE(window_->HasMouseCapture());
    // The drag goes on outside the window: X keeps the pointer with us while the button is down.
    MoveTo(50, 35);
    EXPECT_TRUE(Logged("button MouseDrag 30,15"));
    MoveTo(250, 150);
    EXPECT_TRUE(Logged("button MouseDrag 230,130"));
    Button(1, false);
    EXPECT_TRUE(Logged("button MouseUp"));
    EXPECT_FALSE(window_->HasMouseCapture());

    MoveTo(40, 40);
    Button(3, true);
    Button(3, false);
    EXPECT_TRUE(
        PumpUntil("the right button's press", [&] { return tree_.button->lastMouse.button == 1; }));
    for (const int wheel : {4, 5}) {
        Button(wheel, true);
        Button(wheel, false);
    }
    EXPECT_TRUE(Logged("button Wheel 0,20"));
    EXPECT_TRUE(Logged("button Wheel 0,-20"));
}

TEST_F(X11Window, KeysReachTheFocusedControlAfterAClick)
{
    OpenWindow();
    MoveTo(30, 30);
    Button(1, true);
    Button(1, false);
    ASSERT_TRUE(Logged("button MouseUp"));
    Tap('a');
    EXPECT_TRUE(Logged("button Key 97,0"));
    Key(0xffe1, true);  // shift
    Tap('a');
    Key(0xffe1, false);
    EXPECT_TRUE(Logged("button Key 65,0"));
    Tap(0xff0d);
    EXPECT_TRUE(Logged("button Key 0,8"));
    Tap(0xff51);
    EXPECT_TRUE(Logged("button Key 0,3"));
    Key(0xffe3, true);  // control
    Tap('c');
    Key(0xffe3, false);
    EXPECT_TRUE(Logged("button Key 0,10"));
}

TEST_F(X11Window, GoesInertWhenTheParentIsDestroyedFirst)
{
    OpenWindow();
    xcb_destroy_window(c_, parent_);
    Sync();
    EXPECT_TRUE(PumpUntil("the window to go inert", [&] { return !window_->Alive(); }));
    EXPECT_FALSE(window_->Idle());
    EXPECT_EQ(window_->Target(), nullptr);
    // Whatever the core still asks is answered harmlessly.
    tree_.root.Invalidate();
    gui_.Redraw();
    const std::uint32_t pixel = 0;
    window_->Put(&pixel, 1, 1, 0, 0);
    window_->SetClipboardText("x");
    EXPECT_EQ(window_->ClipboardText(), "");
    window_.reset();
    EXPECT_EQ(gui_.Window(), 0u);
}

TEST_F(X11Window, GoesInertWhenItsConnectionDies)
{
    OpenWindow();
    shutdown(window_->ConnectionFd(), SHUT_RDWR);
    MoveTo(30, 30);
    EXPECT_TRUE(PumpUntil("the window to go inert", [&] { return !window_->Alive(); }));
    // Asked on a dead connection, the clipboard answers "nothing" rather than wait for a reply
    // that cannot come.
    {
        const testsupport::Watchdog watchdog("ClipboardText on a dead connection to return");
        EXPECT_EQ(window_->ClipboardText(), "");
    }
    window_.reset();
}

TEST_F(X11Window, ManyOpensAndClosesLeaveNothingBehind)
{
    OpenWindow();
    window_.reset();
    const int descriptors = OpenDescriptors();
    const auto cycle = [&] {
        auto window = XWindowX11::Open(gui_, parent_);
        ASSERT_TRUE(window);
        window->Idle();
    };
    // A few cycles first, so caches that fill once (fonts, the X libraries' own) are full.
    for (int i = 0; i < 20; ++i) cycle();
    const size_t heap = HeapInUse();
    for (int i = 0; i < 500; ++i) cycle();
    Sync();
    EXPECT_EQ(OpenDescriptors(), descriptors);
    // One back buffer kept per cycle would be hundreds of megabytes; a few bytes per cycle shows
    // too.
    EXPECT_LE(HeapInUse(), heap + 16 * 1024) << "from " << heap;
    EXPECT_TRUE(Children().empty());
    EXPECT_EQ(gui_.Window(), 0u);
}

TEST_F(X11Window, ClipboardTextTravelsBetweenWindowsAndAHungOwnerIsGivenUp)
{
    OpenWindow();
    window_->SetClipboardText("gr\xc3\xbcn");
    EXPECT_EQ(window_->ClipboardText(), "gr\xc3\xbcn");

    // A second editor reads it while the first answers from its own thread, as two plug-ins in
    // one host would.
    Tree otherTree;
    XWinGui otherGui;
    otherGui.SetParentWindow(parent_);
    otherGui.SetRootView(&otherTree.root);
    auto other = XWindowX11::Open(otherGui, parent_);
    ASSERT_TRUE(other);
    std::atomic<bool> stop {false};
    std::thread owner([&] {
        while (!stop) {
            window_->Idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    // A reader gives up on an owner that is slow to answer (as a loaded machine may make this
    // one): it asks again.
    std::string read;
    EXPECT_TRUE(testsupport::WaitFor(
        [&] {
            read = other->ClipboardText();
            return read == "gr\xc3\xbcn";
        },
        "the second editor to read the first one's text"))
        << "last read: \"" << read << "\"";
    stop = true;
    owner.join();

    // Now an owner that never answers.
    const xcb_atom_t clipboard = [&] {
        const Reply<xcb_intern_atom_reply_t> atom(
            xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, 9, "CLIPBOARD"), nullptr));
        return atom->atom;
    }();
    xcb_set_selection_owner(c_, parent_, clipboard, XCB_CURRENT_TIME);
    Sync();
    {
        const testsupport::Watchdog watchdog("ClipboardText with a hung owner to return");
        EXPECT_EQ(other->ClipboardText(), "");
    }
    // It gave up on a request that reached the owner, who never answered.
    bool requested = false;
    EXPECT_TRUE(testsupport::WaitFor(
        [&] {
            while (const Reply<xcb_generic_event_t> event {xcb_poll_for_event(c_)})
                requested = requested || (event->response_type & 0x7f) == XCB_SELECTION_REQUEST;
            return requested;
        },
        "the clipboard's owner to receive the request"));
    // The first editor learns that it lost the clipboard.
    EXPECT_TRUE(PumpUntil("the first editor to let go of the clipboard",
                          [&] { return window_->ClipboardText().empty(); }));
    other.reset();
    otherGui.SetRootView(nullptr);
}

TEST_F(X11Window, HighDensityResourcesDoubleThePicture)
{
    const char resources[] = "Xft.antialias:\t1\nXft.dpi:\t192\n";
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, screen_->root, XCB_ATOM_RESOURCE_MANAGER,
                        XCB_ATOM_STRING, 8, sizeof resources - 1, resources);
    Sync();
    EXPECT_EQ(XWindowX11::DisplayScale(), 2);
    // A scale the host fixed earlier wins over the resources.
    EXPECT_EQ(XWindowX11::Open(gui_, parent_, {}, 1)->Scale(), 1);
    OpenWindow();
    xcb_delete_property(c_, screen_->root, XCB_ATOM_RESOURCE_MANAGER);
    Sync();
    EXPECT_EQ(XWindowX11::DisplayScale(), 1);
    ASSERT_EQ(window_->Scale(), 2);
    const auto shown = WindowPixels(300, 200);  // the part the parent shows
    const auto drawn = gui_.BackBuffer().Pixels();
    ASSERT_EQ(shown.size(), 300u * 200u);
    bool same = true;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 300; ++x)
            same = same && shown[y * 300 + x] == drawn[(y / 2) * 200 + x / 2];
    }
    EXPECT_TRUE(same);
    // Input comes back in the tree's pixels.
    MoveTo(60, 60);
    Button(1, true);
    Button(1, false);
    EXPECT_TRUE(Logged("button MouseDown 10,10"));
    // Menus are placed in the tree's pixels too: the window's place on the screen is halved.
    const std::uint32_t place[] = {100, 60};
    xcb_configure_window(c_, parent_, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
    Sync();
    int sx = 0, sy = 0;
    ASSERT_TRUE(window_->ScreenOrigin(sx, sy));
    EXPECT_EQ(sx, 50);
    EXPECT_EQ(sy, 30);
}

TEST(X11WindowOpen, FailsCleanlyWithoutDisplayOrParent)
{
    Tree tree;
    XWinGui gui;
    EXPECT_FALSE(XWindowX11::Open(gui, 1, ":0"));  // no root view
    gui.SetRootView(&tree.root);
    EXPECT_FALSE(XWindowX11::Open(gui, 1, ":987"));
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    EXPECT_FALSE(XWindowX11::Open(gui, 1));
    EXPECT_EQ(XWindowX11::DisplayScale(), 1);
    if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
    if (!saved.empty()) {
        EXPECT_FALSE(XWindowX11::Open(gui, 0x7ffffff0, saved));  // no such parent
    }
    EXPECT_EQ(gui.Window(), 0u);
    gui.SetRootView(nullptr);
}

struct KeyCase {
    std::uint32_t keysym;
    std::uint16_t state;
    bool used;
    std::int32_t character = 0, modifiers = 0, code = 0;
};

class X11Keys : public testing::TestWithParam<KeyCase> {};

TEST_P(X11Keys, TranslateToTheGuiKeyRecord)
{
    const KeyCase& k = GetParam();
    XInput input;
    ASSERT_EQ(XKeyMapX11::KeyInput(k.keysym, k.state, input), k.used);
    if (!k.used) return;
    EXPECT_EQ(input.kind, XInput::kKey);
    EXPECT_EQ(input.character, k.character);
    EXPECT_EQ(input.modifiers, k.modifiers);
    EXPECT_EQ(input.code, k.code);
}

INSTANTIATE_TEST_SUITE_P(
    Keysyms, X11Keys,
    testing::Values(KeyCase {'a', 0, true, 'a', 0, kKeyChar},
                    KeyCase {'c', XCB_MOD_MASK_CONTROL, true, 'c', kModControl, kKeyChar},
                    KeyCase {0xff0d, 0, true, 0, 0, kKeyEnter},
                    KeyCase {0xfe20, XCB_MOD_MASK_SHIFT, true, 0, kModShift, kKeyTab},
                    KeyCase {0xffff, XCB_MOD_MASK_1, true, 0, kModCommand, kKeyDelete},
                    KeyCase {0xff97, 0, true, 0, 0, kKeyUp},
                    KeyCase {0xffb7, 0, true, '7', 0, kKeyChar},        // keypad 7
                    KeyCase {0xe9, 0, true, 0xe9, 0, kKeyChar},         // e acute
                    KeyCase {0x10020ac, 0, true, 0x20ac, 0, kKeyChar},  // euro sign
                    KeyCase {0x100d800, 0, false},                      // a lone surrogate
                    KeyCase {0xffe1, 0, false},                         // shift itself
                    KeyCase {0xfe51, 0, false},                         // a dead key
                    KeyCase {0xffbe, 0, false}));                       // F1

// Menus are windows of their own over everything: a click on an item answers through the
// asker's queue, a press outside answers "cancelled", CancelMenu answers nothing, and the
// editor may go while a menu is open.
TEST_F(X11Window, MenusAreWindowsOfTheirOwnAndAnswerThroughTheQueue)
{
    OpenWindow();
    XMenuHost* host = window_->MenuHost();
    ASSERT_NE(host, nullptr);
    XEventQueue reply;
    const auto menu = [] {
        auto m = std::make_unique<XMenu>();
        for (const char* item : {"One", "Two", "Three"}) m->AddItem(item);
        return m;
    };
    const auto answer = [&](XEvent& e) {
        return PumpUntil("the menu's answer", [&] { return reply.NextEvent(e); });
    };
    const std::int32_t code = 0x6D656E75;

    ASSERT_TRUE(host->ShowMenu(menu(), 40, 50, &reply, code));
    ASSERT_NE(window_->MenuWindowId(), 0u);
    Sync();
    // The second item's row: rows of 20 pixels below a pad of 3.
    MoveTo(40 + 20, 50 + XMenuView::kPad + XMenuView::kRowHeight + 10);
    window_->Idle();
    Button(1, true);
    Button(1, false);
    XEvent e;
    ASSERT_TRUE(answer(e));
    EXPECT_EQ(e.code, code);
    EXPECT_EQ(MenuIndexOf(e.a), 1);
    EXPECT_FALSE(host->IsMenuOpen());

    ASSERT_TRUE(host->ShowMenu(menu(), 40, 50, &reply, code));
    MoveTo(900, 700);
    Button(1, true);
    Button(1, false);
    ASSERT_TRUE(answer(e));
    EXPECT_EQ(e.a, 0);
    EXPECT_FALSE(host->IsMenuOpen());

    // Far off the screen: moved back onto it.
    ASSERT_TRUE(host->ShowMenu(menu(), 5000, 5000, &reply, code));
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window_->MenuWindowId()), nullptr));
    ASSERT_TRUE(geometry);
    EXPECT_LE(geometry->x + geometry->width, screen_->width_in_pixels);
    EXPECT_LE(geometry->y + geometry->height, screen_->height_in_pixels);
    host->CancelMenu();
    EXPECT_FALSE(host->IsMenuOpen());
    // No answer: the next one in the queue is that of a menu shown after it.
    ASSERT_TRUE(host->ShowMenu(menu(), 40, 50, &reply, code + 1));
    MoveTo(900, 700);
    Button(1, true);
    Button(1, false);
    ASSERT_TRUE(answer(e));
    EXPECT_EQ(e.code, code + 1);

    // The editor closes with a menu open.
    ASSERT_TRUE(host->ShowMenu(menu(), 40, 50, &reply, code));
    window_.reset();
    Sync();
    EXPECT_TRUE(reply.QueueEmpty());
}

}  // namespace
