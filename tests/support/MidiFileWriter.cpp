#include "tests/support/MidiFileWriter.h"

#include <stdexcept>

namespace testsupport {

namespace {

void Append32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void Append16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

}  // namespace

MidiFileWriter::MidiFileWriter(std::uint16_t format, std::uint16_t division)
    : format_(format), division_(division)
{
}

MidiFileWriter& MidiFileWriter::Track()
{
    tracks_.emplace_back();
    return *this;
}

MidiFileWriter& MidiFileWriter::Event(std::uint32_t delta,
                                      std::initializer_list<std::uint8_t> bytes)
{
    if (tracks_.empty()) throw std::logic_error("MidiFileWriter: call Track() first");
    const auto vlq = VariableLength(delta);
    tracks_.back().insert(tracks_.back().end(), vlq.begin(), vlq.end());
    return Raw(bytes);
}

MidiFileWriter& MidiFileWriter::Raw(std::initializer_list<std::uint8_t> bytes)
{
    if (tracks_.empty()) throw std::logic_error("MidiFileWriter: call Track() first");
    tracks_.back().insert(tracks_.back().end(), bytes.begin(), bytes.end());
    return *this;
}

MidiFileWriter& MidiFileWriter::Tempo(std::uint32_t delta, std::uint32_t us)
{
    return Event(delta, {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(us >> 16),
                         static_cast<std::uint8_t>(us >> 8), static_cast<std::uint8_t>(us)});
}

MidiFileWriter& MidiFileWriter::NoteOn(std::uint32_t delta, int channel, int key, int velocity)
{
    return Event(delta, {static_cast<std::uint8_t>(0x90 | channel), static_cast<std::uint8_t>(key),
                         static_cast<std::uint8_t>(velocity)});
}

MidiFileWriter& MidiFileWriter::NoteOff(std::uint32_t delta, int channel, int key)
{
    return Event(delta,
                 {static_cast<std::uint8_t>(0x80 | channel), static_cast<std::uint8_t>(key), 0});
}

MidiFileWriter& MidiFileWriter::EndOfTrack(std::uint32_t delta)
{
    return Event(delta, {0xFF, 0x2F, 0x00});
}

MidiFileWriter& MidiFileWriter::DeclareTracks(std::uint16_t count)
{
    declaredTracks_ = count;
    return *this;
}

std::vector<std::uint8_t> MidiFileWriter::Bytes() const
{
    std::vector<std::uint8_t> out {'M', 'T', 'h', 'd'};
    Append32(out, 6);
    Append16(out, format_);
    Append16(out,
             static_cast<std::uint16_t>(declaredTracks_ >= 0 ? declaredTracks_ : tracks_.size()));
    Append16(out, division_);
    for (const auto& track : tracks_) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        Append32(out, static_cast<std::uint32_t>(track.size()));
        out.insert(out.end(), track.begin(), track.end());
    }
    return out;
}

std::vector<std::uint8_t> MidiFileWriter::VariableLength(std::uint32_t value)
{
    std::vector<std::uint8_t> bytes {static_cast<std::uint8_t>(value & 0x7F)};
    while (value >>= 7)
        bytes.insert(bytes.begin(), static_cast<std::uint8_t>(0x80 | (value & 0x7F)));
    return bytes;
}

}  // namespace testsupport
