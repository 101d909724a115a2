#include "player/KyBufferList.h"

#include <algorithm>
#include <cstring>

KyBufferList::~KyBufferList()
{
    FreeOwned();
}

void KyBufferList::SetBusCount(int count)
{
    busCount_ = std::clamp(count, 0, kMaxBuses);
}

void KyBufferList::SetBus(int bus, float* left, float* right)
{
    if (bus < 0 || bus >= kMaxBuses) return;
    buses_[bus] = {left, right};
}

void KyBufferList::ClearReadyFlags()
{
    std::memset(ready_, 0, sizeof ready_);
}

void KyBufferList::ZeroAll(int frames)
{
    for (int bus = 0; bus < busCount_; ++bus) {
        ready_[bus] = 0;
        PrepareForMix(bus, frames);
    }
}

KyBufferList::Bus* KyBufferList::PrepareForMix(int bus, int frames)
{
    if (bus < 0 || bus >= busCount_) return nullptr;
    Bus& b = buses_[bus];
    if (!b.left || !b.right) return nullptr;
    if (!ready_[bus]) {
        const std::size_t bytes = sizeof(float) * static_cast<std::size_t>(std::max(frames, 0));
        std::memset(b.left, 0, bytes);
        std::memset(b.right, 0, bytes);
        ready_[bus] = 1;
    }
    return &b;
}

void KyBufferList::AllocateOwned(int frames)
{
    FreeOwned();
    for (int bus = 0; bus < busCount_; ++bus) {
        buses_[bus].left = new float[static_cast<std::size_t>(frames)]();
        buses_[bus].right = new float[static_cast<std::size_t>(frames)]();
    }
    ownsBuffers_ = true;
}

void KyBufferList::FreeOwned()
{
    if (!ownsBuffers_) return;
    for (Bus& b : buses_) {
        delete[] b.left;
        delete[] b.right;
        b = {};
    }
    ownsBuffers_ = false;
}
