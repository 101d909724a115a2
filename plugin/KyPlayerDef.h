// Owns the player of one plug-in object and, once the host asks for the editor, its main view.
#pragma once

#include <memory>

#include "editor/GigaEditor.h"
#include "giga/GigaPlayer.h"

class KyPlayerDef {
public:
    KyPlayerDef() = default;
    virtual ~KyPlayerDef();
    KyPlayerDef(const KyPlayerDef&) = delete;
    KyPlayerDef& operator=(const KyPlayerDef&) = delete;

    // Creates and initialises the player on first use.
    GigaPlayer* GetPlayer();
    // Creates the main editor view on first use (GUI thread); it lives as long as this object.
    GigaEditor* GetEditor();
    GigaEditor* ExistingEditor() const { return editor_.get(); }

private:
    std::unique_ptr<GigaPlayer> player_;
    std::unique_ptr<GigaEditor> editor_;
};
