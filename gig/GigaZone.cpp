#include "gig/GigaZone.h"

#include "gig/GigaConvert.h"
#include "gig/GigaSample.h"

GigaZone::~GigaZone()
{
    UnlinkSample();
}

bool GigaZone::LinkSample(GigaSample& target)
{
    UnlinkSample();
    if (!target.Playable()) return false;
    sample = &target;
    target.AddZone();
    GigaConvert::SanitiseLoop(loopEnabled, loopStart, loopEnd, target.frameCount);
    return true;
}

void GigaZone::UnlinkSample()
{
    if (sample == nullptr) return;
    sample->RemoveZone();
    sample = nullptr;
}
