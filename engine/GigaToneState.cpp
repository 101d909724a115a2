// The tone's side of a performance: its chunks inside "kytn" and one "part" per layer.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "engine/GigaTone.h"
#include "gig/CExpRiff.h"
#include "gig/CImpRiff.h"
#include "gig/GigaProgram.h"
#include "player/KyPlayer.h"

namespace {

// The reader's text buffers, without the terminating zero.
constexpr int kToneTextMax = 507;
constexpr int kLayerPathMax = 511;
constexpr int kMaxCents = 12700;

// Reads the whole chunk as text up to its first zero. A text longer than `limit` is refused
// rather than cut: a shortened path would name another file.
bool ReadText(CImpRiff& reader, int limit, std::string& text)
{
    const std::int64_t size = reader.ChunkSize();
    // One pad or terminator byte may follow a text of the full length.
    if (size > limit + 1) {
        reader.Log("*** GigaTone: \"%.4s\" of %lld bytes refused ***", reader.ChunkId().data(),
                   static_cast<long long>(size));
        return false;
    }
    std::array<char, kLayerPathMax + 2> buffer {};
    if (size > 0 && !reader.Read(buffer.data(), 1, size)) return false;
    const std::size_t length = strnlen(buffer.data(), static_cast<std::size_t>(size));
    if (length > static_cast<std::size_t>(limit)) {
        reader.Log("*** GigaTone: \"%.4s\" text of %zu bytes refused ***", reader.ChunkId().data(),
                   length);
        return false;
    }
    text.assign(buffer.data(), length);
    return true;
}

// Values from outside are kept in the ranges the engine computes with, so a hostile file
// cannot overflow the voice arithmetic.
std::int32_t Clamp(std::int32_t v, std::int32_t low, std::int32_t high)
{
    return std::clamp(v, low, high);
}

void ReadOffsets(CImpRiff& reader, std::span<Relaxed<float>> offsets)
{
    std::array<float, 6> values {};
    if (!reader.ReadFloats(std::span(values).first(offsets.size()))) return;
    for (std::size_t i = 0; i < offsets.size(); ++i)
        offsets[i] = std::isfinite(values[i]) ? values[i] : 0.0f;
}

bool WriteOffsets(CExpRiff& writer, std::span<const float> offsets)
{
    for (float v : offsets)
        if (!writer.WriteFloat(v)) return false;
    return true;
}

// A layer keeps its file and program in the performance unless it is about to be removed;
// one whose file is missing or still loading must come back when the performance is read.
template <typename Layer>
bool HasProgramReference(const Layer& layer)
{
    return layer.programIndex >= 0 && !layer.bankPath.empty() &&
           layer.state != GigaPart::kToBeRemoved;
}

template <std::size_t N>
std::array<float, N> Values(const std::array<Relaxed<float>, N>& values)
{
    std::array<float, N> out {};
    for (std::size_t i = 0; i < N; ++i) out[i] = values[i].Get();
    return out;
}

}  // namespace

GigaToneFacts GigaTone::Facts() const
{
    std::lock_guard lock(stackMutex_);
    GigaToneFacts facts;
    facts.status = Status();
    facts.stackName = stackName_;
    facts.selectMode = selectMode_;
    facts.keySwitchLow = keySwitchLow_;
    const int count = LayerCount();
    facts.layers.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const GigaPart& layer = *layers_[static_cast<std::size_t>(i)];
        GigaLayerFacts& f = facts.layers.emplace_back();
        f.bankPath = layer.bankPath;
        f.programIndex = layer.programIndex;
        f.state = layer.state;
        f.leaving = layer.leaving;
        // A program is complete once it is in a layer: the loader installs it after the load.
        if (layer.program) f.programName = layer.program->name;
        f.volume = layer.volume;
        f.pan = layer.pan;
        f.tune = layer.tune;
        f.keyLow = layer.keyLow;
        f.keyHigh = layer.keyHigh;
        f.keyOffset = layer.keyOffset;
        f.bendRange = layer.bendRange;
        f.filterSwitch = layer.filterSwitch;
        f.amplifierOffsets = Values(layer.amplifierOffsets);
        f.filterOffsets = Values(layer.filterOffsets);
    }
    return facts;
}

bool GigaTone::Save(CExpRiff& writer)
{
    SetModified(false);
    // Written from a copy: the stack lock is held for the copy only.
    const GigaToneFacts facts = Facts();
    bool ok = true;
    if (!facts.stackName.empty())
        ok = writer.StartChunk("name") && writer.WriteString(facts.stackName) && writer.EndChunk();
    const std::int32_t stak[] = {facts.selectMode, facts.keySwitchLow};
    const std::int32_t midi[] = {MidiChannel()};
    const std::int32_t outb[] = {OutputBus()};
    const std::int32_t para[] = {Volume(), Pan(), Tune()};
    ok = ok && writer.WriteIntChunk("stak", stak) && writer.WriteIntChunk("midi", midi) &&
         writer.WriteIntChunk("outb", outb) && writer.WriteIntChunk("para", para);
    for (std::size_t i = 0; ok && i < facts.layers.size(); ++i)
        ok = writer.StartChunk("part") && SaveLayer(writer, facts.layers[i]) && writer.EndChunk();
    return ok;
}

bool GigaTone::SaveLayer(CExpRiff& writer, const GigaLayerFacts& layer)
{
    if (!HasProgramReference(layer)) return true;  // an empty "part"
    const std::int32_t prog[] = {layer.programIndex};
    const std::int32_t stak[] = {layer.keyLow, layer.keyHigh, layer.keyOffset};
    const std::int32_t para[] = {layer.volume, layer.pan, layer.tune};
    const std::int32_t bend[] = {layer.bendRange};
    return writer.StartChunk("bank") && writer.WriteString(layer.bankPath) && writer.EndChunk() &&
           writer.WriteIntChunk("prog", prog) && writer.WriteIntChunk("stak", stak) &&
           writer.WriteIntChunk("para", para) && writer.WriteIntChunk("bend", bend) &&
           writer.StartChunk("vcau") && WriteOffsets(writer, layer.amplifierOffsets) &&
           writer.EndChunk() && writer.StartChunk("vcfu") &&
           WriteOffsets(writer, layer.filterOffsets) && writer.WriteInt(layer.filterSwitch) &&
           writer.EndChunk();
}

bool GigaTone::Load(CImpRiff& reader)
{
    const int level = reader.Level() + 1;
    ResetDefaults();
    lowestKey_ = 0;
    highestKey_ = 0;
    keySwitchLow_ = 0;
    keySwitchHigh_ = 0;
    SetStackName({});

    bool ok = true;
    std::string path;
    bool pathValid = false;
    GigaPart* direct = nullptr;  // the older layout's layer, made by "bank" and "prog"
    while (reader.OpenChunk(level)) {
        const std::string_view id = reader.ChunkId();
        std::array<std::int32_t, 3> v {};
        if (id == "midi") {
            if (reader.ReadInts(std::span(v).first(1))) SetMidiChannel(Clamp(v[0], 0, 15));
        } else if (id == "outb") {
            if (reader.ReadInts(std::span(v).first(1))) {
                const int buses = Player() ? Player()->OutputBusCount() : 1;
                SetOutputBus(v[0] >= 0 && v[0] < buses ? v[0] : 0);
            }
        } else if (id == "para") {
            if (reader.ReadInts(v)) {
                SetVolume(Clamp(v[0], 0, 127));
                SetPan(Clamp(v[1], 0, 127));
                SetTune(Clamp(v[2], -kMaxCents, kMaxCents));
            }
        } else if (id == "name") {
            std::string name;
            if (ReadText(reader, kToneTextMax, name))
                SetStackName(name);
            else
                ok = false;
        } else if (id == "stak") {
            if (reader.ReadInts(std::span(v).first(2))) {
                selectMode_ = v[0];
                keySwitchLow_ = Clamp(v[1], 0, 127);
            }
        } else if (id == "part") {
            // Read in full before the stack sees it; an empty part (a layer that was on its
            // way out when the performance was saved) adds nothing.
            auto layer = std::make_unique<GigaPart>(this);
            ok = LoadLayer(reader, *layer, level + 1) && ok;
            if (HasProgramReference(*layer)) AdoptLayer(std::move(layer));
        } else if (id == "bank") {
            pathValid = ReadText(reader, kToneTextMax, path);
            ok = pathValid && ok;
        } else if (id == "prog") {
            if (pathValid && reader.ReadInts(std::span(v).first(1))) direct = AddLayer(path, v[0]);
        } else if (direct && (id == "bend" || id == "vcau" || id == "vcfu")) {
            // LoadLayer reads these three from the chunk the reader stands on.
            ok = LoadLayer(reader, *direct, -1) && ok;
        }
    }
    if (LayerCount() > 0) SetStatus(kLoadRequested);
    return ok;
}

// level < 0: the reader stands on one layer chunk of the older layout, read just that one.
bool GigaTone::LoadLayer(CImpRiff& reader, GigaPart& layer, int level)
{
    bool ok = true;
    std::string path;
    bool pathValid = false;
    const auto readOne = [&] {
        const std::string_view id = reader.ChunkId();
        std::array<std::int32_t, 3> v {};
        if (id == "para") {
            if (reader.ReadInts(v)) {
                layer.volume = Clamp(v[0], 0, 127);
                layer.pan = Clamp(v[1], 0, 127);
                layer.tune = Clamp(v[2], -kMaxCents, kMaxCents);
            }
        } else if (id == "stak") {
            if (reader.ReadInts(v)) {
                layer.keyLow = Clamp(v[0], 0, 127);
                layer.keyHigh = Clamp(v[1], 0, 127);
                layer.keyOffset = Clamp(v[2], -127, 127);
            }
        } else if (id == "bank") {
            pathValid = ReadText(reader, kLayerPathMax, path);
            ok = pathValid && ok;
        } else if (id == "prog") {
            // Without a path that could be read the layer stays without program and goes.
            if (pathValid && reader.ReadInts(std::span(v).first(1))) {
                layer.bankPath = path;
                layer.programIndex = v[0];
                layer.state = GigaPart::kLoadRequested;
            }
        } else if (id == "bend") {
            if (reader.ReadInts(std::span(v).first(1))) layer.bendRange = Clamp(v[0], 0, 127);
        } else if (id == "vcau") {
            ReadOffsets(reader, layer.amplifierOffsets);
        } else if (id == "vcfu") {
            ReadOffsets(reader, layer.filterOffsets);
            if (reader.ReadInts(std::span(v).first(1))) layer.filterSwitch = v[0];
        }
    };
    if (level < 0) {
        readOne();
        return ok;
    }
    layer.volume = 127;
    layer.pan = 64;
    layer.tune = 0;
    layer.keyLow = 0;
    layer.keyHigh = 0;
    layer.keyOffset = 0;
    layer.bendRange = 0;
    layer.filterSwitch = 0;
    for (auto& o : layer.amplifierOffsets) o = 0.0f;
    for (auto& o : layer.filterOffsets) o = 0.0f;
    while (reader.OpenChunk(level)) readOne();
    return ok;
}
