// The tone's side of background loading: run on the loading thread while the tone is stopped.
#include <algorithm>

#include "engine/GigaTone.h"
#include "gig/GigaBank.h"
#include "gig/GigaBankManager.h"
#include "gig/GigaProgram.h"
#include "gig/GigaRegion.h"
#include "stream/GigaDiskThread.h"

bool GigaTone::LoadPass()
{
    Log("GigaTone::LoadPass(%d)", ToneIndex());
    SetModified(true);
    int lowest = 127;
    int highest = 0;
    bool allLoaded = true;
    const int count = LayerCount();
    for (int i = 0; i < count; ++i)
        if (!LoadLayer(*layers_[static_cast<std::size_t>(i)])) allLoaded = false;

    // Layers to be removed go; the others move down and widen the key range.
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        auto& layer = layers_[static_cast<std::size_t>(i)];
        if (layer->state == GigaPart::kToBeRemoved) {
            layer.reset();
            continue;
        }
        if (layer->program) {
            lowest = std::min<int>(lowest, layer->program->lowestKey);
            highest = std::max<int>(highest, layer->program->highestKey);
        }
        if (kept != i) layers_[static_cast<std::size_t>(kept)] = std::move(layer);
        ++kept;
    }
    layerCount_.store(kept, std::memory_order_release);
    lowestKey_ = lowest;
    highestKey_ = highest;

    if (kept == 0) ResetAfterEmptying();
    if (kept == 1) {
        const GigaProgram* program = layers_[0]->program;
        keySwitchLow_ = program ? program->dimensionKeyLow : 0;
        keySwitchHigh_ = program ? program->dimensionKeyHigh : 0;
    } else if (selectMode_ == kSelectKeySwitch) {
        keySwitchHigh_ = keySwitchLow_ + kept - 1;
    }
    SetStatus(allLoaded ? kLoaded : kLoadedWithFailure);
    selected_.store(kept > 0 && (kept == 1 || selectMode_ > 0) ? layers_[0].get() : nullptr,
                    std::memory_order_relaxed);
    return allLoaded;
}

bool GigaTone::LoadLayer(GigaPart& layer)
{
    if (layer.state == GigaPart::kFileNotFound) return false;
    if (layer.state != GigaPart::kLoadRequested) return true;
    ReleaseProgram(layer);
    layer.state = GigaPart::kToBeRemoved;
    if (layer.programIndex < 0) {
        if (layer.bank) layer.bank->Release();
        layer.bank = nullptr;
        return true;
    }
    if (!layer.bankPath.empty()) {
        GigaBank* bank = GigaBankManager::Instance().RetainBank(layer.bankPath);
        if (!bank) {
            Log("*** GigaTone::LoadLayer() cannot open %s ***\r\n", layer.bankPath.c_str());
            layer.state = GigaPart::kFileNotFound;
            return false;
        }
        if (layer.bank) layer.bank->Release();
        layer.bank = bank;
    }
    GigaProgram* program = layer.bank && layer.programIndex < layer.bank->ProgramCount()
                               ? layer.bank->LoadProgram(layer.programIndex, this)
                               : nullptr;
    if (!program) {
        // The layer lets go of its bank, or the manager would keep it open (and hand out what
        // it read then) long after the file changed.
        const bool damaged = layer.bank && layer.bank->Damaged();
        if (layer.bank) layer.bank->Release();
        layer.bank = nullptr;
        // A program the bank does not have, or one that does not fit in memory, drops the
        // layer without counting as a failure of the tone.
        if (!damaged) return true;
        // A file damaged since it was opened counts as missing: the layer keeps its file and
        // program for the performance, and comes back once the file is whole again.
        Log("*** GigaTone::LoadLayer() cannot load program %d of %s ***\r\n", layer.programIndex,
            layer.bankPath.c_str());
        layer.state = GigaPart::kFileNotFound;
        return false;
    }
    layer.program = program;
    layer.state = GigaPart::kLoaded;
    if (layer.keyHigh == 0) {
        layer.keyLow = program->lowestKey;
        layer.keyHigh = program->highestKey;
    }
    layer.programBendRange = program->pitchBendRange;
    if (layer.bendRange == 0) layer.bendRange = layer.programBendRange.Get();
    ComputeAverages(layer);
    return true;
}

void GigaTone::ReleaseProgram(GigaPart& layer)
{
    if (layer.program) layer.program->Release();
    layer.program = nullptr;
}

void GigaTone::ComputeAverages(GigaPart& layer)
{
    float amplifier[GigaPart::kAmpValues] = {};
    float filter[2] = {};
    int zones = 0;
    int filtered = 0;
    bool hasFilter = false;
    for (GigaRegion& region : layer.program->Regions()) {
        for (GigaZone& zone : region.Zones()) {
            ++zones;
            amplifier[GigaPart::kAmpVelocityDepth] += zone.velocityDepth;
            amplifier[GigaPart::kAmpAttack] += zone.eg1Attack;
            amplifier[GigaPart::kAmpDecay] += zone.eg1Decay;
            amplifier[GigaPart::kAmpSustain] += zone.eg1Sustain;
            amplifier[GigaPart::kAmpRelease] += zone.eg1Release;
            if (!zone.filterEnabled) {
                // A zone without filter has no cutoff of its own.
                zone.filterCutoff = 0.0f;
                zone.filterVelocityDepth = 0.0f;
                continue;
            }
            hasFilter = true;
            ++filtered;
            filter[GigaPart::kCutoff] += zone.filterCutoff;
            filter[GigaPart::kCutoffVelocityDepth] += zone.filterVelocityDepth;
        }
    }
    for (int i = 0; i < GigaPart::kAmpValues; ++i)
        layer.amplifierAverages[static_cast<std::size_t>(i)] =
            zones > 1 ? amplifier[i] / static_cast<float>(zones) : amplifier[i];
    for (int i = 0; i < 2; ++i)
        layer.filterAverages[static_cast<std::size_t>(i)] =
            filtered > 1 ? filter[i] / static_cast<float>(filtered) : filter[i];
    layer.hasFilter = hasFilter;
}

void GigaTone::ResetAfterEmptying()
{
    ResetDefaults();
    lowestKey_ = 0;
    highestKey_ = 0;
    keySwitchLow_ = 0;
    keySwitchHigh_ = 0;
}

void GigaTone::ReleaseLayers()
{
    const int count = LayerCount();
    if (count == 0) return;
    auto banks = GigaBankManager::Instance().LockBanks();
    selected_.store(nullptr, std::memory_order_relaxed);
    layerCount_.store(0, std::memory_order_release);
    // The voices have let go of their streams; two passes later the disk thread has recycled
    // them and no longer looks at a sample of these layers. Without the object nothing streams.
    if (GigaDiskThread* disk = GigaDiskThread::Existing()) disk->WaitPasses(2);
    for (int i = 0; i < count; ++i) {
        auto& layer = layers_[static_cast<std::size_t>(i)];
        ReleaseProgram(*layer);
        if (layer->bank) layer->bank->Release();
        layer.reset();
    }
}
