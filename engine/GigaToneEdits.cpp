// The stack edits that other threads make: each holds the stack lock, so the loader cannot take
// the layer out meanwhile; the loader holds it for short steps only, so they never wait for a
// load.
#include <mutex>

#include "engine/GigaTone.h"

bool GigaTone::EditLayer(int index, const LayerEdit& edit)
{
    std::lock_guard lock(stackMutex_);
    GigaPart* layer = Layer(index);
    if (!layer) return false;
    edit(*layer);
    return true;
}

void GigaTone::EditLayers(const StackEdit& edit)
{
    std::lock_guard lock(stackMutex_);
    for (int i = 0; i < LayerCount(); ++i) edit(i, *Layer(i));
}

bool GigaTone::EditLayerBySerial(std::uint32_t serial, const LayerEdit& edit)
{
    std::lock_guard lock(stackMutex_);
    GigaPart* layer = FindLayer(serial);
    if (!layer) return false;
    edit(*layer);
    return true;
}
