#include "persist/GigaPerformance.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/GigaTone.h"
#include "riff/CExpRiff.h"
#include "riff/CImpRiff.h"

namespace {

// The reader's text buffers, without the terminating zero.
constexpr int kToneTextMax = 507;
constexpr int kLayerPathMax = static_cast<int>(GigaPerformance::kMaxLayerPath);
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

template <std::size_t N>
void ReadOffsets(CImpRiff& reader, std::array<float, N>& offsets)
{
    std::array<float, N> values {};
    if (!reader.ReadFloats(values)) return;
    for (std::size_t i = 0; i < N; ++i) offsets[i] = std::isfinite(values[i]) ? values[i] : 0.0f;
}

bool WriteOffsets(CExpRiff& writer, std::span<const float> offsets)
{
    for (float v : offsets)
        if (!writer.WriteFloat(v)) return false;
    return true;
}

// A layer keeps its file and program in the performance unless it is about to be removed;
// one whose file is missing or still loading must come back when the performance is read.
bool HasProgramReference(const GigaLayerFacts& layer)
{
    return layer.programIndex >= 0 && !layer.bankPath.empty() &&
           layer.state != GigaPart::kToBeRemoved;
}

bool WriteLayer(CExpRiff& writer, const GigaLayerFacts& layer)
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

// One chunk of a layer, the one the reader stands on. `path` carries the layer's "bank" text
// to its "prog".
bool ReadLayerChunk(CImpRiff& reader, GigaLayerFacts& layer, std::optional<std::string>& path)
{
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
        std::string text;
        path.reset();
        if (!ReadText(reader, kLayerPathMax, text)) return false;
        path = std::move(text);
    } else if (id == "prog") {
        // Without a path that could be read the layer stays without program and goes.
        if (path && reader.ReadInts(std::span(v).first(1))) {
            layer.bankPath = *path;
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
    return true;
}

}  // namespace

bool GigaPerformance::Write(CExpRiff& writer, std::span<GigaTone* const> tones)
{
    bool ok = writer.StartChunk("RIFF", "KyGm") && writer.StartChunk("LIST", "tone");
    for (std::size_t i = 0; ok && i < tones.size(); ++i) {
        GigaTone* tone = tones[i];
        if (!tone) continue;
        const std::int32_t index[] = {static_cast<std::int32_t>(i)};
        const std::int32_t type[] = {tone->TypeCode()};
        ok = writer.StartChunk("RIFF", "tone") && writer.WriteIntChunk("indx", index) &&
             writer.WriteIntChunk("type", type) && writer.StartChunk("RIFF", "kytn") &&
             WriteTone(writer, *tone) && writer.EndChunk() && writer.EndChunk();
    }
    return ok && writer.EndChunk() && writer.EndChunk();
}

bool GigaPerformance::Open(CImpRiff& reader, const QelLog& log)
{
    if (!reader.OpenChunk(0)) {
        log.Log("*** GigaPlayer::OnLoad() no chunk ***");
        return false;
    }
    log.Log("riff->OpenChunk(0) success\r\n");
    if (!reader.ChunkCmp("RIFF", "KyGm")) {
        log.Log("*** GigaPlayer::OnLoad() not a performance ***");
        return false;
    }
    log.Log("riff->ChunkCmp() success\r\n");
    if (!reader.OpenChunk(1)) {
        log.Log("*** GigaPlayer::OnLoad() no tone list ***");
        return false;
    }
    log.Log("riff->OpenChunk(1) success\r\n");
    if (!reader.ChunkCmp("LIST", "tone")) {
        log.Log("*** GigaPlayer::OnLoad() no tone list ***");
        return false;
    }
    log.Log("riff->ChunkCmp() success\r\n");
    return true;
}

void GigaPerformance::ReadTones(CImpRiff& reader, const QelLog& log,
                                const std::function<GigaTone*(int index)>& find)
{
    while (reader.OpenChunk(2)) {
        if (!reader.ChunkCmp("RIFF", "tone")) continue;
        std::int32_t index = 0;
        std::int32_t type = 0;
        while (reader.OpenChunk(3)) {
            if (reader.ChunkCmp("indx")) {
                if (!reader.ReadInts(std::span(&index, 1))) index = 0;
            } else if (reader.ChunkCmp("type")) {
                reader.ReadInts(std::span(&type, 1));  // read and not used
            } else if (reader.ChunkCmp("RIFF", "kytn")) {
                GigaTone* tone = find(index);
                if (!tone) {
                    log.Log("*** GigaPlayer::OnLoad() no tone %d ***", index);
                    continue;
                }
                log.Log("tone->Load(%d)", index);
                GigaToneRecord record;
                const bool ok = ReadTone(reader, record);
                tone->Restore(record);
                if (!ok) log.Log("*** tone->Load(%d) refused a chunk ***", index);
            }
        }
    }
}

bool GigaPerformance::WriteTone(CExpRiff& writer, GigaTone& tone)
{
    tone.SetModified(false);
    // Written from a copy: the stack lock is held for the copy only.
    const GigaToneFacts facts = tone.Facts();
    bool ok = true;
    if (!facts.stackName.empty())
        ok = writer.StartChunk("name") && writer.WriteString(facts.stackName) && writer.EndChunk();
    const std::int32_t stak[] = {facts.selectMode, facts.keySwitchLow};
    const std::int32_t midi[] = {tone.MidiChannel()};
    const std::int32_t outb[] = {tone.OutputBus()};
    const std::int32_t para[] = {tone.Volume(), tone.Pan(), tone.Tune()};
    ok = ok && writer.WriteIntChunk("stak", stak) && writer.WriteIntChunk("midi", midi) &&
         writer.WriteIntChunk("outb", outb) && writer.WriteIntChunk("para", para);
    for (std::size_t i = 0; ok && i < facts.layers.size(); ++i)
        ok = writer.StartChunk("part") && WriteLayer(writer, facts.layers[i]) && writer.EndChunk();
    return ok;
}

bool GigaPerformance::ReadTone(CImpRiff& reader, GigaToneRecord& record)
{
    const int level = reader.Level() + 1;
    bool ok = true;
    std::string path;
    bool pathValid = false;
    // The older layout's layer, made by "bank" and "prog"; the chunks after it add to it.
    std::optional<std::size_t> direct;
    while (reader.OpenChunk(level)) {
        const std::string_view id = reader.ChunkId();
        std::array<std::int32_t, 3> v {};
        if (id == "midi") {
            if (reader.ReadInts(std::span(v).first(1))) record.midiChannel = Clamp(v[0], 0, 15);
        } else if (id == "outb") {
            if (reader.ReadInts(std::span(v).first(1))) record.outputBus = v[0];
        } else if (id == "para") {
            if (reader.ReadInts(v))
                record.params = {Clamp(v[0], 0, 127), Clamp(v[1], 0, 127),
                                 Clamp(v[2], -kMaxCents, kMaxCents)};
        } else if (id == "name") {
            std::string name;
            if (ReadText(reader, kToneTextMax, name))
                record.stackName = std::move(name);
            else
                ok = false;
        } else if (id == "stak") {
            if (reader.ReadInts(std::span(v).first(2))) record.stack = {v[0], Clamp(v[1], 0, 127)};
        } else if (id == "part") {
            // Read in full before the stack sees it; an empty part (a layer that was on its
            // way out when the performance was saved) adds nothing.
            GigaLayerFacts layer;
            std::optional<std::string> layerPath;
            while (reader.OpenChunk(level + 1)) ok = ReadLayerChunk(reader, layer, layerPath) && ok;
            if (HasProgramReference(layer)) record.layers.push_back(std::move(layer));
        } else if (id == "bank") {
            pathValid = ReadText(reader, kToneTextMax, path);
            ok = pathValid && ok;
        } else if (id == "prog") {
            if (pathValid && reader.ReadInts(std::span(v).first(1))) {
                GigaLayerFacts& layer = record.layers.emplace_back();
                layer.bankPath = path;
                layer.programIndex = v[0];
                layer.state = GigaPart::kLoadRequested;
                direct = record.layers.size() - 1;
            }
        } else if (direct && (id == "bend" || id == "vcau" || id == "vcfu")) {
            std::optional<std::string> unused;
            ok = ReadLayerChunk(reader, record.layers[*direct], unused) && ok;
        }
    }
    return ok;
}
