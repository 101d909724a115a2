// The rack: the tone views one under the other on black, 1 pixel apart from y 1; its height
// follows them.
#pragma once

#include <memory>
#include <vector>

#include "gui/XControl.h"

class GigaView;
class XRackUnit;

class XToneRack : public XControl {
public:
    XToneRack(int x, int y, int width);

    // Wraps the view in a rack unit at the end and lays out.
    GigaView* AddView(std::unique_ptr<GigaView> view);
    // Places the units from y 1 down, each at the previous one's bottom + 1.
    void Layout();
    int ViewCount() const { return static_cast<int>(units_.size()); }
    // Null outside 0 .. ViewCount() - 1.
    GigaView* View(int index) const;

    void ChildResized() override { Layout(); }

private:
    std::vector<XRackUnit*> units_;
};
