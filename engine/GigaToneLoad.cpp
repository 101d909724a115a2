// The tone's side of background loading: run on the loading thread while the tone is stopped.
#include <algorithm>
#include <utility>

#include "engine/GigaTone.h"
#include "gig/GigaBank.h"
#include "gig/GigaBankManager.h"
#include "gig/GigaProgram.h"
#include "gig/GigaRegion.h"
#include "player/KyPlayer.h"
#include "stream/GigaDiskThread.h"

namespace {

// What the loader loads for one layer: copied under the stack lock, loaded without it.
struct LoadJob {
    GigaPart* layer = nullptr;  // stays in the stack: only the loader takes layers out
    std::string bankPath;
    int programIndex = -1;
};

}  // namespace

bool GigaTone::LoadPass()
{
    // Loading leaves the modified flag alone: a rack restored from a performance or the host's
    // state is unchanged until the user changes it (the editor's door marks those changes).
    Log("GigaTone::LoadPass(%d)", ToneIndex());
    for (;;) {
        std::vector<std::unique_ptr<GigaPart>> gone;
        GigaProgram* previous = nullptr;
        LoadJob job;
        bool allLoaded = true;
        bool finished = false;
        bool statusChanged = false;
        {
            std::lock_guard lock(stackMutex_);
            TakeOutLeaving(gone);
            bool toTakeOut = false;
            const int count = LayerCount();
            for (int i = 0; i < count && !job.layer; ++i) {
                GigaPart& layer = *layers_[static_cast<std::size_t>(i)];
                if (layer.state != GigaPart::kLoadRequested) continue;
                if (layer.programIndex < 0) {
                    // A layer without program goes at the next step.
                    layer.state = GigaPart::kToBeRemoved;
                    toTakeOut = true;
                    continue;
                }
                job = {&layer, layer.bankPath, layer.programIndex};
                previous = std::exchange(layer.program, nullptr);
            }
            if (job.layer) {
                loadingLayer_ = job.layer;
                loadCancelled_.store(false, std::memory_order_relaxed);
            } else if (!toTakeOut) {
                statusChanged = FinishLoadPass(allLoaded);
                finished = true;
            }
        }
        ReleaseParts(gone);
        if (previous) previous->Release();
        if (finished) {
            if (statusChanged) Notify(KyToneView::kStatusChanged, Status());
            return allLoaded;
        }
        if (!job.layer) continue;  // layers to take out first

        GigaBank* bank = nullptr;
        GigaProgram* program = nullptr;
        bool missing = false;
        bool damaged = false;
        if (!LoadCancelled() && !job.bankPath.empty()) {
            bank = GigaBankManager::Instance().RetainBank(job.bankPath);
            if (!bank) {
                Log("*** GigaTone::LoadLayer() cannot open %s ***\r\n", job.bankPath.c_str());
                missing = true;
            }
        }
        if (bank && !LoadCancelled() && job.programIndex < bank->ProgramCount())
            program = bank->LoadProgram(job.programIndex, this);
        // A load given up because the player no longer wants it leaves the layer asking.
        const KyPlayer* player = Player();
        const bool abandoned = !program && !missing && player && player->LoadAbandoned();
        if (!program && bank) {
            // The layer lets go of its bank, or the manager would keep it open (and hand out what
            // it read then) long after the file changed.
            damaged = !abandoned && bank->Damaged();
            bank->Release();
            bank = nullptr;
        }

        GigaBank* unused = nullptr;  // the bank the layer held before
        {
            std::lock_guard lock(stackMutex_);
            loadingLayer_ = nullptr;
            GigaPart& layer = *job.layer;
            if (layer.leaving || abandoned) {
                // Cleared meanwhile, or the load was given up: what was loaded goes.
                std::swap(bank, unused);
            } else if (layer.bankPath != job.bankPath || layer.programIndex != job.programIndex) {
                // Given another program meanwhile: what was loaded goes, the layer asks again.
                std::swap(bank, unused);
            } else if (missing) {
                layer.state = GigaPart::kFileNotFound;
            } else if (!program) {
                unused = std::exchange(layer.bank, nullptr);
                if (damaged) {
                    // A file damaged since it was opened counts as missing: the layer keeps its
                    // file and program for the performance, and comes back once the file is
                    // whole again.
                    Log("*** GigaTone::LoadLayer() cannot load program %d of %s ***\r\n",
                        job.programIndex, job.bankPath.c_str());
                    layer.state = GigaPart::kFileNotFound;
                } else {
                    // A program the bank does not have, or one that does not fit in memory,
                    // drops the layer without counting as a failure of the tone.
                    layer.state = GigaPart::kToBeRemoved;
                }
            } else {
                unused = std::exchange(layer.bank, bank);
                layer.program = std::exchange(program, nullptr);
                layer.state = GigaPart::kLoaded;
                if (layer.keyHigh == 0) {
                    layer.keyLow = layer.program->lowestKey;
                    layer.keyHigh = layer.program->highestKey;
                }
                layer.programBendRange = layer.program->pitchBendRange;
                if (layer.bendRange == 0) layer.bendRange = layer.programBendRange.Get();
                ComputeAverages(layer);
                CopyProgramFacts(layer);
            }
        }
        if (program) program->Release();
        if (unused) unused->Release();
        if (abandoned) return true;
    }
}

bool GigaTone::WantsLoadPass() const
{
    if (Status() == kLoadRequested) return true;
    std::lock_guard lock(stackMutex_);
    for (int i = 0; i < LayerCount(); ++i) {
        const GigaPart& layer = *layers_[static_cast<std::size_t>(i)];
        if (layer.leaving || layer.state == GigaPart::kLoadRequested) return true;
    }
    return false;
}

void GigaTone::DropLeavingLayers()
{
    std::vector<std::unique_ptr<GigaPart>> gone;
    {
        std::lock_guard lock(stackMutex_);
        TakeOutLeaving(gone);
    }
    ReleaseParts(gone);
}

bool GigaTone::LoadCancelled() const
{
    if (loadCancelled_.load(std::memory_order_relaxed)) return true;
    const KyPlayer* player = Player();
    return player && player->LoadAbandoned();
}

void GigaTone::TakeOutLeaving(std::vector<std::unique_ptr<GigaPart>>& out)
{
    const int count = LayerCount();
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        auto& layer = layers_[static_cast<std::size_t>(i)];
        if (layer->leaving || layer->state == GigaPart::kToBeRemoved) {
            if (selected_.load(std::memory_order_relaxed) == layer.get())
                selected_.store(nullptr, std::memory_order_relaxed);
            out.push_back(std::move(layer));
            continue;
        }
        if (kept != i) layers_[static_cast<std::size_t>(kept)] = std::move(layer);
        ++kept;
    }
    layerCount_.store(kept, std::memory_order_release);
}

bool GigaTone::FinishLoadPass(bool& allLoaded)
{
    int lowest = 127;
    int highest = 0;
    allLoaded = true;
    const int kept = LayerCount();
    for (int i = 0; i < kept; ++i) {
        const GigaPart& layer = *layers_[static_cast<std::size_t>(i)];
        if (layer.state == GigaPart::kFileNotFound) allLoaded = false;
        if (layer.program) {
            lowest = std::min<int>(lowest, layer.program->lowestKey);
            highest = std::max<int>(highest, layer.program->highestKey);
        }
    }
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
    selected_.store(kept > 0 && (kept == 1 || selectMode_ > 0) ? layers_[0].get() : nullptr,
                    std::memory_order_relaxed);
    return ExchangeStatus(allLoaded ? kLoaded : kLoadedWithFailure);
}

void GigaTone::ReleaseParts(std::vector<std::unique_ptr<GigaPart>>& parts)
{
    for (auto& layer : parts) {
        ReleaseProgram(*layer);
        if (layer->bank) layer->bank->Release();
        layer->bank = nullptr;
    }
    parts.clear();
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

void GigaTone::CopyProgramFacts(GigaPart& layer)
{
    const GigaProgram& program = *layer.program;
    layer.programKeyLow = program.lowestKey;
    layer.programKeyHigh = program.highestKey;
    layer.sampleCount = program.distinctSampleCount;
    layer.bitDepth = program.maxBitDepth;
    layer.streams = program.needsStreaming;
    layer.dimensions.reset();
    for (std::size_t type = 0; type < layer.dimensions.size(); ++type)
        layer.dimensions[type] = program.dimensionTypesUsed[type] != 0;
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
    if (LayerCount() == 0) return;
    auto banks = GigaBankManager::Instance().LockBanks();
    std::vector<std::unique_ptr<GigaPart>> gone;
    {
        std::lock_guard lock(stackMutex_);
        selected_.store(nullptr, std::memory_order_relaxed);
        const int count = LayerCount();
        layerCount_.store(0, std::memory_order_release);
        for (int i = 0; i < count; ++i)
            gone.push_back(std::move(layers_[static_cast<std::size_t>(i)]));
    }
    // The voices have let go of their streams; two passes later the disk thread has recycled
    // them and no longer looks at a sample of these layers (one held in a read that does not end
    // is given up instead). Without the object nothing streams.
    if (GigaDiskThread* disk = GigaDiskThread::Existing()) disk->SettlePasses(2);
    ReleaseParts(gone);
}
