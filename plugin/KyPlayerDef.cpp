#include "plugin/KyPlayerDef.h"

KyPlayerDef::~KyPlayerDef()
{
    if (!player_) return;
    player_->SetEditor(nullptr);
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
