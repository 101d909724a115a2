// Notes measured in what the plug-in binary renders: they begin and end at their own frames at
// every block size, short notes and short blocks sound, held notes never break up, and streamed
// notes play to their end however they are bent, started or split into blocks, live or offline.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "tests/plugin/HostSide.h"
#include "tests/support/Signal.h"
#include "tools/marlet-host/VstPluginModule.h"

namespace {

constexpr int kRate = 44100;
constexpr std::int32_t kLevel = 12000;  // every sample holds this value: silence is a gap
constexpr double kDroneSeconds = 12.0;
constexpr int kStartOffset = 30000;  // frames into the drone

// The programs of the bank.
enum Program { kHeld = 0, kPlucked = 1, kDrone = 2, kDroneFromOffset = 3 };

std::uint32_t TimeCode(double seconds)
{
    return static_cast<std::uint32_t>(
        static_cast<std::int32_t>(std::lround(std::log2(seconds) * 78643200.0)));
}
constexpr std::uint32_t kNoTime = 0x80000000u;

testsupport::GigFilePlan TimingBank()
{
    testsupport::GigFilePlan plan;
    plan.samples.resize(2);
    auto& loop = plan.samples[0];
    loop.frames = kRate;
    loop.loop = true;
    loop.loopEnd = loop.frames - 1;
    loop.values.assign(static_cast<std::size_t>(loop.frames), kLevel);
    // Long enough to stream from disk after its preloaded head.
    auto& drone = plan.samples[1];
    drone.frames = static_cast<int>(kDroneSeconds * kRate);
    drone.values.assign(static_cast<std::size_t>(drone.frames), kLevel);

    const auto program = [&](int sample, double attack, int startOffset) {
        testsupport::GigInstrumentPlan instrument;
        instrument.pitchBendRange = 12;
        auto& zone = instrument.regions[0].fill;
        zone.sample = sample;
        zone.loop = sample == 0;
        zone.loopLength = static_cast<std::uint32_t>(loop.frames);
        zone.SetEwa32(28, attack > 0 ? TimeCode(attack) : kNoTime);
        zone.SetEwa32(40, TimeCode(0.05));
        zone.SetEwa16(104, static_cast<std::uint16_t>(startOffset));
        return instrument;
    };
    plan.instruments = {program(0, 0.0, 0), program(0, 0.01, 0), program(1, 0.0, 0),
                        program(1, 0.0, kStartOffset)};
    return plan;
}

struct TimedEvent {
    long frame;
    VstMidiEvent midi;
};

// One plug-in playing the bank, tone t on MIDI channel t and bus t; instruments are loaded
// before the first block, then the host renders live (level 2) or offline (level 4).
class TimedHost {
public:
    TimedHost(const std::string& bank, std::vector<int> programs, bool live, int bendRange = 2)
    {
        std::string error;
        module_ = VstPluginModule::Load(MARLET_PLUGIN_PATH, error);
        EXPECT_NE(module_, nullptr) << error;
        if (!module_) return;
        module_->Dispatch(vst::effOpen);
        module_->Dispatch(vst::effMainsChanged, 0, 1);
        auto chunk = hostside::HostState([&](GigaPlayer& player) {
            for (std::size_t t = 0; t < programs.size(); ++t) {
                GigaTone& tone = *player.Giga(static_cast<int>(t));
                GigaPart* layer = tone.AddLayer(bank, programs[t]);
                layer->bendRange = bendRange;
                tone.SetOutputBus(static_cast<int>(t));
            }
        });
        // An offline host gets its instruments loaded when setChunk returns.
        module_->Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(chunk.size()),
                          chunk.data());
        if (live) module_->SetProcessLevel(2);
    }

    // Renders `total` frames in blocks of `block`, each event in the block that holds its
    // frame; answers the left channel of every bus.
    std::vector<std::vector<float>> Render(std::vector<TimedEvent> events, long total, int block)
    {
        std::vector<std::vector<float>> left(16);
        if (!module_) return left;
        std::stable_sort(
            events.begin(), events.end(),
            [](const TimedEvent& a, const TimedEvent& b) { return a.frame < b.frame; });
        std::vector<std::vector<float>> channels(32, std::vector<float>(block));
        std::vector<float*> pointers;
        for (auto& c : channels) pointers.push_back(c.data());
        for (auto& l : left) l.reserve(static_cast<std::size_t>(total));
        std::size_t next = 0;
        AEffect* effect = module_->Effect();
        for (long start = 0; start < total; start += block) {
            const int n = static_cast<int>(std::min<long>(block, total - start));
            std::vector<VstMidiEvent> inBlock;
            for (; next < events.size() && events[next].frame < start + n; ++next) {
                VstMidiEvent e = events[next].midi;
                e.deltaFrames = static_cast<vst::int32>(events[next].frame - start);
                inBlock.push_back(e);
            }
            if (!inBlock.empty()) hostside::SendEvents(*module_, inBlock);
            effect->processReplacing(effect, nullptr, pointers.data(), n);
            for (std::size_t bus = 0; bus < 16; ++bus)
                left[bus].insert(left[bus].end(), channels[2 * bus].begin(),
                                 channels[2 * bus].begin() + n);
        }
        return left;
    }

private:
    std::unique_ptr<VstPluginModule> module_;
};

long Frames(double seconds)
{
    return std::lround(seconds * kRate);
}

std::vector<TimedEvent> Note(int channel, double on, double off, int key = 60)
{
    return {{Frames(on), hostside::Midi(0x90 | channel, key, 127)},
            {Frames(off), hostside::Midi(0x80 | channel, key, 0)}};
}

void Append(std::vector<TimedEvent>& to, const std::vector<TimedEvent>& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

long FirstSound(const std::vector<float>& x, long from = 0)
{
    for (auto i = static_cast<std::size_t>(from); i < x.size(); ++i)
        if (x[i] != 0.0f) return static_cast<long>(i);
    return -1;
}

long LastSound(const std::vector<float>& x)
{
    for (auto i = x.size(); i > 0; --i)
        if (x[i - 1] != 0.0f) return static_cast<long>(i - 1);
    return -1;
}

// Frames of [from, to) that are exactly zero.
long SilentFrames(const std::vector<float>& x, long from, long to)
{
    return std::count(x.begin() + from, x.begin() + std::min<long>(to, std::ssize(x)), 0.0f);
}

class PluginTiming : public ::testing::Test {
protected:
    void SetUp() override { testsupport::GigWriter(TimingBank()).Write(bank); }

    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    std::string bank = folder.File("timing.gig");
};

class NoteFrames : public PluginTiming, public ::testing::WithParamInterface<int> {};

TEST_P(NoteFrames, NotesBeginAndReleaseAtTheirOwnFrame)
{
    const int block = GetParam();
    TimedHost host(bank, {kHeld, kHeld, kHeld}, true);
    const double onsets[] = {0.5, 1.0, 1.55};
    const double releases[] = {0.8, 1.3, 1.7};
    std::vector<TimedEvent> events;
    for (int t = 0; t < 3; ++t) Append(events, Note(t, onsets[t], releases[t]));
    const auto out = host.Render(events, Frames(2.0), block);
    for (int t = 0; t < 3; ++t) {
        const auto& bus = out[static_cast<std::size_t>(t)];
        // Without an attack the note is at full level from its very frame.
        EXPECT_EQ(FirstSound(bus), Frames(onsets[t])) << "tone " << t;
        const long off = Frames(releases[t]);
        const float held = bus[static_cast<std::size_t>(off - 1)];
        EXPECT_EQ(SilentFrames(bus, Frames(onsets[t]), off), 0) << "tone " << t;
        // The release begins within the control step under way at the note-off.
        long falls = off - 1;
        while (falls < off + 100 && bus[static_cast<std::size_t>(falls)] >= held) ++falls;
        EXPECT_GE(falls, off) << "tone " << t;
        EXPECT_LE(falls, off + 8) << "tone " << t;
    }
}

TEST_P(NoteFrames, ANoteShorterThanABlockSoundsAndEnds)
{
    const int block = GetParam();
    TimedHost host(bank, {kPlucked}, true);
    // A one-millisecond drum-pad hit in the middle of a block: its attack runs and its release
    // follows from the level reached.
    const long on = 3 * block + block / 3;
    std::vector<TimedEvent> events = {{on, hostside::Midi(0x90, 60, 127)},
                                      {on + 44, hostside::Midi(0x80, 60, 0)}};
    const auto out = host.Render(events, on + Frames(0.5), block);
    EXPECT_EQ(FirstSound(out[0]), on);
    EXPECT_GT(testsupport::Peak(out[0]), 0.01f);
    EXPECT_LT(LastSound(out[0]), on + Frames(0.3));
}

INSTANTIATE_TEST_SUITE_P(Blocks, NoteFrames, ::testing::Values(64, 512, 4096, 8192));

#if defined(__SSE__)
TEST_F(PluginTiming, TheHostsFloatingPointModeComesBackAfterEveryBlock)
{
    TimedHost host(bank, {kPlucked}, true);
    // The mode bits; the low six are sticky exception flags that any arithmetic may raise.
    const auto mode = [] { return _mm_getcsr() & ~0x3Fu; };
    const unsigned before = mode();
    host.Render(Note(0, 0.0, 0.05), Frames(0.2), 512);
    EXPECT_EQ(mode(), before);
}
#endif

class BlockSizes : public PluginTiming,
                   public ::testing::WithParamInterface<std::tuple<int, bool>> {};

TEST_P(BlockSizes, HeldNotesNeverBreakUpAndReleasesEnd)
{
    const auto [block, live] = GetParam();
    TimedHost host(bank, {kHeld, kHeld}, live);
    // Two notes over each other, the second one released first, then both gone.
    std::vector<TimedEvent> events = Note(0, 0.01, 0.5);
    Append(events, Note(1, 0.1, 0.3));
    const auto out = host.Render(events, Frames(0.7), block);
    EXPECT_EQ(SilentFrames(out[0], Frames(0.01), Frames(0.5)), 0);
    EXPECT_EQ(SilentFrames(out[1], Frames(0.1), Frames(0.3)), 0);
    // The releases end: a voice that never finishes would keep sounding.
    EXPECT_LT(LastSound(out[0]), Frames(0.65));
    EXPECT_LT(LastSound(out[1]), Frames(0.45));
}

INSTANTIATE_TEST_SUITE_P(LiveAndOffline, BlockSizes,
                         ::testing::Combine(::testing::Values(1, 7, 8, 100, 4096, 4100, 8192),
                                            ::testing::Bool()));

// A streamed note, offline: how it is played and the frame at which it must end.
struct StreamCase {
    const char* name;
    int program;
    bool bentUp;
    double seconds;  // how long the drone must sound
};

class StreamedNotes : public PluginTiming,
                      public ::testing::WithParamInterface<std::tuple<StreamCase, int>> {};

TEST_P(StreamedNotes, PlayToTheirEnd)
{
    const auto [which, block] = GetParam();
    TimedHost host(bank, {which.program}, false, 12);
    std::vector<TimedEvent> events;
    // The wheel all the way up with a bend range of 12: an octave up.
    if (which.bentUp) events.push_back({0, hostside::Midi(0xE0, 127, 127)});
    Append(events, Note(0, 0.0, kDroneSeconds + 1.0));
    const auto out = host.Render(events, Frames(kDroneSeconds + 0.5), block);
    const long end = Frames(which.seconds);
    EXPECT_EQ(FirstSound(out[0]), 0);
    EXPECT_NEAR(LastSound(out[0]), end, Frames(0.01));
    EXPECT_EQ(SilentFrames(out[0], 0, end - Frames(0.01)), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Offline, StreamedNotes,
    ::testing::Combine(::testing::Values(StreamCase {"Plain", kDrone, false, kDroneSeconds},
                                         StreamCase {"BentUpAnOctave", kDrone, true,
                                                     kDroneSeconds /
                                                         std::exp2(12.0 * 8191.0 / 8192.0 / 12.0)},
                                         StreamCase {"FromAnOffset", kDroneFromOffset, false,
                                                     kDroneSeconds - kStartOffset / double(kRate)}),
                       ::testing::Values(512, 2048, 8192)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_" +
               std::to_string(std::get<1>(info.param));
    });

}  // namespace
