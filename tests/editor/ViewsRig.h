// A real player with the demo bank on disk, tone views in a rack under a root view whose window
// port shows menus through a host that the tests answer, and an editor stand-in that loads on
// 'Load' and records what the views send.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "editor/GigaEditorLink.h"
#include "editor/GigaView.h"
#include "editor/XToneRack.h"
#include "engine/GigaTone.h"
#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "giga/GigaPlayer.h"
#include "gui/XGraphic.h"
#include "gui/XMenu.h"
#include "gui/XMenuHost.h"
#include "gui/XView.h"
#include "platform/FourCC.h"
#include "tests/gui/ControlsRig.h"
#include "tools/marlet-demo/DemoInstrument.h"

namespace viewsrig {

// Keeps the menu a view asks for; Answer posts a choice as the window would.
struct MenuRecorder : XMenuHost {
    bool ShowMenu(std::unique_ptr<XMenu> m, int, int, XEventQueue* r, std::int32_t c) override
    {
        menu = std::move(m);
        reply = r;
        code = c;
        return true;
    }
    void CancelMenu() override { menu.reset(); }
    bool IsMenuOpen() const override { return menu != nullptr; }

    // The command of the item at this path of texts ("demo.gig", "Demo Pad"); 0 when none.
    std::int32_t Command(const std::vector<std::string>& path) const
    {
        const XMenu* level = menu.get();
        for (std::size_t i = 0; level && i < path.size(); ++i) {
            const XMenu* next = nullptr;
            for (int e = 0; e < level->Count(); ++e) {
                const XMenu::Entry* entry = level->At(e);
                if (entry->text != path[i]) continue;
                if (i + 1 == path.size()) return entry->command;
                next = entry->submenu.get();
            }
            level = next;
        }
        return 0;
    }
    void Answer(std::int32_t command)
    {
        ASSERT_TRUE(reply && menu) << "no menu is open";
        reply->Post(code, command, 0);
        menu.reset();
    }

    std::unique_ptr<XMenu> menu;
    XEventQueue* reply = nullptr;
    std::int32_t code = 0;
};

struct Port : controlsrig::FakePort {
    XMenuHost* MenuHost() override { return &menus; }
    MenuRecorder menus;
};

class Editor : public GigaEditorLink, public XListener {
public:
    explicit Editor(GigaPlayer& player) : player_(player) {}
    GigaPlayer& Player() override { return player_; }
    bool StackMode() const override { return stackMode; }
    bool AcceptInstrumentPath(const std::string& path) override { return path.size() <= 511; }
    void Notify(XControl*, std::int32_t code) override
    {
        codes.push_back(code);
        if (code == FourCC("Load")) player_.RequestLoading();
    }
    int Count(const char (&code)[5]) const
    {
        return static_cast<int>(std::count(codes.begin(), codes.end(), FourCC(code)));
    }

    bool stackMode = false;
    std::vector<std::int32_t> codes;

private:
    GigaPlayer& player_;
};

class ViewsTest : public ::testing::Test {
protected:
    static constexpr int kViews = 4;

    ViewsTest()
    {
        testsupport::GigWriter(demo::DemoBank()).Write(bank);
        player.OnInit();
        player.SetOutputBusCount(16);
        root.SetWindowPort(&port);
        root.SetColor(0, XColor(0, 0, 0));
        rack = root.Add<XToneRack>(0, 0, 782);
        for (int i = 0; i < kViews; ++i) {
            GigaView* view = rack->AddView(std::make_unique<GigaView>(editor, *player.ToneEdit(i)));
            view->AddListener(&editor);
        }
    }
    ~ViewsTest() override { player.WaitWhileLoading(); }

    GigaView& View(int i) { return *rack->View(i); }
    GigaTone& Tone(int i) { return *player.Giga(i); }
    // Runs the load pass to its end and lets the views take up what it told them.
    void Settle()
    {
        player.RequestLoading();
        player.WaitWhileLoading();
        for (int i = 0; i < kViews; ++i) View(i).Tick();
    }
    void Load(int view, std::vector<int> programs)
    {
        for (int program : programs) Tone(view).AddLayer(bank, program);
        Settle();
    }
    // Opens the tone's instrument menu and chooses the item at `path`.
    void ChooseInToneMenu(int view, const std::vector<std::string>& path)
    {
        View(view).Notify(nullptr, FourCC("inst"));
        const std::int32_t command = port.menus.Command(path);
        ASSERT_NE(command, 0) << path.back();
        port.menus.Answer(command);
        View(view).Tick();
    }
    void Draw()
    {
        root.SetSize(800, rack->Height());
        controlsrig::DrawAll(root, surface);
    }

    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    std::string bank = folder.File("demo.gig");
    GigaPlayer player;
    Editor editor {player};
    Port port;
    XView root {0, 0, 800, 600};
    XToneRack* rack = nullptr;
    XGraphic surface;
};

}  // namespace viewsrig
