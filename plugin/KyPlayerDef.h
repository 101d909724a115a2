// Owns the player of one plug-in object (and, with the editor, its main view).
#pragma once

#include <memory>

#include "giga/GigaPlayer.h"

class KyPlayerDef {
public:
    KyPlayerDef() = default;
    virtual ~KyPlayerDef();
    KyPlayerDef(const KyPlayerDef&) = delete;
    KyPlayerDef& operator=(const KyPlayerDef&) = delete;

    // Creates and initialises the player on first use.
    GigaPlayer* GetPlayer();

private:
    std::unique_ptr<GigaPlayer> player_;
};
