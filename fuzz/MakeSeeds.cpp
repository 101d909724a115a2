// Writes the seed corpora of the fuzz targets that start from files of our own making: .gig
// banks (with extension files), performances and host states naming the demo bank, preference
// stores, event streams and editor sessions. Usage: marlet-fuzz-seeds <corpus folder>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/TreeFile.h"
#include "engine/GigaTone.h"
#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "fuzz/EditorSeeds.h"
#include "giga/GigaPlayer.h"
#include "prefs/PrefStore.h"
#include "tests/plugin/HostSide.h"
#include "tools/marlet-demo/DemoInstrument.h"

namespace {

namespace fs = std::filesystem;
using testsupport::GigFilePlan;
using testsupport::GigWriter;
using Bytes = std::vector<std::uint8_t>;

constexpr const char* kDemoBank = "/tmp/marlet-fuzz/demo.gig";  // as the targets write it

void Put(const fs::path& file, const Bytes& bytes)
{
    fs::create_directories(file.parent_path());
    if (!testsupport::WriteFileBytes(file.string(), bytes.data(), bytes.size()))
        throw std::runtime_error("cannot write " + file.string());
}

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// A bank and its extension files as one input: the parts joined by "GXSP".
Bytes SplitInput(const GigFilePlan& plan)
{
    const GigWriter writer(plan);
    Bytes all = writer.FileBytes(0, "fz");
    for (int n = 1; n <= writer.ExtensionCount(); ++n) {
        for (char c : std::string("GXSP")) all.push_back(static_cast<std::uint8_t>(c));
        const Bytes part = writer.FileBytes(n, "fz");
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

void Banks(const fs::path& folder)
{
    using namespace testsupport;
    GigFilePlan plain;
    plain.minimumSize = 0;
    plain.instruments[0].regions[0].dimensions = {{gigdim::kVelocity, 1}};
    Put(folder / "plain16_velocity", SplitInput(plain));

    // Long enough to stream at the shortest preload, with a loop.
    GigFilePlan streamed = plain;
    streamed.samples[0].frames = 20000;
    streamed.samples[0].loop = true;
    streamed.samples[0].loopStart = 1000;
    streamed.samples[0].loopEnd = 19000;
    streamed.instruments[0].regions[0].fill.loop = true;
    streamed.instruments[0].regions[0].fill.loopStart = 1000;
    streamed.instruments[0].regions[0].fill.loopLength = 18000;
    Put(folder / "streamed_looped", SplitInput(streamed));

    // Samples in two extension files, two programs split over the keyboard.
    GigFilePlan extended = plain;
    extended.samples = {GigSamplePlan {}, GigSamplePlan {}, GigSamplePlan {}};
    extended.samples[1].file = 1;
    extended.samples[2].file = 2;
    extended.samples[2].channels = 2;
    GigRegionPlan low, high;
    low.highKey = 59;
    low.fill.sample = 1;
    high.lowKey = 60;
    high.fill.sample = 2;
    high.dimensions = {{gigdim::kSampleChannel, 1}};
    extended.instruments = {GigInstrumentPlan {}, GigInstrumentPlan {}};
    extended.instruments[1].regions = {low, high};
    Put(folder / "extension_files", SplitInput(extended));

    // Compressed 16 and 24 bits, stereo, with key switch and release trigger dimensions.
    GigFilePlan compressed = plain;
    compressed.samples[0].compressed = true;
    compressed.samples[0].frames = 2048;
    GigSamplePlan deep;
    deep.bits = 24;
    deep.channels = 2;
    deep.compressed = true;
    deep.frames = 1024;
    deep.modes = {3, 5};
    deep.truncatedBits = 2;
    compressed.samples.push_back(deep);
    GigRegionPlan switched;
    switched.dimensions = {{gigdim::kKeyboard, 1}, {gigdim::kReleaseTrigger, 1}};
    switched.fill.sample = 1;
    compressed.instruments[0].keySwitchLow = 24;
    compressed.instruments[0].keySwitchHigh = 25;
    compressed.instruments[0].regions = {switched};
    Put(folder / "compressed_24_keyswitch", SplitInput(compressed));

    // Version 2, round robin and modulation wheel dimensions.
    GigFilePlan old = plain;
    old.version = 2;
    old.instruments[0].regions[0].dimensions = {{gigdim::kRoundRobin, 2}, {gigdim::kModWheel, 1}};
    Put(folder / "version2_roundrobin", SplitInput(old));
}

// Racks that name the demo bank, as host state (in memory) and as performance files.
// Racks that name the demo bank: host state and performance files are the same bytes.
void Racks(const fs::path& chunks, const fs::path& files)
{
    const std::vector<std::pair<std::string, std::function<void(GigaPlayer&)>>> racks = {
        {"empty", [](GigaPlayer&) {}},
        {"one_tone",
         [](GigaPlayer& p) { p.Giga(0)->AddLayer(kDemoBank, demo::kKeys)->volume = 100; }},
        {"sixteen_tones",
         [](GigaPlayer& p) {
             for (int t = 0; t < 16; ++t) {
                 GigaPart* layer = p.Giga(t)->AddLayer(kDemoBank, t % 3);
                 layer->keyLow = 0;
                 layer->keyHigh = 127;
                 layer->bendRange = 12;
                 layer->tune = t * 10 - 80;
                 p.Giga(t)->SetOutputBus(t % 4);
             }
         }},
        {"velocity_stack",
         [](GigaPlayer& p) {
             GigaTone& tone = *p.Giga(1);
             tone.SetStackName("Stack");
             tone.AddLayer(kDemoBank, demo::kKeys);
             tone.AddLayer(kDemoBank, demo::kPad)->keyOffset = 12;
             tone.SetSelectMode(GigaTone::kSelectVelocity);
         }},
        {"keyswitch_and_round_robin",
         [](GigaPlayer& p) {
             p.Giga(2)->AddLayer(kDemoBank, demo::kPad);
             p.Giga(2)->AddLayer(kDemoBank, demo::kDrone);
             p.Giga(2)->SetSelectMode(GigaTone::kSelectKeySwitch);
             p.Giga(2)->SetKeySwitchLow(24);
             p.Giga(3)->AddLayer(kDemoBank, demo::kKeys);
             p.Giga(3)->AddLayer(kDemoBank, demo::kKeys)->pan = 0;
             p.Giga(3)->SetSelectMode(GigaTone::kSelectRoundRobin);
             p.Giga(4)->AddLayer(kDemoBank, demo::kKeys);
             p.Giga(4)->SetSelectMode(1);  // the modulation wheel selects
         }},
        {"missing_bank",
         [](GigaPlayer& p) {
             p.Giga(0)->AddLayer("/tmp/marlet-fuzz/gone.gig", 0);
             p.Giga(1)->AddLayer(kDemoBank, 7);  // no such program
             p.Giga(2)->AddLayer(kDemoBank, demo::kDrone);
         }},
    };
    for (const auto& [name, arrange] : racks) {
        const Bytes bytes = hostside::HostState(arrange);
        Put(chunks / name, bytes);
        Put(files / name, bytes);
    }
}

void Stores(const fs::path& folder)
{
    const auto store = [&](const std::string& name, const std::function<void(PrefStore&)>& fill) {
        PrefStore s;
        fill(s);
        if (!s.Save((folder / name).string())) throw std::runtime_error("cannot save " + name);
    };
    const auto f32 = [](float v) {
        std::vector<std::byte> b(4);
        std::memcpy(b.data(), &v, 4);
        return b;
    };
    const auto i32 = [](std::int32_t v) {
        std::vector<std::byte> b(4);
        std::memcpy(b.data(), &v, 4);
        return b;
    };
    const auto reversed = [](std::vector<std::byte> b) {
        return std::vector<std::byte>(b.rbegin(), b.rend());
    };
    using T = PrefStore::Type;
    store("defaults", [&](PrefStore& s) {
        s.Set("lmin", T::Binary, f32(1.0f));
        s.Set("lmax", T::Binary, f32(3.0f));
        s.Set("cvol", T::Binary, i32(7));
    });
    store("other_byte_order", [&](PrefStore& s) {
        s.Set("lmin", T::Binary, reversed(f32(0.5f)));
        s.Set("lmax", T::Binary, reversed(f32(2.0f)));
        s.Set("cvol", T::Binary, reversed(i32(11)));
    });
    store("out_of_range_and_text", [&](PrefStore& s) {
        s.Set("lmin", T::Binary, f32(-7.0f));
        s.Set("lmax", T::Binary, f32(1e30f));
        s.Set("cvol", T::Binary, i32(64));
        const std::string path = "/home/user/Performances/live set.mrp";
        s.Set("path", T::Text, std::as_bytes(std::span(path.data(), path.size() + 1)));
    });
    Put(folder / "damaged_lines",
        Text("binary lmin 0000803f\nbinary lmax zz\ntext\nbinary cvol 07000000 extra\n"
             "text name 41424300\nbinary " +
             std::string(300, 'n') + " 00\n"));
}

// Favourites files: both byte orders, a long and a non-UTF-8 path, and one cut short.
void Favorites(const fs::path& folder)
{
    const auto put = [&](const std::string& name, const std::vector<std::byte>& bytes) {
        Bytes out;
        for (std::byte b : bytes) out.push_back(static_cast<std::uint8_t>(b));
        Put(folder / name, out);
    };
    const std::vector<std::string> paths {"/home/user/Samples", "/media/user/Disk 2/Gig/",
                                          "/mnt/\xff\xfe" + std::string(255, 'n'), "/"};
    put("four", TreeFile::Encode(paths));
    std::vector<std::byte> big;
    for (std::size_t i = 0; i < 4; ++i) big.push_back(std::byte {0});
    big[3] = std::byte {2};
    for (const std::string& p : {paths[0], paths[1]}) {
        for (int shift = 24; shift >= 0; shift -= 8)
            big.push_back(static_cast<std::byte>((p.size() >> shift) & 0xFF));
        for (char c : p) big.push_back(static_cast<std::byte>(c));
    }
    put("big_endian", big);
    auto cut = TreeFile::Encode(paths);
    cut.resize(cut.size() / 2);
    put("cut_short", cut);
}

// Event streams as the MIDI target reads them (see its header).
void EventStreams(const fs::path& folder)
{
    Bytes chords;
    for (int channel = 0; channel < 16; ++channel) {
        for (int key : {36, 48, 60, 64, 67, 72, 96}) {
            chords.insert(chords.end(), {static_cast<std::uint8_t>(0x90 | channel),
                                         static_cast<std::uint8_t>(key), 100,
                                         static_cast<std::uint8_t>(key % 64)});
        }
    }
    chords.push_back(31);  // a block of 2048 frames
    for (int channel = 0; channel < 16; ++channel)
        chords.insert(chords.end(), {static_cast<std::uint8_t>(0x80 | channel), 60, 64, 0});
    chords.push_back(7);
    Put(folder / "chords", chords);

    Put(folder / "controllers_and_bend",
        {0x90, 60, 127,  0,    0xB0, 7,   20,   10,   0xB0, 11,   90, 20,   0xB0,
         10,   0,  30,   0xB0, 64,   127, 40,   0xE0, 0x00, 0x00, 50, 0xE0, 0x7F,
         0x7F, 60, 0xB0, 1,    127,  70,  0x80, 60,   0,    80,   15, 0xB0, 64,
         0,    0,  0xB0, 121,  0,    0,   0xB0, 123,  0,    0,    3});
    Put(folder / "program_and_pressure",
        {0xC0, 5, 0, 0,    0x90, 40, 80, 0,  0xD0, 100, 0, 8, 0xA0, 40, 90, 16, 0xC1,
         127,  0, 0, 0x91, 50,   1,  0,  10, 0x81, 50,  0, 0, 0x80, 40, 0,  0,  2});
    Put(folder / "sysex_and_unknown",
        {0xF0, 6,  0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0,    0xF7, 1,  0xF0, 1,
         2,    3,  4,    5,    6,    7,    8,    9,    10,   11,   12, 13,   14,
         15,   16, 0x90, 60,   100,  0xF3, 0xFF, 0,    0,    0xF8, 0,  0,    0,
         0x90, 62, 100,  0xF0, 5,    0x80, 60,   0,    0xF4, 0});
    Put(folder / "odd_deltas",
        {0x90, 60,   100, 0xF0, 0x90, 61,   100, 0xF2, 0x90, 62, 100,  0xF3, 0x90, 63,   100,
         0xF4, 0x90, 64,  100,  0xF6, 0x80, 60,  0,    0xF1, 0,  0x90, 65,   100,  0xFA, 0x7F});
}

// Editor sessions as the editor target reads them (fuzz/EditorSeeds.h).
void EditorSessions(const fs::path& folder)
{
    for (const auto& [name, bytes] : editorseeds::Scripts()) Put(folder / name, bytes);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: marlet-fuzz-seeds <corpus folder>\n");
        return 2;
    }
    testsupport::IsolatedHome home;
    const fs::path corpus = argv[1];
    Banks(corpus / "gigaplay");
    Racks(corpus / "hostchunk", corpus / "performance");
    Stores(corpus / "prefstore");
    Favorites(corpus / "favorites");
    EventStreams(corpus / "midievents");
    EditorSessions(corpus / "editor");
    return 0;
}
