#include "editor/XListInst.h"

bool XListInst::DoubleClick(int x, int y)
{
    if (ItemAt(x - X() + OriginX(), y - Y() + OriginY()) < 0) return false;
    if (SelectedCount() == 1) Broadcast(this, kLoadCode);
    return true;
}

int XListInst::SelectedProgram() const
{
    const Item* item = GetItem(SelectedIndex());
    return item ? item->data : 0;
}
