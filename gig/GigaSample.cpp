#include "gig/GigaSample.h"

#include "gig/GigaConvert.h"
#include "sample/GigaMemory.h"

void GigaSample::AddZone()
{
    if (++refCount == 1 && memory != nullptr) memory->AddUser();
}

void GigaSample::RemoveZone()
{
    if (refCount <= 0) return;
    if (--refCount == 0 && memory != nullptr) memory->RemoveUser();
}

void GigaSample::ForgetStaleMemory()
{
    if (memory != nullptr && !memory->Allocated()) {
        memory = nullptr;
        loaded = false;
    }
}

void GigaSample::SanitiseLoop()
{
    GigaConvert::SanitiseLoop(loopEnabled, loopStart, loopEnd, frameCount);
}
