#include "plugin/KyPlayerDef.h"

#include "gig/GigaBankManager.h"

KyPlayerDef::~KyPlayerDef()
{
    // The editor goes first: no post from the loader and no tone notification reaches it once
    // Detach has returned, and its views let go of the tones before the tones can go.
#if MARLET_EDITOR
    if (editor_) editor_->Detach();
    editor_.reset();
#endif
    if (!player_) return;
    player_->SetEditor(nullptr);
    // A load pass visiting this player gives up at its next step; the host does not wait for
    // it. The player goes now, or on the loading thread once the pass is done with it.
    player_->LeavePlayerList(/*awaitVisit=*/false);
    GigaBankManager::Instance().Retire(std::move(player_));
}

#if MARLET_EDITOR
GigaEditor* KyPlayerDef::GetEditor()
{
    if (!editor_) editor_ = std::make_unique<GigaEditor>(*GetPlayer());
    return editor_.get();
}
#endif

GigaPlayer* KyPlayerDef::GetPlayer()
{
    if (!player_) {
        player_ = std::make_unique<GigaPlayer>();
        player_->OnInit();
    }
    return player_.get();
}
