// Costs on the audio thread: queueing a MIDI event, a whole rendering pass of a full rack
// with events to drain, and the host-facing processReplacing of 32 channels.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "engine/KyTone.h"
#include "player/KyBufferList.h"
#include "player/KyPlayer.h"
#include "player/KyRingBuffer.h"

namespace {

class BenchTone : public KyTone {
public:
    using KyTone::KyTone;
    bool HasInstrument() const override { return true; }
};

void BM_RingPushDrain(benchmark::State& state)
{
    KyRingBuffer<KyMidiEvent> ring(1024);
    const KyMidiEvent event {KyMidiEvent::kNoteOn, 60, 100, 0};
    for (auto _ : state) {
        for (int i = 0; i < 64; ++i) ring.Push(event);
        auto runs = ring.Peek(1024);
        benchmark::DoNotOptimize(runs.first.data());
        ring.Advance(runs.Count());
    }
    state.SetItemsProcessed(state.iterations() * 64);
    state.SetLabel("per event: push + drain");
}
BENCHMARK(BM_RingPushDrain);

void BM_RackPass(benchmark::State& state)
{
    const int frames = static_cast<int>(state.range(0));
    KyPlayer player;
    for (int i = 0; i < KyPlayer::kMaxTones; ++i) player.AddTone(std::make_unique<BenchTone>(i, i));
    player.KyStart();
    KyBufferList buses;
    buses.SetBusCount(16);
    buses.AllocateOwned(frames);
    player.Process(&buses, frames);  // takes up the start requests
    for (auto _ : state) {
        for (int ch = 0; ch < 16; ++ch) {
            player.NoteOn(ch, 60, 100, 0);
            player.ControlChange(ch, 7, 100, 0);
            player.NoteOff(ch, 60, 0, 0);
        }
        buses.ClearReadyFlags();
        player.Process(&buses, frames);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("per block: 16 tones, 48 events");
    player.RemoveTones();
}
BENCHMARK(BM_RackPass)->Arg(64)->Arg(512);

}  // namespace

BENCHMARK_MAIN();
