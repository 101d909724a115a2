#include "tools/marlet-gui-gallery/FrameworkSheet.h"

#include <memory>
#include <string>

#include "gui/WPopup.h"
#include "gui/XDragger.h"
#include "gui/XGraphic.h"
#include "gui/XPane.h"
#include "gui/XPic.h"
#include "gui/XRegn.h"
#include "gui/XScrollBar.h"
#include "gui/XView.h"
#include "gui/XViewPort.h"
#include "platform/FourCC.h"
#include "tools/marlet-gui-gallery/GalleryCanvas.h"

namespace gallery {

namespace {

constexpr XColor kPanel(44, 44, 44);
constexpr XColor kEdge(90, 90, 90);
constexpr XColor kText(220, 220, 220);
constexpr XColor kAccent(246, 166, 50);

bool WriteFonts(const std::string& dir)
{
    GalleryCanvas c(900, 440);
    c.Heading("Fonts", 16, 12);
    struct Font {
        std::int32_t id;
        const char* caption;
    };
    const Font fonts[] {{FourCC("xfdf"), "'xfdf' 11 normal"},
                        {FourCC("xfsm"), "'xfsm' 9 normal"},
                        {FourCC("xfbg"), "'xfbg' 11 bold"},
                        {FourCC("xfhg"), "'xfhg' 14 bold"}};
    XGraphic& g = c.G();
    int y = 48;
    for (const Font& f : fonts) {
        c.Caption(f.caption, 16, y, GalleryCanvas::kNote);
        for (int shade = 0; shade < 2; ++shade) {
            const int x = 160 + shade * 370;
            const XRect box = XRect::FromSize(x, y - 4, 360, 70);
            g.SetFillColor(shade ? XColor(236, 236, 232) : kPanel);
            g.FillRect(box.left, box.top, box.Width(), box.Height());
            g.SetFont(f.id);
            g.SetTextColor(shade ? XColor(20, 20, 20) : kText);
            g.Text("Concert Grand  Strings Legato  1|2", x + 6, y + 4);
            g.Text("ABCDEFGHIJKLM abcdefghijklm 0123456789", x + 6, y + 24);
            g.SetTextColor(shade ? XColor(160, 90, 0) : kAccent);
            g.Text("Loading Samples... 64%  C#3 <C> L24", x + 6, y + 44);
        }
        y += 84;
    }
    // Centring and wrapping.
    g.SetFillColor(kPanel);
    g.FillRect(160, y, 200, 40);
    g.SetFont(FourCC("xfbg"));
    g.SetTextColor(kText);
    g.TextInRect("centred in its box", XRect::FromSize(160, y, 200, 40));
    g.FillRect(370, y, 200, 40);
    g.SetFont(FourCC("xfdf"));
    g.TextWrapped("Drag and drop an instrument from this column", XRect::FromSize(370, y, 200, 40));
    c.Caption("TextInRect", 16, y + 4);
    c.Caption("TextWrapped", 590, y + 4);
    return c.Save(dir, "fonts.png");
}

bool WritePrimitives(const std::string& dir)
{
    GalleryCanvas c(900, 400);
    XGraphic& g = c.G();
    c.Heading("Primitives", 16, 12);
    const auto caption = [&](const char* text, int x, int y) { c.Caption(text, x, y); };

    caption("LcdBox", 16, 44);
    g.LcdBox(16, 62, 150, 40);
    g.SetFont(FourCC("xfbg"));
    g.SetTextColor(XColor(0, 203, 31));
    g.TextCentered("Concert Grand", 16, 62, 150, 40, 0);

    caption("BevelRect depth 1, 2, -2", 190, 44);
    g.BevelRect(XRect::FromSize(190, 62, 60, 40), XColor(100, 100, 110), 1);
    g.BevelRect(XRect::FromSize(260, 62, 60, 40), XColor(100, 100, 110), 2);
    g.BevelRect(XRect::FromSize(330, 62, 60, 40), XColor(60, 60, 70), -2);

    caption("Gloss", 410, 44);
    g.Gloss(XRect::FromSize(410, 62, 80, 40), XColor(124, 168, 255));
    g.Gloss(XRect::FromSize(500, 62, 80, 40), XColor(200, 200, 200));

    caption("RoundFill", 600, 44);
    g.RoundFill(XRect::FromSize(600, 62, 80, 40), kAccent);
    g.RoundFill(XRect::FromSize(690, 62, 80, 40), XColor(70, 70, 80));

    caption("DoubleBevel", 790, 44);
    g.DoubleBevel(XRect::FromSize(790, 62, 40, 40), XColor(90, 90, 110));

    caption("HeaderBar (the lowest 38 rows a gradient)", 16, 124);
    g.HeaderBar(XRect::FromSize(16, 142, 300, 80), XColor(40, 48, 64));

    caption("DownArrow, Frame, InsetFrame, Gradient", 340, 124);
    g.SetFillColor(kText);
    g.DownArrow(350, 150);
    g.SetFillColor(kAccent);
    g.DownArrow(370, 150);
    g.Frame(XRect::FromSize(400, 142, 60, 40), kEdge);
    g.InsetFrame(XRect::FromSize(470, 142, 60, 40), XColor(120, 120, 120));
    g.Gradient(XRect::FromSize(540, 142, 120, 80), XColor(66, 66, 66), XColor(20, 20, 20));

    caption("FillPolygon, Polyline (a check mark)", 680, 124);
    XRegn check;
    const int cx = 720, cy = 170;
    for (const auto& [x, y] : {std::pair {cx, cy},
                               {cx + 8, cy - 8},
                               {cx + 11, cy - 5},
                               {cx, cy + 6},
                               {cx - 6, cy},
                               {cx - 3, cy - 3},
                               {cx, cy}}) {
        check.AddPoint(x, y);
    }
    g.FillPolygon(check, kAccent);
    g.Polyline(check, XColor(0, 0, 0));

    c.Caption("The small ones at 6x: DownArrow in two colours, the check mark, DoubleBevel", 16,
              240);
    c.DrawScaled(c.Crop(XRect(346, 146, 381, 157)), 16, 262, 6);
    c.DrawScaled(c.Crop(XRect(710, 158, 735, 180)), 260, 262, 6);
    c.DrawScaled(c.Crop(XRect(788, 60, 832, 104)), 440, 262, 3);
    return c.Save(dir, "primitives.png");
}

// Rows of numbered stripes: a content whose scroll position shows.
class Rows : public XControl {
public:
    Rows(int w, int rows) : XControl(0, 0, w, rows * 20) {}
    void Draw(XGraphic* g) override
    {
        for (int r = 0; r * 20 < Height(); ++r) {
            g->SetFillColor(r % 2 ? XColor(40, 40, 42) : XColor(52, 52, 56));
            g->FillRect(0, r * 20, Width(), 20);
            g->SetFont(FourCC("xfdf"));
            g->SetTextColor(r % 4 == 0 ? kAccent : kText);
            g->Text("Instrument " + std::to_string(r + 1), 6, r * 20 + 6);
        }
    }
};

class Caption : public XControl {
public:
    Caption(int x, int y, int w, int h, std::string_view text) : XControl(x, y, w, h)
    {
        SetText(text);
        SetColor(0, XColor());
    }
    void Draw(XGraphic* g) override
    {
        XControl::Draw(g);
        g->SetFont(FourCC("xfdf"));
        g->SetTextColor(kText);
        g->TextCentered(Text(), 0, 0, Width(), Height(), -1);
    }
};

// The tree drawn afresh on a surface of its own, as a picture.
XPic Snapshot(XControl& root)
{
    XGraphic g;
    g.Begin(nullptr, root.Width(), root.Height());
    root.DrawTree(&g, true);
    return XPic::FromPixels(root.Width(), root.Height(), g.Pixels());
}

void DarkBars(XViewPort& port)
{
    for (XScrollBar* bar : {port.VerticalBar(), port.HorizontalBar()}) {
        if (!bar) continue;
        bar->SetColor(0, XColor(26, 26, 26));
        bar->SetColor(1, XColor(70, 70, 70));
        bar->SetColor(3, XColor(12, 12, 12));
    }
}

XPic Panes()
{
    XView root(0, 0, 760, 130);
    root.SetColor(0, GalleryCanvas::kBackground);
    auto* plain = root.Add<XPane>(0, 0, 200, 90);
    plain->SetColor(0, kPanel);
    plain->SetColor(3, kEdge);
    plain->Add<XPane>(10, 10, 80, 40);  // the pane's own default colours
    auto* inner = plain->Add<XPane>(100, 10, 90, 70);
    inner->SetColor(0, XColor(30, 30, 30));
    inner->SetColor(3, kAccent);
    inner->Add<Caption>(0, 0, 90, 70, "nested");
    root.Add<XPane>(0, 100, 10, 10)->SetPicture("view_part.png");
    root.Add<XPane>(220, 0, 10, 10)->SetPicture("tb_marlet.png");
    return Snapshot(root);
}

XPic ViewPorts()
{
    XView root(0, 0, 860, 180);
    root.SetColor(0, GalleryCanvas::kBackground);
    XViewPort* ports[5];
    for (int i = 0; i < 5; ++i) {
        ports[i] = root.Add<XViewPort>(i * 172, 0, 160, 180);
        ports[i]->SetColor(0, XColor(20, 20, 20));
        ports[i]->SetColor(3, XColor(12, 12, 12));
        ports[i]->Attach(std::make_unique<Rows>(i == 3 ? 260 : 140, 20), true, true);
        DarkBars(*ports[i]);
    }
    ports[1]->ScrollY(XViewPort::kAbsolute, 110);
    ports[2]->ScrollY(XViewPort::kAbsolute, 1000);
    ports[3]->ScrollY(XViewPort::kAbsolute, 60);
    ports[3]->ScrollX(XViewPort::kAbsolute, 50);
    ports[4]->ScrollY(XViewPort::kAbsolute, 200);
    // A press on the last one's thumb shows it pressed.
    if (XScrollBar* bar = ports[4]->VerticalBar()) {
        bar->UpdateGeometry();
        const XRect t = bar->ThumbRect();
        root.MouseDownAt(ports[4]->X() + bar->X() + (t.left + t.right) / 2,
                         ports[4]->Y() + bar->Y() + (t.top + t.bottom) / 2, 1, false, false);
    }
    return Snapshot(root);
}

XPic PopupOverView()
{
    XView root(0, 0, 420, 200);
    root.SetColor(0, kPanel);
    root.Add<Caption>(10, 10, 380, 20, "The view behind the dialog");
    auto dialog = std::make_unique<WPopup>(240, 110, "Settings");
    dialog->Add<Caption>(16, 36, 200, 20, "Preload: 0.5 seconds");
    auto* ok = dialog->Add<XPane>(150, 74, 70, 22);
    ok->SetColor(0, XColor(96, 64, 20));
    ok->SetColor(3, kAccent);
    ok->Add<Caption>(0, 0, 70, 22, "   OK");
    root.ShowPopup(std::move(dialog), FourCC("gall"));
    return Snapshot(root);
}

// A row of a list that can be dragged, and a pane that takes the drop and shows it is the
// target by its frame.
class DragRow : public Caption, public XDragger {
public:
    using Caption::Caption;
    void DrawDragImage(XGraphic* g) override
    {
        g->SetFont(FourCC("xfdf"));
        g->SetTextColor(XColor(127, 127, 96));
        g->Text(Text(), 4, 6);
    }
};

class DropPane : public XPane {
public:
    DropPane(int x, int y, int w, int h) : XPane(x, y, w, h)
    {
        SetColor(0, XColor(50, 60, 80));
        SetColor(3, XColor(40, 40, 40));
    }
    bool AcceptDrop(XControl*, std::int32_t payload) override { return payload == FourCC("inst"); }
    void DragEnter(XControl*, std::int32_t) override
    {
        SetColor(3, XColor(255, 0, 0));
        Invalidate();
    }
    void DragLeave(XControl*, std::int32_t) override
    {
        SetColor(3, XColor(40, 40, 40));
        Invalidate();
    }
};

XPic DragOverView()
{
    XView root(0, 0, 420, 200);
    root.SetColor(0, kPanel);
    auto* list = root.Add<XPane>(10, 10, 180, 180);
    list->SetColor(0, XColor(50, 60, 80));
    list->SetColor(3, XColor(40, 40, 40));
    auto* row = list->Add<DragRow>(4, 4, 172, 18, "Concert Grand.gig");
    row->SetColor(0, XColor(0, 0, 120));
    row->SetPayload(FourCC("inst"));
    list->Add<Caption>(4, 22, 172, 18, "Upright.gig");
    root.Add<DropPane>(220, 10, 190, 180)->Add<Caption>(0, 0, 190, 18, "Drop here");
    row->BeginDrag(row, 10, 9);
    row->DragTo(250, 80);
    root.Idle(1);
    return Snapshot(root);
}

bool WriteControls(const std::string& dir)
{
    GalleryCanvas c(900, 650);
    c.Heading("Controls", 16, 12);
    c.Caption(
        "XPane: plain (colours 0 and 3) holding a default pane and a nested one; panes with "
        "a picture",
        16, 40);
    c.G().DrawPic(Panes(), 16, 60);
    c.Caption("XViewPort and XScrollBar: top, middle, end, both bars, the thumb pressed", 16, 200);
    c.G().DrawPic(ViewPorts(), 16, 220);
    c.Caption("WPopup over a view", 16, 414);
    c.G().DrawPic(PopupOverView(), 16, 434);
    c.Caption("Drag and drop: the drag image over a target that accepts it", 456, 414);
    c.G().DrawPic(DragOverView(), 456, 434);
    return c.Save(dir, "controls.png");
}

}  // namespace

bool WriteFrameworkSheets(const std::string& dir)
{
    return WriteFonts(dir) && WritePrimitives(dir) && WriteControls(dir);
}

}  // namespace gallery
