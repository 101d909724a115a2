// The instruments column: the programs of the listed .gig file, one item each (data: the
// program's index). A double click on an item broadcasts 'load'.
#pragma once

#include <cstdint>

#include "gui/XList.h"

class XListInst : public XList {
public:
    XListInst(int x, int y, int width, int height) : XList(x, y, width, height) { SetKind(kList); }

    bool DoubleClick(int x, int y) override;
    // The program index of the first selected item, 0 when none is selected.
    int SelectedProgram() const;
};
