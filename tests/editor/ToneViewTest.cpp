// Tone views against a real player and the demo bank: what the strip and the panels show, and
// what the controls and menus change.
#include <gtest/gtest.h>

#include <cmath>

#include "editor/EditorCodes.h"
#include "editor/GigaDropSource.h"
#include "editor/GigaViewLayout.h"
#include "editor/GigaViewText.h"
#include "editor/XDimList.h"
#include "editor/XGigaBot.h"
#include "editor/XGigaName.h"
#include "editor/XGigaPart.h"
#include "editor/XProgInfo.h"
#include "editor/XProgramPanel.h"
#include "editor/XSelectLcd.h"
#include "editor/XStackPanel.h"
#include "editor/XValBot.h"
#include "gig/GigaBankManager.h"
#include "gui/XFader.h"
#include "gui/XMenu.h"
#include "gui/XMouse.h"
#include "gui/XPotar.h"
#include "gui/XTogLed.h"
#include "tests/editor/ViewsRig.h"

namespace viewsrig {
namespace {

namespace vl = viewlayout;

struct StripCase {
    int bus;
    int pan;
    const char* busText;
    const char* panText;
};

class StripTexts : public ViewsTest, public ::testing::WithParamInterface<StripCase> {};

TEST_P(StripTexts, BusAndPanReadAsTheTablesSay)
{
    const StripCase& c = GetParam();
    Tone(0).SetOutputBus(c.bus);
    Tone(0).SetPan(c.pan);
    View(0).Refresh();
    EXPECT_EQ(View(0).Bus().Text(), c.busText);
    EXPECT_EQ(View(0).FaderValue(2).Text(), c.panText);
    EXPECT_EQ(View(0).Fader(2).GetValue(), c.pan);
}

INSTANTIATE_TEST_SUITE_P(Edges, StripTexts,
                         ::testing::Values(StripCase {0, 64, "1|2", "<C>"},
                                           StripCase {7, 0, "15|16", "L64"},
                                           StripCase {15, 127, "31|32", "R63"}));

TEST(ViewTexts, NotesAndValueColours)
{
    EXPECT_EQ(viewtext::NoteName(0), "C-2");
    EXPECT_EQ(viewtext::NoteName(60), "C3");
    EXPECT_EQ(viewtext::NoteName(127), "G8");
    EXPECT_EQ(viewtext::NoteName(-1), "B-3");  // never out of the name table
    EXPECT_EQ(viewtext::ValueText(2, 0), "2");
    EXPECT_EQ(viewtext::ValueText(0.456, 2), "0.46");
    // Compared as printed: a knob snapped to its step next to the program's value is equal.
    EXPECT_EQ(viewtext::ValueColour(0.83, 0.8347, 2), vl::kValueText);
    EXPECT_EQ(viewtext::ValueColour(0.9, 0.8, 2), vl::kAbove);
    EXPECT_EQ(viewtext::ValueColour(1, 2, 0), vl::kBelow);
    EXPECT_EQ(viewtext::ValueColour(std::nan(""), 2, 0), vl::kValueText);
}

TEST_F(ViewsTest, AChosenProgramLoadsAndTheSingleProgramPanelShowsIt)
{
    Load(0, {demo::kDrone});  // opens the bank, so that its menu lists it
    ChooseInToneMenu(0, {"demo.gig", "Demo Keys"});
    EXPECT_EQ(editor.Count("Load"), 1);
    Settle();
    GigaView& view = View(0);
    EXPECT_EQ(Tone(0).Status(), GigaTone::kLoadedAndShown);
    EXPECT_GE(editor.Count("KyVs"), 1);
    EXPECT_EQ(view.Name().Text(), "Demo Keys");
    EXPECT_EQ(view.Name().GetColor(2), vl::kLoaded);
    ASSERT_EQ(Tone(0).LayerCount(), 1) << "the menu's program replaced the drone";

    const auto& lines = view.Program().ProgramFacts().Lines();
    const GigaLayerFacts layer = Tone(0).Facts().layers[0];
    EXPECT_EQ(lines[0], viewtext::NoteName(layer.programKeyLow) + " : " +
                            viewtext::NoteName(layer.programKeyHigh));
    EXPECT_EQ(lines[1], "Samp: " + std::to_string(layer.sampleCount));
    EXPECT_EQ(lines[2], "Bits: 16");
    EXPECT_EQ(lines[3], "Disk: off");
    EXPECT_GT(layer.sampleCount, 1);
    EXPECT_TRUE(view.Program().Dimensions().IsMarked(0)) << "velo";
    EXPECT_TRUE(view.Program().Dimensions().IsMarked(2)) << "noff";
    EXPECT_FALSE(view.Program().Dimensions().IsMarked(1)) << "ksw";

    // The knobs show the program's values until moved; a knob above its marker turns green and
    // writes the offset that makes the knob's value play.
    const XValBot& attack = view.Program().KnobValue(XProgramPanel::kAttack);
    EXPECT_EQ(attack.GetColor(2), vl::kValueText);
    EXPECT_EQ(view.Program().KnobValue(XProgramPanel::kBend).Text(),
              std::to_string(layer.programBendRange));
    const double start = view.Program().KnobControl(XProgramPanel::kAttack).GetValue();
    view.Program().KnobControl(XProgramPanel::kAttack).SetValue(start + 1.0);
    EXPECT_EQ(attack.GetColor(2), vl::kAbove);
    const GigaLayerFacts moved = Tone(0).Facts().layers[0];
    EXPECT_NEAR(moved.amplifierAverages[GigaPart::kAmpAttack] +
                    moved.amplifierOffsets[GigaPart::kAmpAttack],
                view.Program().KnobControl(XProgramPanel::kAttack).GetValue(), 1e-4);
    view.Program().KnobControl(XProgramPanel::kAttack).SetValue(0);
    EXPECT_EQ(attack.GetColor(2),
              moved.amplifierAverages[GigaPart::kAmpAttack] > 0.005 ? vl::kBelow : vl::kValueText);
}

TEST_F(ViewsTest, AStackShowsItsLayerRowsAndBadge)
{
    Tone(1).SetSelectMode(GigaTone::kSelectVelocity);
    Load(1, {demo::kKeys, demo::kPad, demo::kDrone});
    GigaView& view = View(1);
    view.SetExpanded(true);
    EXPECT_FALSE(view.Program().IsVisible());
    ASSERT_TRUE(view.Stack().IsVisible());
    EXPECT_EQ(view.Stack().Height(), 71);
    EXPECT_EQ(view.Height(), 25 + 71);
    ASSERT_EQ(view.Stack().PartCount(), 3);
    const int rows[] {2, 24, 46};
    const char* names[] {"Demo Keys", "Demo Pad", "Demo Drone"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(view.Stack().Part(i).Y(), rows[i]);
        EXPECT_EQ(view.Stack().Part(i).X(), 25);
        EXPECT_EQ(view.Stack().Part(i).Name().Text(), names[i]);
    }
    EXPECT_EQ(view.Stack().Badge().Text(), "VL");
    EXPECT_EQ(view.Name().Text(), "Stacked Instrument");

    // A layer row's menu replaces that layer; its unload takes the layer out.
    view.Notify(&view.Stack().Part(1), editorcode::kPartMenu);
    port.menus.Answer(port.menus.Command({"demo.gig", "Demo Keys"}));
    view.Tick();
    Settle();
    EXPECT_EQ(view.Stack().Part(1).Name().Text(), "Demo Keys");
    view.Notify(&view.Stack().Part(0), editorcode::kPartMenu);
    port.menus.Answer(port.menus.Command({"Unload Instrument"}));
    view.Tick();
    Settle();
    ASSERT_EQ(view.Stack().PartCount(), 2);
    EXPECT_EQ(view.Stack().Height(), 49);
    EXPECT_EQ(view.Stack().Part(0).Name().Text(), "Demo Keys");
    EXPECT_EQ(view.Stack().Part(1).Name().Text(), "Demo Drone");
}

TEST_F(ViewsTest, TheVolumeFaderSetsTheStoredVolume)
{
    Load(0, {demo::kKeys});
    Tone(0).SetVolume(100);
    View(0).Fader(0).SetValue(40);
    EXPECT_EQ(Tone(0).EffectiveVolume(), 40) << "heard at once";
    EXPECT_EQ(Tone(0).Volume(), 40);
    EXPECT_EQ(View(0).FaderValue(0).Text(), "40");

    GigaPlayer other;
    other.OnInit();
    other.SetOutputBusCount(16);
    const std::size_t size = player.SaveToMemory();
    other.LoadFromMemory(player.Chunk().data(), size);
    other.WaitWhileLoading();
    EXPECT_EQ(other.Giga(0)->Volume(), 40) << "the performance keeps the fader's volume";
}

TEST_F(ViewsTest, BusMenuAndMenuChoicesAfterTheBankClosed)
{
    Load(0, {demo::kKeys});
    View(0).SelectChanged(const_cast<XSelectLcd*>(&View(0).Bus()), 0);
    ASSERT_EQ(port.menus.menu->Count(), 16);
    port.menus.Answer(port.menus.Command({player.OutputBusName(7)}));
    View(0).Tick();
    EXPECT_EQ(Tone(0).OutputBus(), 7);
    EXPECT_EQ(View(0).Bus().Text(), "15|16");

    // The menu was made while the bank was open; it closes before the choice arrives.
    View(1).Notify(nullptr, FourCC("inst"));
    const std::int32_t pad = port.menus.Command({"demo.gig", "Demo Pad"});
    ASSERT_NE(pad, 0);
    ChooseInToneMenu(0, {"Unload Instrument"});
    Settle();
    EXPECT_EQ(View(0).Name().Text(), "No instrument");
    ASSERT_TRUE(GigaBankManager::Instance().Listing().empty());
    const int loads = editor.Count("Load");
    View(1).Notify(nullptr, FourCC("inst"));
    port.menus.reply->Post(port.menus.code, pad, 0);
    View(1).Tick();
    EXPECT_EQ(editor.Count("Load"), loads);
    EXPECT_EQ(Tone(1).LayerCount(), 0);
}

// A browser stand-in: its list carries an instrument of the demo bank.
class Browser : public XControl, public GigaDropSource {
public:
    explicit Browser(std::string path) : path_(std::move(path)) {}
    bool DraggedInstrument(std::int32_t payload, std::string& path, int& program) override
    {
        if (payload != FourCC("inst")) return false;
        path = path_;
        program = demo::kPad;
        return true;
    }

private:
    std::string path_;
};

TEST_F(ViewsTest, InstrumentsDroppedOnAViewLoadIntoIt)
{
    Browser browser(bank);
    XControl* list = browser.Add<XControl>(0, 0, 10, 10);
    GigaView& view = View(2);
    EXPECT_FALSE(view.AcceptDrop(list, FourCC("link")));
    ASSERT_TRUE(view.AcceptDrop(list, FourCC("inst")));
    view.SetHighlight(1);
    view.DragEnter(list, FourCC("inst"));
    EXPECT_EQ(view.Highlight(), 2);
    view.DragLeave(list, FourCC("inst"));
    EXPECT_EQ(view.Highlight(), 1);
    view.Drop(list, FourCC("inst"));
    Settle();
    EXPECT_EQ(view.Name().Text(), "Demo Pad");

    // With stack mode on a drop joins the stack.
    editor.stackMode = true;
    view.Drop(list, FourCC("inst"));
    Settle();
    EXPECT_EQ(Tone(2).LayerCount(), 2);
}

TEST_F(ViewsTest, MenusShowInTheEditorWhenTheWindowHasNoHostOfItsOwn)
{
    controlsrig::FakePort plain;
    XView editorRoot(0, 0, 800, 600);
    editorRoot.SetWindowPort(&plain);
    XToneRack* own = editorRoot.Add<XToneRack>(0, 0, 782);
    Editor quiet(player);
    GigaView* view = own->AddView(std::make_unique<GigaView>(quiet, *player.ToneEdit(2)));
    view->SelectChanged(const_cast<XSelectLcd*>(&view->Bus()), 0);
    auto* menu = dynamic_cast<XMenuView*>(editorRoot.OpenPopup());
    ASSERT_NE(menu, nullptr);
    const int row = XMenuView::kPad + 5 * XMenuView::kRowHeight + XMenuView::kRowHeight / 2;
    menu->PointerMoved(20, row);
    menu->PointerPressed(20, row);
    menu->PointerReleased(20, row);
    editorRoot.Idle(1);
    view->Tick();
    EXPECT_EQ(Tone(2).OutputBus(), 5);
    EXPECT_EQ(view->Bus().Text(), "11|12");

    // A view that goes with its menu open takes the menu's reply queue with it safely.
    view->SelectChanged(const_cast<XSelectLcd*>(&view->Bus()), 0);
    ASSERT_NE(editorRoot.OpenPopup(), nullptr);
    own->Remove();
    XGraphic g;
    controlsrig::DrawAll(editorRoot, g);  // destroys the rack
    editorRoot.Idle(2);
    EXPECT_EQ(Tone(2).View(), nullptr);
}

TEST_F(ViewsTest, ACancelledFileDialogLoadsNothing)
{
    ChooseInToneMenu(0, {"Load Instrument"});
    ASSERT_EQ(View(0).FileNav().GetState(), UFileNav::State::kOpen);
    View(0).FileNav().Cancel();
    View(0).Tick();
    root.Idle(1);
    EXPECT_EQ(editor.Count("Load"), 0);
    EXPECT_EQ(Tone(0).LayerCount(), 0);
}

}  // namespace
}  // namespace viewsrig
