#include "editor/XDimList.h"

#include "editor/GigaViewLayout.h"
#include "gui/XGraphic.h"

XDimList::XDimList(int x, int y, int width, int height) : XControl(x, y, width, height)
{
    SetColor(0, XColor());
}

void XDimList::SetUsed(const std::bitset<256>& used)
{
    if (used == used_) return;
    used_ = used;
    Invalidate();
}

bool XDimList::IsMarked(int entry) const
{
    return entry >= 0 && entry < static_cast<int>(kEntries.size()) &&
           used_[static_cast<std::size_t>(kEntries[static_cast<std::size_t>(entry)].source)];
}

void XDimList::Draw(XGraphic* g)
{
    DrawParentUnder(g);
    g->MakeFont(8, 0);
    constexpr int kColumns = 5;
    const int cell = (Width() - 4) / kColumns;
    for (int i = 0; i < static_cast<int>(kEntries.size()); ++i) {
        g->SetTextColor(IsMarked(i) ? viewlayout::kLoaded : XColor(70, 90, 70));
        g->TextCentered(kEntries[static_cast<std::size_t>(i)].label, 2 + (i % kColumns) * cell,
                        4 + (i / kColumns) * 17, cell, 14, 0);
    }
}
