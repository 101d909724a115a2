#include "plugin/KyPlayerDef.h"

#include "gig/GigaBankManager.h"

KyPlayerDef::~KyPlayerDef()
{
    if (!player_) return;
    player_->SetEditor(nullptr);
    // A load pass visiting this player gives up at its next step; the host does not wait for
    // it. The player goes now, or on the loading thread once the pass is done with it.
    player_->LeavePlayerList(/*awaitVisit=*/false);
    GigaBankManager::Instance().Retire(std::move(player_));
}

GigaPlayer* KyPlayerDef::GetPlayer()
{
    if (!player_) {
        player_ = std::make_unique<GigaPlayer>();
        player_->OnInit();
    }
    return player_.get();
}
