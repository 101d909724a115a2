// Pictures of composed views, compared with the stored references. Each also checks that the
// incremental repaint after a change gives the same pixels as drawing everything afresh.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gui/WPopup.h"
#include "gui/XDragger.h"
#include "gui/XGraphic.h"
#include "gui/XPane.h"
#include "gui/XScrollBar.h"
#include "gui/XView.h"
#include "gui/XViewPort.h"
#include "platform/FourCC.h"
#include "tests/gui/support/ReferenceImage.h"

namespace {

using testsupport::ExpectMatchesReference;

constexpr XColor kBack(30, 33, 40);
constexpr XColor kPanel(48, 53, 64);
constexpr XColor kEdge(88, 96, 112);
constexpr XColor kText(220, 224, 232);
constexpr XColor kAccent(96, 140, 220);

// A text on a fill, as labels and list rows will draw.
class Caption : public XControl {
public:
    Caption(int x, int y, int w, int h, std::string_view text, XColor back = kPanel)
        : XControl(x, y, w, h)
    {
        SetText(text);
        SetColor(0, back);
        SetColor(2, kText);
    }
    void Draw(XGraphic* g) override
    {
        XControl::Draw(g);
        g->SetFont(FourCC("xfdf"));
        g->SetTextColor(GetColor(2));
        g->TextCentered(Text(), 0, 0, Width(), Height(), 0);
    }
};

XPane* Panel(XControl& parent, int x, int y, int w, int h, XColor fill = kPanel)
{
    XPane* pane = parent.Add<XPane>(x, y, w, h);
    pane->SetColor(0, fill);
    pane->SetColor(3, kEdge);
    return pane;
}

// Rows of numbered stripes, 20 pixels each: a content whose scroll position shows.
class Rows : public XControl {
public:
    Rows(int w, int rows) : XControl(0, 0, w, rows * 20) { SetColor(0, kPanel); }
    void Draw(XGraphic* g) override
    {
        for (int r = 0; r * 20 < Height(); ++r) {
            g->SetFillColor(r % 2 ? XColor(40, 44, 54) : XColor(56, 62, 75));
            g->FillRect(0, r * 20, Width(), 20);
            g->SetFont(FourCC("xfdf"));
            g->SetTextColor(r % 5 == 0 ? kAccent : kText);
            g->Text("Row " + std::to_string(r), 6, r * 20 + 6);
            g->Text(std::to_string(r), Width() - 22, r * 20 + 6);
        }
    }
};

// The same tree drawn afresh into a new surface.
void ExpectSameAsFullDraw(XControl& root, const XGraphic& incremental)
{
    XGraphic fresh;
    fresh.Begin(nullptr, root.Width(), root.Height());
    root.DrawTree(&fresh, true);
    ASSERT_EQ(fresh.Pixels().size(), incremental.Pixels().size());
    EXPECT_TRUE(
        std::equal(fresh.Pixels().begin(), fresh.Pixels().end(), incremental.Pixels().begin()))
        << "the incremental repaint differs from a full drawing";
}

TEST(ComposedViewReference, PaneWithChildrenAndText)
{
    XView root(0, 0, 240, 160);
    root.SetColor(0, kBack);
    XPane* outer = Panel(root, 10, 10, 220, 140);
    outer->Add<Caption>(10, 8, 200, 20, "Tone 1  Grand Piano", kAccent.Scaled(0.5f));
    XPane* left = Panel(*outer, 10, 36, 95, 94, XColor(38, 42, 52));
    left->Add<Caption>(5, 5, 85, 18, "Volume");
    left->Add<Caption>(5, 27, 85, 18, "Pan");
    // Sticks out of its parent: clipped at the parent's edge.
    left->Add<Caption>(60, 70, 80, 18, "Clipped", XColor(120, 60, 60));
    XPane* right = Panel(*outer, 115, 36, 95, 94);
    XPane* plain = right->Add<XPane>(10, 10, 75, 40);  // the default pane colours
    plain->Add<Caption>(-70, -18, 60, 14, "right", XColor())->SetColor(2, XColor(40, 40, 50));

    XGraphic g;
    testsupport::RecordTextForReference(g);
    g.Begin(nullptr, root.Width(), root.Height());
    root.DrawTree(&g, true);
    ExpectMatchesReference(g, "controls_pane_children");

    // Change a few things and repaint only those.
    left->Child(1)->SetText("Pan L 20");
    plain->Hide();
    root.DrawTree(&g, false);
    ExpectSameAsFullDraw(root, g);
}

TEST(ComposedViewReference, ScrollViewAtSeveralPositions)
{
    XView root(0, 0, 330, 120);
    root.SetColor(0, kBack);
    XViewPort* ports[3];
    for (int i = 0; i < 3; ++i) {
        ports[i] = root.Add<XViewPort>(5 + i * 110, 5, 100, 110);
        ports[i]->SetColor(0, kBack);
        ports[i]->SetColor(3, kEdge);
        ports[i]->Attach(std::make_unique<Rows>(i == 2 ? 150 : 80, 12), true, true);
    }
    ports[1]->ScrollY(XViewPort::kAbsolute, 70);
    ports[2]->ScrollY(XViewPort::kAbsolute, 1000);
    ports[2]->ScrollX(XViewPort::kAbsolute, 1000);

    XGraphic g;
    testsupport::RecordTextForReference(g);
    g.Begin(nullptr, root.Width(), root.Height());
    root.DrawTree(&g, true);
    ExpectMatchesReference(g, "controls_scroll_positions");

    ports[0]->ScrollY(XViewPort::kLineForward, 0);
    ports[2]->ScrollX(XViewPort::kPageBack, 0);
    root.DrawTree(&g, false);
    ExpectSameAsFullDraw(root, g);
}

TEST(ComposedViewReference, PopupOverAView)
{
    XView root(0, 0, 260, 160);
    root.SetColor(0, kBack);
    Panel(root, 10, 10, 240, 140)->Add<Caption>(10, 10, 220, 20, "Behind the dialog");
    auto dialog = std::make_unique<WPopup>(160, 90, "Settings");
    dialog->Add<Caption>(15, 32, 130, 20, "Preload 0.5 s", XColor(20, 24, 30));
    Panel(*dialog, 15, 58, 130, 20, kAccent.Scaled(0.6f))
        ->Add<Caption>(0, 0, 130, 20, "OK", XColor());
    root.ShowPopup(std::move(dialog), FourCC("wset"));

    XGraphic g;
    testsupport::RecordTextForReference(g);
    g.Begin(nullptr, root.Width(), root.Height());
    root.DrawTree(&g, false);  // a new root is dirty: everything
    ExpectMatchesReference(g, "controls_popup");

    root.OpenPopup()->Close(1);
    root.Idle(1);
    root.DrawTree(&g, false);
    ExpectSameAsFullDraw(root, g);
}

class ListLike : public Caption, public XDragger {
public:
    using Caption::Caption;
    void DrawDragImage(XGraphic* g) override
    {
        g->SetFont(FourCC("xfdf"));
        g->SetTextColor(XColor(127, 127, 96));
        g->Text("Strings.gig", 4, 8);
        g->SetFillColor(kAccent);
        g->FillRect(2, 0, 3, 18);
    }
};

TEST(ComposedViewReference, DragImageOverlay)
{
    XView root(0, 0, 200, 120);
    root.SetColor(0, kBack);
    auto* list = root.Add<ListLike>(10, 10, 90, 18, "Strings.gig");
    Panel(root, 110, 10, 80, 100)->Add<Caption>(5, 5, 70, 18, "Drop here");

    XGraphic g;
    testsupport::RecordTextForReference(g);
    g.Begin(nullptr, root.Width(), root.Height());
    root.DrawTree(&g, true);
    list->BeginDrag(list, 5, 5);
    list->DragTo(80, 40);
    EXPECT_TRUE(root.Idle(1));
    root.DrawTree(&g, false);
    ExpectMatchesReference(g, "controls_drag_overlay");

    // Moving it leaves no trace, and ending the drag gives back the picture without it.
    list->DragTo(60, 70);
    root.DrawTree(&g, false);
    list->EndDrag(60, 70);
    EXPECT_TRUE(root.Idle(2));
    root.DrawTree(&g, false);
    ExpectSameAsFullDraw(root, g);
}

// Text that reaches the surface inside the drag image counts as text drawn there.
TEST(ComposedViewReference, TheDragImagesTextIsRecordedWhereTheImageShows)
{
    XView root(0, 0, 200, 120);
    auto* list = root.Add<ListLike>(10, 10, 90, 18, "Strings.gig");
    XGraphic g;
    g.RecordTextAreas(true);
    g.Begin(nullptr, root.Width(), root.Height());
    root.DrawTree(&g, true);
    list->BeginDrag(list, 5, 5);
    list->DragTo(80, 40);
    root.Idle(1);
    g.Begin(nullptr, root.Width(), root.Height());  // forgets the areas, keeps the pixels
    root.DrawTree(&g, false);
    const XRect image = root.DragImageRect();
    ASSERT_EQ(g.TextAreas().size(), 1u);
    const XRect text = g.TextAreas()[0];
    EXPECT_EQ(text.Intersect(image), text);
    EXPECT_EQ(text.left, image.left + 4);  // where ListLike draws it
    list->EndDrag(80, 40);
}

}  // namespace
