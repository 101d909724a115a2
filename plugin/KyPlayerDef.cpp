#include "plugin/KyPlayerDef.h"

KyPlayerDef::~KyPlayerDef()
{
    if (!player_) return;
    player_->SetEditor(nullptr);
    // The background loader must be done with this player before its tones go.
    player_->LeavePlayerList();
    player_->RemoveTones();
    player_.reset();
}

GigaPlayer* KyPlayerDef::GetPlayer()
{
    if (!player_) {
        player_ = std::make_unique<GigaPlayer>();
        player_->OnInit();
    }
    return player_.get();
}
