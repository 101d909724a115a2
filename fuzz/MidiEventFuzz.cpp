// Feeds any input to the live plug-in as the host's event lists, with the demo instrument on all
// 16 tones. The input is read as records:
//   0x00-0x7F  hand over the events so far and render a block of (b % 32 + 1) * 64 frames
//   0xF0 n ... a system exclusive event of n bytes, then a delta byte
//   0xF7 t ... an event of type t with the next 16 bytes as its body
//   0x80-0xFF  a MIDI event: this status, two data bytes (any values), a delta byte
// Delta bytes below 0xF0 are 8 frames each; the rest stand for deltas a host should never send
// (negative, past the block, huge). A crash, a hang, a read or write outside a buffer or a
// sample that is not finite is a finding.
#include <climits>
#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

#include "fuzz/LivePlugin.h"

namespace {

// A system exclusive event as hosts lay it out.
struct SysexEvent {
    vst::int32 type;
    vst::int32 byteSize;
    vst::int32 deltaFrames;
    vst::int32 flags;
    vst::int32 dumpBytes;
    vst::intptr reserved1;
    char* dump;
    vst::intptr reserved2;
};

constexpr int kOddDeltas[] = {-1,    -64,     -100000, INT_MIN, INT_MAX, 2047, 2048, 4096,
                              65536, 1 << 30, 511,     512,     513,     63,   64,   65};
constexpr std::size_t kMaxPending = 256;

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool More() const { return at_ < size_; }
    std::uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }
    int Delta()
    {
        const std::uint8_t b = Next();
        return b < 0xF0 ? b * 8 : kOddDeltas[b - 0xF0];
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto& plugin = fuzzplugin::LivePlugin::Instance();
    static const bool loaded = [&] {
        const std::string bank = fuzzplugin::DemoBank();
        plugin.SetChunk(hostside::HostState([&](GigaPlayer& rack) {
            for (int t = 0; t < 16; ++t) rack.Giga(t)->AddLayer(bank, t % 3);
        }));
        // Loaded: from here on blocks come as fast as the input asks, as from a live host.
        plugin.SetOffline(false);
        return true;
    }();
    (void)loaded;

    // Events live until their list has been handed over (a deque never moves its elements).
    std::deque<VstMidiEvent> midi;
    std::deque<SysexEvent> sysex;
    std::deque<VstEvent> other;
    std::deque<std::vector<char>> dumps;
    std::vector<VstEvent*> pending;
    const auto handOver = [&] {
        plugin.Events(pending);
        pending.clear();
    };

    Reader in(data, size);
    while (in.More()) {
        const std::uint8_t lead = in.Next();
        if (lead < 0x80) {
            handOver();
            plugin.Block((lead % 32 + 1) * 64);
        } else if (lead == 0xF0) {
            const int n = in.Next();
            auto& dump = dumps.emplace_back();
            for (int i = 0; i < n && in.More(); ++i) dump.push_back(static_cast<char>(in.Next()));
            SysexEvent& e = sysex.emplace_back();
            e = {vst::kVstSysExType,
                 static_cast<vst::int32>(sizeof e),
                 in.Delta(),
                 0,
                 static_cast<vst::int32>(dump.size()),
                 0,
                 dump.data(),
                 0};
            pending.push_back(reinterpret_cast<VstEvent*>(&e));
        } else if (lead == 0xF7) {
            VstEvent& e = other.emplace_back();
            e.type = in.Next();
            e.byteSize = static_cast<vst::int32>(sizeof e);
            e.deltaFrames = in.Delta();
            e.flags = 0;
            for (char& c : e.data) c = static_cast<char>(in.Next());
            pending.push_back(&e);
        } else {
            VstMidiEvent& e = midi.emplace_back();
            e = {};
            e.type = vst::kVstMidiType;
            e.byteSize = static_cast<vst::int32>(sizeof e);
            e.midiData[0] = static_cast<char>(lead);
            e.midiData[1] = static_cast<char>(in.Next());
            e.midiData[2] = static_cast<char>(in.Next());
            e.deltaFrames = in.Delta();
            pending.push_back(reinterpret_cast<VstEvent*>(&e));
        }
        if (pending.size() >= kMaxPending) handOver();
    }
    handOver();
    plugin.Block(512);
    plugin.Hush();
    return 0;
}
