#include "editor/XProgInfo.h"

#include "editor/GigaViewLayout.h"
#include "editor/GigaViewText.h"
#include "gui/XGraphic.h"

XProgInfo::XProgInfo(int x, int y, int width, int height) : XControl(x, y, width, height)
{
    SetColor(0, XColor());
    SetColor(2, viewlayout::kLoaded);
}

void XProgInfo::SetFacts(int keyLow, int keyHigh, int samples, int bits, bool disk)
{
    SetLines({viewtext::NoteName(keyLow) + " : " + viewtext::NoteName(keyHigh),
              "Samp: " + std::to_string(samples), "Bits: " + std::to_string(bits),
              std::string("Disk: ") + (disk ? "on" : "off")});
}

void XProgInfo::Clear()
{
    SetLines({});
}

void XProgInfo::SetLines(std::array<std::string, 4> lines)
{
    if (lines == lines_) return;
    lines_ = std::move(lines);
    Invalidate();
}

void XProgInfo::Draw(XGraphic* g)
{
    DrawParentUnder(g);
    g->MakeFont(8, 0);
    g->SetTextColor(GetColor(2));
    // Four cells of the font fit the box only from its top: each line rises a little.
    for (std::size_t i = 0; i < lines_.size(); ++i) g->Text(lines_[i], 5, kLineY[i] - 2);
}
