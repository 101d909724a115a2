// A control that shows one tone: it keeps the tone and the main editor for its whole life.
#pragma once

#include "gui/XControl.h"

class GigaEditorLink;
class GigaToneEdit;

class KyView : public XControl {
public:
    KyView(GigaEditorLink& editor, GigaToneEdit& tone, int x, int y, int width, int height)
        : XControl(x, y, width, height), editor_(editor), tone_(tone)
    {
    }

    GigaToneEdit& Tone() const { return tone_; }
    GigaEditorLink& Editor() const { return editor_; }

private:
    GigaEditorLink& editor_;
    GigaToneEdit& tone_;
};
