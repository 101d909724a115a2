#include "player/GigaPlayer.h"

#include <vector>

#include "engine/GigaTone.h"
#include "engine/GigaVoice.h"
#include "gig/GigaBankManager.h"
#include "persist/GigaPrefs.h"
#include "platform/FourCC.h"

GigaPlayer::GigaPlayer()
{
    Log("GigaPlayer constructor");
    identity_ = FourCC("KyGm");
    maker_ = FourCC("OrvN");
    version_ = 66053;
    name_ = "Marlet";
    vendor_ = "Orvana";
    product_ = "Marlet 1.3.0.3";
    busNameFormat_ = "Marlet %d-%d";
    scratch_ = std::make_unique<float[]>(kScratchBytes / sizeof(float));
    Log("GigaPlayer constructor done");
}

GigaPlayer::~GigaPlayer()
{
    Log("GigaPlayer destructor\r\n");
    LeavePlayerList();
    GigaPlayer::RemoveTones();
}

void GigaPlayer::OnInit()
{
    Log("GigaPlayer::OnInit()");
    GigaPrefs::Instance().Load(kPreferencesName);  // once per process
    for (int i = 0; i < kVoices; ++i) voices_.Append(new GigaVoice);
    for (int i = 0; i < kMaxTones; ++i) {
        auto tone = std::make_unique<GigaTone>(i, i, scratch_.get());
        tone->SetVoicePool(&voices_);
        AddTone(std::move(tone));
    }
    Log("GigaPlayer::OnInit() done");
}

bool GigaPlayer::LoadTones()
{
    std::vector<GigaTone*> waiting;
    for (int i = 0; i < ToneCount(); ++i)
        if (auto* tone = dynamic_cast<GigaTone*>(Tone(i));
            tone && tone->Status() == GigaTone::kLoadRequested)
            waiting.push_back(tone);
    Log("toneToLoad=%d", static_cast<int>(waiting.size()));
    bool result = true;
    if (!waiting.empty()) {
        // The audio thread never sees a tone whose programs are changing.
        KyStop();
        for (GigaTone* tone : waiting)
            if (!tone->LoadPass()) result = false;
        Log("toneLoaded=%d", static_cast<int>(waiting.size()));
        KyStart();
    }
    loading_.store(false, std::memory_order_release);
    PostToEditor({FourCC("KyTL"), result ? 1 : 0, 0});
    return result;
}

void GigaPlayer::RemoveTones()
{
    auto banks = GigaBankManager::Instance().LockBanks();
    KyPlayer::RemoveTones();
}
