// Owns the player of one plug-in object and, once the host asks for the editor, its main view.
#pragma once

#include <memory>

#include "giga/GigaPlayer.h"
#if MARLET_EDITOR
#include "editor/GigaEditor.h"
#endif

class KyPlayerDef {
public:
    KyPlayerDef() = default;
    virtual ~KyPlayerDef();
    KyPlayerDef(const KyPlayerDef&) = delete;
    KyPlayerDef& operator=(const KyPlayerDef&) = delete;

    // Creates and initialises the player on first use.
    GigaPlayer* GetPlayer();
#if MARLET_EDITOR
    // Creates the main editor view on first use (GUI thread); it lives as long as this object.
    GigaEditor* GetEditor();
    GigaEditor* ExistingEditor() const { return editor_.get(); }
#endif

private:
    std::unique_ptr<GigaPlayer> player_;
#if MARLET_EDITOR
    std::unique_ptr<GigaEditor> editor_;
#endif
};
