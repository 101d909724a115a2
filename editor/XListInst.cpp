#include "editor/XListInst.h"
#include "editor/EditorCodes.h"

bool XListInst::DoubleClick(int x, int y)
{
    if (ItemAt(x - X() + OriginX(), y - Y() + OriginY()) < 0) return false;
    if (SelectedCount() == 1) Broadcast(this, editorcode::kListLoad);
    return true;
}

int XListInst::SelectedProgram() const
{
    const Item* item = GetItem(SelectedIndex());
    return item ? item->data : 0;
}
