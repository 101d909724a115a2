#include "player/GigaPlayer.h"

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
    RemoveTones();
}

void GigaPlayer::OnInit()
{
    Log("GigaPlayer::OnInit()");
    // The voices and the 16 .gig tones join the rack here once the engine provides them; until
    // then the rack is empty and MIDI is routed to no tone.
    Log("GigaPlayer::OnInit() done");
}
