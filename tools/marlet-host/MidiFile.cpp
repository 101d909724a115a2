#include "tools/marlet-host/MidiFile.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "tools/marlet-host/BinaryFile.h"
#include "tools/marlet-host/ByteReader.h"

namespace {

constexpr std::uint32_t kDefaultMicrosPerQuarter = 500000;  // 120 beats per minute

struct TickEvent {
    std::uint64_t tick;
    std::uint8_t status, data1, data2;
};

struct TempoChange {
    std::uint64_t tick;
    std::uint32_t microsPerQuarter;
};

struct Chunk {
    std::string_view id;
    std::span<const std::uint8_t> data;
    std::size_t offset;  // of data in the file
};

[[noreturn]] void Fail(const std::string& message)
{
    throw std::runtime_error(message);
}

std::string Hex(unsigned value)
{
    static const char* digits = "0123456789ABCDEF";
    return std::string("0x") + digits[(value >> 4) & 15] + digits[value & 15];
}

// The declared length is checked against what is left before anything is taken, so a huge
// length in a short file is an error, never an allocation.
Chunk ReadChunk(ByteReader& in)
{
    const std::size_t start = in.FileOffset();
    const auto id = in.Take(4);
    const std::uint32_t length = in.U32();
    Chunk chunk {std::string_view(reinterpret_cast<const char*>(id.data()), 4), {}, 0};
    if (length > in.Remaining())
        Fail("chunk '" + std::string(chunk.id) + "' at byte " + std::to_string(start) +
             " declares " + std::to_string(length) + " bytes but only " +
             std::to_string(in.Remaining()) + " remain");
    chunk.offset = in.FileOffset();
    chunk.data = in.Take(length);
    return chunk;
}

// Converts ticks to seconds for metrical (ticks per quarter) and SMPTE divisions.
class TempoMap {
public:
    explicit TempoMap(std::uint16_t division)
    {
        if (division & 0x8000u) {
            const int fps = -static_cast<std::int8_t>(division >> 8);
            const int ticksPerFrame = division & 0xFF;
            if (fps != 24 && fps != 25 && fps != 29 && fps != 30)
                Fail("SMPTE division with " + std::to_string(fps) + " frames per second");
            if (ticksPerFrame == 0) Fail("SMPTE division with 0 ticks per frame");
            const double framesPerSecond = fps == 29 ? 30000.0 / 1001.0 : fps;
            smpteSecondsPerTick_ = 1.0 / (framesPerSecond * ticksPerFrame);
        } else {
            if (division == 0) Fail("division of 0 ticks per quarter note");
            ticksPerQuarter_ = division;
        }
    }

    // Tempo changes in file order; SMPTE timing ignores them.
    void Build(std::vector<TempoChange> changes)
    {
        std::stable_sort(changes.begin(), changes.end(),
                         [](const auto& a, const auto& b) { return a.tick < b.tick; });
        segments_.push_back({0, 0.0, kDefaultMicrosPerQuarter});
        for (const auto& change : changes) {
            const double at = Seconds(change.tick);
            if (segments_.back().tick == change.tick)
                segments_.back().microsPerQuarter = change.microsPerQuarter;
            else
                segments_.push_back({change.tick, at, change.microsPerQuarter});
        }
    }

    double Seconds(std::uint64_t tick) const
    {
        if (smpteSecondsPerTick_ > 0.0) return static_cast<double>(tick) * smpteSecondsPerTick_;
        const auto next =
            std::upper_bound(segments_.begin(), segments_.end(), tick,
                             [](std::uint64_t t, const auto& s) { return t < s.tick; });
        const Segment& s = *(next - 1);
        return s.seconds +
               static_cast<double>(tick - s.tick) * s.microsPerQuarter / (1e6 * ticksPerQuarter_);
    }

private:
    struct Segment {
        std::uint64_t tick;
        double seconds;
        std::uint32_t microsPerQuarter;
    };
    std::vector<Segment> segments_;
    double smpteSecondsPerTick_ = 0.0;
    std::uint32_t ticksPerQuarter_ = 0;
};

struct TrackContents {
    std::vector<TickEvent>& events;
    std::vector<TempoChange>& tempos;
    std::uint64_t endTick = 0;
};

void ReadTrack(const Chunk& chunk, TrackContents& out)
{
    ByteReader in(chunk.data, chunk.offset);
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    while (!in.AtEnd()) {
        tick += in.VariableLength();
        const std::size_t at = in.FileOffset();
        std::uint8_t status = in.U8();
        std::uint8_t data1 = 0;
        if (status < 0x80) {
            if (running == 0)
                Fail("data byte " + Hex(status) + " without a status at byte " +
                     std::to_string(at));
            data1 = status;
            status = running;
        } else if (status < 0xF0) {
            running = status;
            data1 = in.U8();
        } else if (status == 0xF0 || status == 0xF7) {
            in.Take(in.VariableLength());  // system exclusive: not played
            running = 0;
            continue;
        } else if (status == 0xFF) {
            const std::uint8_t type = in.U8();
            const auto data = in.Take(in.VariableLength());
            running = 0;
            if (type == 0x51) {
                if (data.size() != 3)
                    Fail("tempo event with " + std::to_string(data.size()) + " bytes at byte " +
                         std::to_string(at));
                out.tempos.push_back({tick, (std::uint32_t {data[0]} << 16) |
                                                (std::uint32_t {data[1]} << 8) | data[2]});
            } else if (type == 0x2F) {
                break;  // end of track; anything after it is ignored
            }
            continue;
        } else {
            Fail("status byte " + Hex(status) + " is not allowed in a MIDI file (byte " +
                 std::to_string(at) + ")");
        }

        const bool oneDataByte = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0;
        const std::uint8_t data2 = oneDataByte ? 0 : in.U8();
        if (data1 >= 0x80 || data2 >= 0x80)
            Fail("message " + Hex(status) + " at byte " + std::to_string(at) +
                 " has a data byte above 127");
        out.events.push_back({tick, status, data1, data2});
    }
    out.endTick = std::max(out.endTick, tick);
}

}  // namespace

MidiFile MidiFile::Read(const std::string& path)
{
    const auto bytes = binaryfile::Read(path, kMaxFileBytes);
    try {
        return Parse(bytes);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
}

MidiFile MidiFile::Parse(std::span<const std::uint8_t> bytes)
{
    ByteReader in(bytes);
    if (bytes.size() < 4 ||
        std::string_view(reinterpret_cast<const char*>(bytes.data()), 4) != "MThd")
        Fail("not a standard MIDI file (no MThd header)");
    const Chunk header = ReadChunk(in);
    if (header.data.size() < 6) Fail("MThd header is too short");
    ByteReader h(header.data, header.offset);
    MidiFile file;
    file.format_ = h.U16();
    const int declaredTracks = h.U16();
    const std::uint16_t division = h.U16();
    if (file.format_ == 2) Fail("format 2 (independent sequences) is not supported");
    if (file.format_ > 2) Fail("unknown format " + std::to_string(file.format_));
    if (declaredTracks == 0) Fail("the file declares no tracks");
    if (file.format_ == 0 && declaredTracks != 1)
        Fail("format 0 file declares " + std::to_string(declaredTracks) + " tracks");
    TempoMap tempoMap(division);

    std::vector<TickEvent> events;
    std::vector<TempoChange> tempos;
    TrackContents contents {events, tempos};
    while (file.trackCount_ < declaredTracks) {
        if (in.AtEnd())
            Fail("the file ends after " + std::to_string(file.trackCount_) + " of " +
                 std::to_string(declaredTracks) + " tracks");
        const Chunk chunk = ReadChunk(in);
        if (chunk.id != "MTrk") continue;  // unknown chunks are allowed and skipped
        try {
            ReadTrack(chunk, contents);
        } catch (const std::runtime_error& e) {
            Fail("track " + std::to_string(file.trackCount_ + 1) + ": " + e.what());
        }
        ++file.trackCount_;
    }

    tempoMap.Build(std::move(tempos));
    std::stable_sort(events.begin(), events.end(),
                     [](const auto& a, const auto& b) { return a.tick < b.tick; });
    file.events_.reserve(events.size());
    for (const auto& e : events)
        file.events_.push_back({tempoMap.Seconds(e.tick), e.status, e.data1, e.data2});
    file.lengthSeconds_ = tempoMap.Seconds(contents.endTick);
    return file;
}
