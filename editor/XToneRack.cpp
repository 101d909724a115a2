#include "editor/XToneRack.h"

#include "editor/GigaView.h"
#include "editor/XRackUnit.h"

XToneRack::XToneRack(int x, int y, int width) : XControl(x, y, width, 1)
{
    SetColor(0, XColor(0, 0, 0));
}

GigaView* XToneRack::AddView(std::unique_ptr<GigaView> view)
{
    if (!view) return nullptr;
    GigaView* added = view.get();
    units_.push_back(Adopt(std::make_unique<XRackUnit>(std::move(view))));
    Layout();
    return added;
}

void XToneRack::Layout()
{
    int y = 1;
    for (XRackUnit* unit : units_) {
        if (unit->X() != 0 || unit->Y() != y) {
            unit->SetPosition(0, y);
            Invalidate();
        }
        y += unit->Height() + 1;
    }
    SetSize(Width(), y);
}

GigaView* XToneRack::View(int index) const
{
    return index >= 0 && index < ViewCount() ? &units_[static_cast<std::size_t>(index)]->View()
                                             : nullptr;
}
