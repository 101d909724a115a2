#include "tests/support/GigWriter.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <stdexcept>

#include "tests/support/GigBlockEncoder.h"
#include "tests/support/GigChunkBuilder.h"
#include "tests/support/TempFolder.h"

namespace testsupport {

namespace {

constexpr std::uint32_t kNoSample = 0xFFFFFFFF;
constexpr std::size_t kListHeader = 12;
constexpr std::size_t kExtensionNameBytes = 128;
constexpr std::size_t kExtensionTrailerBytes = 16;
constexpr std::size_t kEwavBytes = 92;
constexpr int kSinePeriod = 200;

// Time codes count 1200 x 65536 units per octave of seconds.
std::uint32_t TimeCode(double seconds)
{
    return static_cast<std::uint32_t>(
        static_cast<std::int32_t>(std::lround(std::log2(seconds) * 78643200.0)));
}

int TotalBits(const GigRegionPlan& region)
{
    int bits = 0;
    for (const auto& d : region.dimensions) bits += d.bits;
    return bits;
}

std::uint32_t WrittenDimensionRegions(const GigRegionPlan& region)
{
    return region.dimensionRegionCount.value_or(1u << TotalBits(region));
}

const GigDimensionRegionPlan& DimensionRegion(const GigRegionPlan& region, std::size_t i)
{
    return i < region.dimensionRegions.size() ? region.dimensionRegions[i] : region.fill;
}

void Put24(GigChunkBuilder& out, std::int32_t v)
{
    out.U8(static_cast<std::uint8_t>(v)).U8(static_cast<std::uint8_t>(v >> 8));
    out.U8(static_cast<std::uint8_t>(v >> 16));
}

GigChunkBuilder Wsmp(const GigDimensionRegionPlan& d)
{
    GigChunkBuilder p;
    p.U32(20).U16(d.unityNote).U16(static_cast<std::uint16_t>(d.fineTune));
    p.U32(static_cast<std::uint32_t>(d.attenuation)).U32(d.wsmpOptions).U32(d.loop ? 1 : 0);
    if (d.loop) p.U32(16).U32(0).U32(static_cast<std::uint32_t>(d.loopStart)).U32(d.loopLength);
    return p;
}

std::vector<std::uint8_t> Ewa(const GigDimensionRegionPlan& d)
{
    if (d.ewaLength < 4) throw std::invalid_argument("'3ewa' needs its length word");
    std::vector<std::uint8_t> e(d.ewaLength, 0);
    auto put = [&e](std::size_t offset, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes && offset + i < e.size(); ++i) {
            e[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    };
    put(0, d.ewaLength, 4);
    put(28, TimeCode(0.002), 4);  // EG1 attack
    put(32, TimeCode(0.5), 4);    // EG1 decay
    put(38, 1000, 2);             // EG1 sustain, per mille
    put(40, TimeCode(0.3), 4);    // EG1 release
    put(52, TimeCode(0.01), 4);   // EG2 attack
    put(56, TimeCode(1.0), 4);    // EG2 decay
    put(64, TimeCode(0.2), 4);    // EG2 release
    if (d.ewaLength > 124) put(124, d.velocityUpperLimit, 1);
    if (d.ewaLength > 140) {
        for (std::size_t i = 0; i < d.dimensionUpperLimits.size(); ++i) {
            put(140 + i, d.dimensionUpperLimits[i], 1);
        }
    }
    for (const auto& [offset, value] : d.ewaBytes) {
        if (offset >= e.size()) throw std::invalid_argument("'3ewa' byte beyond its length");
        e[offset] = value;
    }
    return e;
}

GigChunkBuilder Links(const GigRegionPlan& region, int version)
{
    const std::size_t definitions = version < 3 ? 5 : 8;
    if (region.dimensions.size() > definitions) {
        throw std::invalid_argument("too many dimensions for the file version");
    }
    const std::uint32_t count = WrittenDimensionRegions(region);
    GigChunkBuilder p;
    p.U32(count);
    for (std::size_t i = 0; i < definitions; ++i) {
        if (i >= region.dimensions.size()) {
            p.Zeros(8);
            continue;
        }
        const auto& d = region.dimensions[i];
        const int zones = 1 << d.bits;
        p.U8(d.type).U8(d.bits).U8(static_cast<std::uint8_t>(zones)).U8(0);
        p.F32(128.0f / static_cast<float>(zones));
    }
    const std::uint32_t table = std::max<std::uint32_t>(count, version < 3 ? 32 : 256);
    for (std::uint32_t i = 0; i < table; ++i) {
        const std::int32_t sample = i < count ? DimensionRegion(region, i).sample : -1;
        p.U32(sample < 0 ? kNoSample : static_cast<std::uint32_t>(sample));
    }
    return p;
}

void WriteRegion(GigChunkBuilder& out, const GigRegionPlan& region, int version)
{
    out.Open("LIST", "rgn ");
    GigChunkBuilder header;
    header.U16(static_cast<std::uint16_t>(region.lowKey));
    header.U16(static_cast<std::uint16_t>(region.highKey)).U16(0).U16(127).U16(0).U16(0);
    out.Chunk("rgnh", header);
    GigChunkBuilder link;
    const std::int32_t first = DimensionRegion(region, 0).sample;
    link.U16(0).U16(0).U32(1).U32(first < 0 ? kNoSample : static_cast<std::uint32_t>(first));
    out.Chunk("wlnk", link);
    if (region.writeLinks) {
        out.Chunk("3lnk", Links(region, version));
        out.Open("LIST", "3prg");
        for (std::uint32_t i = 0; i < WrittenDimensionRegions(region); ++i) {
            const auto& d = DimensionRegion(region, i);
            out.Open("LIST", "3ewl");
            out.Chunk("wsmp", Wsmp(d));
            out.Chunk("3ewa", Ewa(d));
            out.Close();
        }
        out.Close();
    }
    out.Close();
}

void WriteInstrument(GigChunkBuilder& out, const GigInstrumentPlan& ins, int index, int version)
{
    out.Open("LIST", "ins ");
    GigChunkBuilder header;
    header.U32(ins.regionCount.value_or(static_cast<std::uint32_t>(ins.regions.size())));
    header.U32(0).U32(static_cast<std::uint32_t>(index));
    out.Chunk("insh", header);
    out.Open("LIST", "lrgn");
    for (const auto& region : ins.regions) WriteRegion(out, region, version);
    out.Close();
    out.Open("LIST", "lart");
    GigChunkBuilder group;
    group.U16(0).U32(0).U16(0).U16(static_cast<std::uint16_t>(ins.pitchBendRange));
    group.U8(static_cast<std::uint8_t>(ins.keySwitchLow << 1)).U8(ins.keySwitchHigh);
    out.Chunk("3ewg", group);
    out.Close();
    if (ins.writeName) {
        out.Open("LIST", "INFO");
        GigChunkBuilder name;
        name.Text(ins.name, ins.name.size() + 1);
        out.Chunk("INAM", name);
        out.Close();
    }
    out.Close();
}

}  // namespace

void GigDimensionRegionPlan::SetEwa16(std::size_t offset, std::uint16_t v)
{
    ewaBytes[offset] = static_cast<std::uint8_t>(v);
    ewaBytes[offset + 1] = static_cast<std::uint8_t>(v >> 8);
}

void GigDimensionRegionPlan::SetEwa32(std::size_t offset, std::uint32_t v)
{
    SetEwa16(offset, static_cast<std::uint16_t>(v));
    SetEwa16(offset + 2, static_cast<std::uint16_t>(v >> 16));
}

GigWriter::GigWriter(GigFilePlan plan) : plan_(std::move(plan))
{
    int previous = 0;
    for (const auto& s : plan_.samples) {
        if (s.file < previous) throw std::invalid_argument("samples must be ordered by file");
        previous = s.file;
        if (s.channels != 1 && s.channels != 2) throw std::invalid_argument("1 or 2 channels");
        if (s.bits != 16 && s.bits != 24) throw std::invalid_argument("16 or 24 bits");
    }
}

int GigWriter::ExtensionCount() const
{
    return plan_.samples.empty() ? 0 : plan_.samples.back().file;
}

std::string GigWriter::ExtensionName(const std::string& stem, int n)
{
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, ".gx%02d", n);
    return stem + suffix;
}

std::vector<std::int32_t> GigWriter::DefaultValues(int frames, int channels, int bits)
{
    const double amplitude = bits == 16 ? 8000.0 : 1000000.0;
    std::vector<std::int32_t> values;
    values.reserve(static_cast<std::size_t>(frames) * channels);
    for (int f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            const double phase = 2.0 * std::numbers::pi * f / kSinePeriod + 0.5 * c;
            values.push_back(static_cast<std::int32_t>(std::lround(amplitude * std::sin(phase))));
        }
    }
    return values;
}

std::vector<std::int32_t> GigWriter::Values(int s) const
{
    const auto& sample = plan_.samples.at(static_cast<std::size_t>(s));
    if (!sample.values.empty()) return sample.values;
    // Compressed samples get whole blocks of the sine, so the delta modes never see a seam.
    int frames = sample.frames;
    if (sample.compressed && sample.blockFrames > 0) {
        frames = (frames + sample.blockFrames - 1) / sample.blockFrames * sample.blockFrames;
    }
    return DefaultValues(frames, sample.channels, sample.bits);
}

std::vector<std::uint8_t> GigWriter::FileBytes(int file, const std::string& stem) const
{
    const int version = plan_.version;
    const bool extended = ExtensionCount() > 0;

    // The wave pool comes first so the pool table can point into it.
    GigChunkBuilder pool;
    pool.Open("LIST", "wvpl");
    std::vector<std::pair<std::uint32_t, std::uint32_t>> table;  // offset, file
    std::vector<std::uint32_t> ownOffsets;
    for (std::size_t i = 0; i < plan_.samples.size(); ++i) {
        const auto& s = plan_.samples[i];
        if (s.file != file) {
            table.emplace_back(0, static_cast<std::uint32_t>(s.file));
            continue;
        }
        const auto offset = static_cast<std::uint32_t>(pool.Size() - kListHeader);
        table.emplace_back(offset, static_cast<std::uint32_t>(file));
        ownOffsets.push_back(offset);

        const int bytes = s.bits / 8;
        pool.Open("LIST", "wave");
        GigChunkBuilder format;
        format.U16(1).U16(static_cast<std::uint16_t>(s.channels));
        format.U32(static_cast<std::uint32_t>(s.sampleRate));
        format.U32(static_cast<std::uint32_t>(s.sampleRate * s.channels * bytes));
        format.U16(static_cast<std::uint16_t>(s.channels * bytes))
            .U16(static_cast<std::uint16_t>(s.bits));
        pool.Chunk("fmt ", format);
        pool.Open("LIST", "INFO");
        GigChunkBuilder name;
        name.Text(s.name, s.name.size() + 1);
        pool.Chunk("INAM", name);
        pool.Close();

        const auto values = Values(static_cast<int>(i));
        GigChunkBuilder data;
        std::uint32_t blocks = 0;
        if (s.compressed) {
            auto encoded =
                GigBlockEncoder::Encode(values, s.channels, s.bits, s.blockFrames, s.modes);
            data.Raw(encoded.data);
            blocks = encoded.blocks;
        } else {
            for (const auto v : values) {
                if (s.bits == 16) {
                    data.U16(static_cast<std::uint16_t>(v));
                } else {
                    Put24(data, v);
                }
            }
        }
        pool.Chunk("data", data);

        GigChunkBuilder loop;
        loop.U32(0).U32(0).U32(static_cast<std::uint32_t>(1000000000 / s.sampleRate));
        loop.U32(static_cast<std::uint32_t>(s.unityNote))
            .U32(static_cast<std::uint32_t>(s.pitchFraction));
        // The loop record is always there (other readers expect it); the count says if it counts.
        loop.U32(0).U32(0).U32(s.loop ? 1 : 0).U32(0);
        loop.U32(0).U32(0).U32(s.loop ? static_cast<std::uint32_t>(s.loopStart) : 0);
        loop.U32(s.loop ? static_cast<std::uint32_t>(s.loopEnd) : 0).U32(0).U32(0);
        pool.Chunk("smpl", loop);
        GigChunkBuilder group;
        group.U32(0);
        pool.Chunk("3gix", group);
        if (s.compressed) {
            // The block count word counts blocks per channel and carries 2 extra above 3.
            std::uint32_t word = blocks * static_cast<std::uint32_t>(s.channels);
            if (word >= 4) word += 2;
            std::vector<std::uint8_t> ewav(kEwavBytes, 0);
            GigChunkBuilder head;
            head.U32(3).U32(0).U32(static_cast<std::uint32_t>(s.blockFrames)).U32(word);
            std::copy(head.Bytes().begin(), head.Bytes().end(), ewav.begin());
            const std::size_t truncated = s.channels == 1 ? 64 : 84;
            ewav[truncated] = static_cast<std::uint8_t>(s.truncatedBits);
            pool.Chunk("ewav", ewav);
        }
        pool.Close();
    }
    pool.Close();

    GigChunkBuilder out;
    out.Open("RIFF", "DLS ");
    GigChunkBuilder vers;
    vers.U16(0).U16(static_cast<std::uint16_t>(version)).U32(0);
    out.Chunk("vers", vers);
    GigChunkBuilder colh;
    colh.U32(file == 0 ? plan_.instrumentCount.value_or(
                             static_cast<std::uint32_t>(plan_.instruments.size()))
                       : 0);
    out.Chunk("colh", colh);
    if (file == 0) {
        out.Open("LIST", "lins");
        for (std::size_t i = 0; i < plan_.instruments.size(); ++i) {
            WriteInstrument(out, plan_.instruments[i], static_cast<int>(i), version);
        }
        out.Close();
    }
    GigChunkBuilder ptbl;
    if (file == 0) {
        ptbl.U32(8).U32(static_cast<std::uint32_t>(table.size()));
        for (const auto& [offset, owner] : table) {
            ptbl.U32(offset);
            if (extended) ptbl.U32(owner);
        }
    } else {
        ptbl.U32(8).U32(static_cast<std::uint32_t>(ownOffsets.size()));
        for (const auto offset : ownOffsets) ptbl.U32(offset);
    }
    out.Chunk("ptbl", ptbl);
    out.Raw(pool.Bytes());
    if (file == 0 && extended) {
        GigChunkBuilder names;
        names.U32(static_cast<std::uint32_t>(ExtensionCount()));
        for (int n = 1; n <= ExtensionCount(); ++n) {
            names.Text(ExtensionName(stem, n), kExtensionNameBytes).Zeros(kExtensionTrailerBytes);
        }
        out.Chunk("xfil", names);
    }
    if (out.Size() + 8 < plan_.minimumSize) {
        out.Chunk("JUNK", std::vector<std::uint8_t>(plan_.minimumSize - out.Size() - 8, 0));
    }
    out.Close();
    return out.Bytes();
}

std::vector<std::string> GigWriter::Write(const std::string& path) const
{
    const std::filesystem::path target(path);
    const std::string stem = target.stem().string();
    std::vector<std::string> written;
    for (int n = 0; n <= ExtensionCount(); ++n) {
        const std::string file =
            n == 0 ? path : (target.parent_path() / ExtensionName(stem, n)).string();
        const auto bytes = FileBytes(n, stem);
        if (!WriteFileBytes(file, bytes.data(), bytes.size())) {
            throw std::runtime_error("cannot write " + file);
        }
        written.push_back(file);
    }
    return written;
}

}  // namespace testsupport
