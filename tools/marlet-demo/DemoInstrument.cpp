#include "tools/marlet-demo/DemoInstrument.h"

#include <cmath>
#include <numbers>
#include <random>

#include "fixtures/MidiFileWriter.h"

namespace demo {

namespace {

using testsupport::GigDimensionRegionPlan;
using testsupport::GigSamplePlan;
namespace gigdim = testsupport::gigdim;

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// '3ewa' time codes: 2 ^ (code / (1200 * 65536)) seconds; this code means no time at all.
constexpr std::uint32_t kNoTime = 0x80000000u;
std::uint32_t TimeCode(double seconds)
{
    return static_cast<std::uint32_t>(
        static_cast<std::int32_t>(std::lround(std::log2(seconds) * 78643200.0)));
}

double KeyHz(int key)
{
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

GigSamplePlan Sample(const std::string& name, int unity, std::vector<std::int32_t> values)
{
    GigSamplePlan s;
    s.name = name;
    s.unityNote = unity;
    s.frames = static_cast<int>(values.size());
    s.values = std::move(values);
    return s;
}

// A struck tone: harmonics that fade, brighter when struck harder.
std::vector<std::int32_t> Struck(int key, double loudness, int harmonics)
{
    const double hz = KeyHz(key);
    std::vector<std::int32_t> v(static_cast<std::size_t>(kRate * 1.6));
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        double x = 0.0;
        for (int h = 1; h <= harmonics; ++h)
            x += std::sin(kTwoPi * hz * h * t) * std::exp(-t * (1.5 + h * 0.9)) / h;
        const double attack = std::min(1.0, t * 400.0);
        v[i] = static_cast<std::int32_t>(loudness * attack * x);
    }
    return v;
}

// The thump a key makes when it is let go.
std::vector<std::int32_t> Thump()
{
    std::mt19937 noise(7);
    std::uniform_real_distribution<double> white(-1.0, 1.0);
    std::vector<std::int32_t> v(static_cast<std::size_t>(kRate * 0.15));
    double low = 0.0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        low += (white(noise) - low) * 0.08;
        v[i] =
            static_cast<std::int32_t>(9000.0 * low * std::exp(-t * 30.0) +
                                      3000.0 * std::sin(kTwoPi * 90.0 * t) * std::exp(-t * 25.0));
    }
    return v;
}

// One second that loops without a seam: every partial completes whole cycles.
std::vector<std::int32_t> PadLoop()
{
    std::vector<std::int32_t> v(kRate);
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double x = std::sin(kTwoPi * 262.0 * t) + 0.8 * std::sin(kTwoPi * 263.0 * t) +
                         0.35 * std::sin(kTwoPi * 524.0 * t) + 0.2 * std::sin(kTwoPi * 786.0 * t);
        v[i] = static_cast<std::int32_t>(4000.0 * x);
    }
    return v;
}

// Twenty seconds, far longer than any preload: it plays from disk.
std::vector<std::int32_t> Drone()
{
    const double hz = KeyHz(45);
    std::vector<std::int32_t> v(static_cast<std::size_t>(kRate * 20));
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double swell = 0.6 + 0.4 * std::sin(kTwoPi * 0.25 * t);
        const double x = std::sin(kTwoPi * hz * t) + 0.5 * std::sin(kTwoPi * hz * 2.003 * t) +
                         0.25 * std::sin(kTwoPi * hz * 3.0 * t);
        v[i] = static_cast<std::int32_t>(7000.0 * swell * x);
    }
    return v;
}

GigDimensionRegionPlan Zone(int sample, int unity, double attack, double decay, int sustainPermille,
                            double release)
{
    GigDimensionRegionPlan z;
    z.sample = sample;
    z.unityNote = static_cast<std::uint16_t>(unity);
    z.SetEwa32(28, attack > 0 ? TimeCode(attack) : kNoTime);
    z.SetEwa32(32, decay > 0 ? TimeCode(decay) : kNoTime);
    z.SetEwa16(38, static_cast<std::uint16_t>(sustainPermille));
    z.SetEwa32(40, TimeCode(release));
    return z;
}

}  // namespace

testsupport::GigFilePlan DemoBank()
{
    testsupport::GigFilePlan plan;
    plan.version = 3;
    plan.samples = {
        Sample("Keys low soft", 48, Struck(48, 5000.0, 3)),
        Sample("Keys low loud", 48, Struck(48, 12000.0, 8)),
        Sample("Keys high soft", 60, Struck(60, 5000.0, 3)),
        Sample("Keys high loud", 60, Struck(60, 12000.0, 8)),
        Sample("Release thump", 60, Thump()),
        Sample("Pad loop", 60, PadLoop()),
        Sample("Drone", 45, Drone()),
    };
    GigSamplePlan& pad = plan.samples[5];
    pad.loop = true;
    pad.loopStart = 0;
    pad.loopEnd = pad.frames - 1;

    // Keys: velocity (least significant) and release trigger; dimension region = vel + 2 * rt.
    testsupport::GigInstrumentPlan keys;
    keys.name = "Demo Keys";
    keys.regions.clear();
    for (const auto& [low, high, unity, soft] :
         {std::tuple {0, 54, 48, 0}, std::tuple {55, 127, 60, 2}}) {
        testsupport::GigRegionPlan region;
        region.lowKey = static_cast<std::int16_t>(low);
        region.highKey = static_cast<std::int16_t>(high);
        region.dimensions = {{gigdim::kVelocity, 1}, {gigdim::kReleaseTrigger, 1}};
        GigDimensionRegionPlan thump = Zone(4, unity, 0, 0, 1000, 0.2);
        thump.ewaBytes[128] = 4;  // the thump fades with the length of the note
        region.dimensionRegions = {Zone(soft, unity, 0, 1.4, 0, 0.35),
                                   Zone(soft + 1, unity, 0, 1.4, 0, 0.35), thump, thump};
        keys.regions.push_back(region);
    }

    testsupport::GigInstrumentPlan padInstrument;
    padInstrument.name = "Demo Pad";
    GigDimensionRegionPlan padZone = Zone(5, 60, 0.25, 0, 1000, 1.2);
    padZone.loop = true;  // the zone's own loop is the one a voice plays
    padZone.loopStart = 0;
    padZone.loopLength = static_cast<std::uint32_t>(pad.frames);
    padInstrument.regions[0].dimensionRegions = {padZone};

    testsupport::GigInstrumentPlan drone;
    drone.name = "Demo Drone";
    drone.regions[0].dimensionRegions = {Zone(6, 45, 0.6, 0, 1000, 1.5)};

    plan.instruments = {keys, padInstrument, drone};
    return plan;
}

std::vector<std::uint8_t> DemoPhrase()
{
    constexpr std::uint32_t kQuarter = 480;
    testsupport::MidiFileWriter midi(1, kQuarter);
    midi.Track().Tempo(0, 500000).EndOfTrack();  // 120 beats per minute

    // The keyboard: an arpeggio that grows louder, then a low answer.
    midi.Track();
    const int melody[] = {60, 64, 67, 72, 67, 64, 60, 55, 48, 52, 55, 60};
    for (int i = 0; i < 12; ++i) {
        midi.NoteOn(i == 0 ? 0 : kQuarter / 2, 0, melody[i], 40 + i * 7);
        midi.NoteOff(kQuarter / 2, 0, melody[i]);
    }
    midi.NoteOn(0, 0, 48, 110).NoteOn(0, 0, 60, 100).NoteOn(0, 0, 64, 100);
    midi.NoteOff(kQuarter * 4, 0, 48).NoteOff(0, 0, 60).NoteOff(0, 0, 64).EndOfTrack();

    // The pad: two chords over a drone on A.
    midi.Track();
    midi.NoteOn(0, 1, 45, 90).NoteOn(0, 1, 57, 80).NoteOn(0, 1, 60, 80).NoteOn(0, 1, 64, 80);
    midi.NoteOff(kQuarter * 8, 1, 57).NoteOff(0, 1, 60).NoteOff(0, 1, 64);
    midi.NoteOn(0, 1, 55, 80).NoteOn(0, 1, 59, 80).NoteOn(0, 1, 62, 80);
    midi.NoteOff(kQuarter * 6, 1, 55).NoteOff(0, 1, 59).NoteOff(0, 1, 62).NoteOff(0, 1, 45);
    midi.EndOfTrack(kQuarter * 4);
    return midi.Bytes();
}

}  // namespace demo
