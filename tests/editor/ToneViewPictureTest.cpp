// The rack as musicians see it: reference pictures of loaded views, an expanded program panel
// and a stack; the rack's layout; names that do not fit.
#include <gtest/gtest.h>

#include "editor/GigaViewLayout.h"
#include "editor/XProgramPanel.h"
#include "editor/XRackUnit.h"
#include "gui/XMouse.h"
#include "gui/XPotar.h"
#include "tests/editor/ViewsRig.h"
#include "tests/gui/support/ReferenceImage.h"

namespace viewsrig {
namespace {

TEST_F(ViewsTest, RackLayoutFollowsExpandedViews)
{
    EXPECT_EQ(rack->Height(), 1 + kViews * 26);
    View(1).SetExpanded(true);
    EXPECT_EQ(View(1).Height(), 95);
    const int tops[] {1, 27, 27 + 96, 27 + 96 + 26};
    for (int i = 0; i < kViews; ++i) EXPECT_EQ(View(i).Parent()->Y(), tops[i]) << i;
    EXPECT_EQ(rack->Height(), tops[kViews - 1] + 26);

    // The arrow's corner toggles; a press beside it does not.
    XRackUnit& unit = *static_cast<XRackUnit*>(View(1).Parent());
    XMouse mouse;
    mouse.pressX = 13;
    mouse.pressY = 3;
    EXPECT_FALSE(unit.MouseDown(&mouse));
    mouse.pressX = 5;
    EXPECT_TRUE(unit.MouseDown(&mouse));
    EXPECT_FALSE(View(1).IsExpanded());
    EXPECT_EQ(rack->Height(), 1 + kViews * 26);

    // A press on a view that is not selected asks for it; on the selected one it does not.
    root.MouseDownAt(15 + 10, 27 + 10, 1, false, false);
    root.MouseUpAt(15 + 10, 27 + 10);
    EXPECT_EQ(editor.Count("KyVs"), 1);
    View(1).SetHighlight(1);
    root.MouseDownAt(15 + 10, 27 + 10, 1, false, false);
    root.MouseUpAt(15 + 10, 27 + 10);
    EXPECT_EQ(editor.Count("KyVs"), 1);
}

TEST_F(ViewsTest, LoadedRackPicture)
{
    Load(0, {demo::kKeys});
    Load(1, {demo::kPad});
    Tone(1).SetOutputBus(3);
    Tone(1).SetPan(20);
    Tone(1).SetTune(-12);
    View(1).Refresh();
    View(0).SetHighlight(1);
    Draw();
    testsupport::ExpectMatchesReference(surface, "views_rack");
}

TEST_F(ViewsTest, ExpandedProgramPanelPicture)
{
    Load(0, {demo::kKeys});
    View(0).SetExpanded(true);
    View(0).Program().KnobControl(XProgramPanel::kRelease).SetValue(0.2);
    View(0).Program().KnobControl(XProgramPanel::kCutoff).SetValue(0.7);
    Draw();
    testsupport::ExpectMatchesReference(surface, "views_program");
}

TEST_F(ViewsTest, ThreeLayerStackPicture)
{
    Tone(0).SetSelectMode(GigaTone::kSelectKeySwitch);
    Load(0, {demo::kKeys, demo::kPad, demo::kDrone});
    View(0).SetExpanded(true);
    View(0).SetHighlight(2);
    Draw();
    testsupport::ExpectMatchesReference(surface, "views_stack");
}

TEST_F(ViewsTest, LongAndBrokenNamesStayInTheirBox)
{
    Load(0, {demo::kKeys, demo::kPad});
    View(0).Refresh();
    Draw();
    const std::vector<std::uint32_t> before(surface.Pixels().begin(), surface.Pixels().end());
    std::string name(5000, 'W');
    name[7] = '\xff';
    name[4000] = '\xc3';
    Tone(0).SetStackName(name);
    View(0).Refresh();
    Draw();
    const XRect box = viewlayout::kName.Offsetted(View(0).AbsoluteX(), View(0).AbsoluteY());
    int changedOutside = 0;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            if (!box.Contains(x, y) && surface.PixelAt(x, y) != before[y * surface.Width() + x])
                ++changedOutside;
    EXPECT_EQ(changedOutside, 0);
}

}  // namespace
}  // namespace viewsrig
