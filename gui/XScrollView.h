// The clipping frame of a view port: the content is its only child, and a change of the
// content's size lays the port out again.
#pragma once

#include "gui/XControl.h"

class XViewPort;

class XScrollView : public XControl {
public:
    explicit XScrollView(XViewPort* port);

    XControl* Content() const { return Child(0); }
    void Draw(XGraphic* g) override;
    void ChildResized() override;

private:
    XViewPort* port_;
};
