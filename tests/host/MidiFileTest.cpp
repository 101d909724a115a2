#include "tools/marlet-host/MidiFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <random>

#include "fixtures/MidiFileWriter.h"

// The largest single allocation while a test watches: proves declared lengths are not trusted.
// The replacements form a complete malloc-based set (plain and nothrow; the array forms call
// these), so that every allocation is seen and paired with its own release.
namespace {
std::atomic<bool> gWatching {false};
std::atomic<std::size_t> gLargest {0};

void* Allocate(std::size_t size) noexcept
{
    if (gWatching.load(std::memory_order_relaxed) &&
        size > gLargest.load(std::memory_order_relaxed))
        gLargest.store(size, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
}  // namespace

// Not inlined: GCC would otherwise pair callers' new with this free and warn about a mismatch.
__attribute__((noinline)) void* operator new(std::size_t size)
{
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
__attribute__((noinline)) void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
__attribute__((noinline)) void operator delete(void* p) noexcept
{
    std::free(p);
}
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
__attribute__((noinline)) void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

namespace {

using testing::HasSubstr;
using testsupport::MidiFileWriter;

constexpr double kTolerance = 1e-9;

void ExpectEvent(const TimedMidiEvent& e, double seconds, int status, int data1, int data2)
{
    EXPECT_NEAR(e.seconds, seconds, kTolerance);
    EXPECT_EQ(e.status, status);
    EXPECT_EQ(e.data1, data1);
    EXPECT_EQ(e.data2, data2);
}

std::string ErrorOf(const std::vector<std::uint8_t>& bytes)
{
    try {
        MidiFile::Parse(bytes);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "(accepted)";
}

TEST(HostMidiFile, FormatZeroWithRunningStatusAndDefaultTempo)
{
    MidiFileWriter w(0, 480);
    w.Track()
        .NoteOn(0, 0, 60, 100)
        .Event(480, {62, 90})  // running status: another note-on
        .Event(0, {0xC3, 5})   // program change: one data byte
        .Event(240, {0xD3, 7})
        .NoteOff(240, 0, 60)
        .EndOfTrack(960);
    const auto file = MidiFile::Parse(w.Bytes());

    EXPECT_EQ(file.Format(), 0);
    ASSERT_EQ(file.Events().size(), 5u);
    // 120 beats per minute until told otherwise: 480 ticks are half a second.
    ExpectEvent(file.Events()[0], 0.0, 0x90, 60, 100);
    ExpectEvent(file.Events()[1], 0.5, 0x90, 62, 90);
    ExpectEvent(file.Events()[2], 0.5, 0xC3, 5, 0);
    ExpectEvent(file.Events()[3], 0.75, 0xD3, 7, 0);
    ExpectEvent(file.Events()[4], 1.0, 0x80, 60, 0);
    EXPECT_NEAR(file.LengthSeconds(), 2.0, kTolerance);
}

TEST(HostMidiFile, TempoChangesInTrackZeroTimeTheOtherTracks)
{
    MidiFileWriter w(1, 480);
    w.Track().Tempo(0, 250000).Tempo(960, 1000000).EndOfTrack();  // 240 bpm, then 60 bpm
    w.Track().NoteOn(480, 1, 60, 100).NoteOn(480, 1, 62, 100).NoteOff(480, 1, 60).EndOfTrack(480);
    const auto file = MidiFile::Parse(w.Bytes());

    EXPECT_EQ(file.TrackCount(), 2);
    ASSERT_EQ(file.Events().size(), 3u);
    ExpectEvent(file.Events()[0], 0.25, 0x91, 60, 100);
    ExpectEvent(file.Events()[1], 0.5, 0x91, 62, 100);  // exactly at the tempo change
    ExpectEvent(file.Events()[2], 1.5, 0x81, 60, 0);
    EXPECT_NEAR(file.LengthSeconds(), 2.5, kTolerance);
}

TEST(HostMidiFile, EventsAtTheSameTimeKeepFileOrder)
{
    MidiFileWriter w(1, 96);
    w.Track().NoteOn(10, 0, 1, 1).NoteOn(0, 0, 2, 1).EndOfTrack();
    w.Track().NoteOn(0, 0, 0, 1).NoteOn(10, 0, 3, 1).EndOfTrack();
    w.Track().NoteOn(10, 0, 4, 1).EndOfTrack();
    const auto file = MidiFile::Parse(w.Bytes());

    std::vector<int> keys;
    for (const auto& e : file.Events()) keys.push_back(e.data1);
    EXPECT_THAT(keys, testing::ElementsAre(0, 1, 2, 3, 4));
}

TEST(HostMidiFile, SkipsSysExMetaEventsAndUnknownChunks)
{
    MidiFileWriter w(1, 480);
    w.Track()
        .Event(0, {0xF0, 0x03, 0x7E, 0x7F, 0xF7})          // system exclusive
        .Event(0, {0xF7, 0x02, 0x01, 0x02})                // escape sequence
        .Event(0, {0xFF, 0x03, 0x04, 'N', 'a', 'm', 'e'})  // track name
        .NoteOn(0, 9, 36, 127)
        .EndOfTrack()
        .Raw({0x00, 0x90, 0x40, 0x40});  // after the end of the track: ignored
    auto bytes = w.Bytes();
    // An unknown chunk, empty, between header and track.
    const std::vector<std::uint8_t> alien {'X', 'Y', 'Z', 'W', 0, 0, 0, 0};
    bytes.insert(bytes.begin() + 14, alien.begin(), alien.end());
    const auto file = MidiFile::Parse(bytes);

    ASSERT_EQ(file.Events().size(), 1u);
    ExpectEvent(file.Events()[0], 0.0, 0x99, 36, 127);
}

TEST(HostMidiFile, SmpteDivisionCountsTicksInFrames)
{
    // 25 frames per second, 40 ticks per frame: one tick is a millisecond; tempo is ignored.
    MidiFileWriter w(0, static_cast<std::uint16_t>((0xE7 << 8) | 40));
    w.Track().Tempo(0, 1000000).NoteOn(250, 0, 60, 1).EndOfTrack(750);
    const auto file = MidiFile::Parse(w.Bytes());

    ASSERT_EQ(file.Events().size(), 1u);
    EXPECT_NEAR(file.Events()[0].seconds, 0.25, kTolerance);
    EXPECT_NEAR(file.LengthSeconds(), 1.0, kTolerance);
}

TEST(HostMidiFile, RefusesWhatItCannotPlayWithAReason)
{
    MidiFileWriter format2(2);
    format2.Track().EndOfTrack();
    EXPECT_THAT(ErrorOf(format2.Bytes()), HasSubstr("format 2"));

    MidiFileWriter twoTracksInFormat0(0);
    twoTracksInFormat0.Track().EndOfTrack().Track().EndOfTrack();
    EXPECT_THAT(ErrorOf(twoTracksInFormat0.Bytes()), HasSubstr("format 0"));

    MidiFileWriter noDivision(0, 0);
    noDivision.Track().EndOfTrack();
    EXPECT_THAT(ErrorOf(noDivision.Bytes()), HasSubstr("division"));

    MidiFileWriter missingTrack(1);
    missingTrack.Track().EndOfTrack().DeclareTracks(3);
    EXPECT_THAT(ErrorOf(missingTrack.Bytes()), HasSubstr("1 of 3 tracks"));

    EXPECT_THAT(ErrorOf({'R', 'I', 'F', 'F', 0, 0, 0, 0}), HasSubstr("MThd"));
    EXPECT_THAT(ErrorOf({}), HasSubstr("MThd"));
}

TEST(HostMidiFile, RefusesMalformedTrackData)
{
    const auto trackWith = [](std::initializer_list<std::uint8_t> bytes) {
        MidiFileWriter w(0);
        w.Track().Raw(bytes);
        return ErrorOf(w.Bytes());
    };
    EXPECT_THAT(trackWith({0x00, 0x40, 0x40}), HasSubstr("without a status"));
    // System exclusive ends running status.
    EXPECT_THAT(trackWith({0x00, 0x90, 0x40, 0x40, 0x00, 0xF0, 0x01, 0xF7, 0x00, 0x41, 0x40}),
                HasSubstr("without a status"));
    EXPECT_THAT(trackWith({0x00, 0xF8}), HasSubstr("not allowed"));
    EXPECT_THAT(trackWith({0x00, 0x90, 0x40, 0x80}), HasSubstr("above 127"));
    EXPECT_THAT(trackWith({0x80, 0x80, 0x80, 0x80, 0x00, 0x90, 0x40, 0x40}),
                HasSubstr("four bytes"));
    EXPECT_THAT(trackWith({0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1}), HasSubstr("tempo"));
    EXPECT_THAT(trackWith({0x00, 0x90, 0x40}), HasSubstr("end of data"));
    EXPECT_THAT(trackWith({0x00, 0xFF, 0x01, 0x8F, 0xFF, 0xFF, 0x7F}), HasSubstr("end of data"));
}

TEST(HostMidiFile, EveryTruncationIsRefusedCleanly)
{
    MidiFileWriter w(1, 480);
    w.Track().Tempo(0, 400000).EndOfTrack();
    w.Track().NoteOn(0, 0, 60, 100).Event(100, {61, 100}).NoteOff(200, 0, 60).EndOfTrack();
    const auto whole = w.Bytes();
    ASSERT_NO_THROW(MidiFile::Parse(whole));
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(n));
        EXPECT_THROW(MidiFile::Parse(cut), std::runtime_error) << "cut at " << n;
    }
}

TEST(HostMidiFile, HugeDeclaredLengthsAreNotAllocated)
{
    MidiFileWriter w(0);
    w.Track().NoteOn(0, 0, 60, 100);
    auto bytes = w.Bytes();
    bytes[18] = bytes[19] = bytes[20] = bytes[21] = 0xFF;  // the track claims four gigabytes

    gLargest = 0;
    gWatching = true;
    const std::string error = ErrorOf(bytes);
    MidiFileWriter sysex(0);
    sysex.Track().Raw({0x00, 0xF0, 0xFF, 0xFF, 0xFF, 0x7F});
    const std::string sysexError = ErrorOf(sysex.Bytes());
    gWatching = false;

    EXPECT_THAT(error, HasSubstr("declares 4294967295 bytes"));
    EXPECT_THAT(sysexError, HasSubstr("end of data"));
    EXPECT_LT(gLargest.load(), 4096u);
}

TEST(HostMidiFile, SurvivesRandomBytes)
{
    MidiFileWriter w(1, 480);
    w.Track().Tempo(0, 400000).NoteOn(5, 0, 60, 100).Event(7, {0xB0, 7, 100}).EndOfTrack();
    w.Track().NoteOn(0, 1, 61, 100).Event(3, {62, 1}).NoteOff(20, 1, 61).EndOfTrack();
    const auto valid = w.Bytes();

    std::mt19937 random(1234);
    for (int round = 0; round < 20000; ++round) {
        auto bytes = valid;
        const int flips = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < flips; ++i)
            bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        try {
            const auto file = MidiFile::Parse(bytes);
            for (const auto& e : file.Events()) ASSERT_GE(e.status, 0x80);
        } catch (const std::runtime_error&) {
        }
    }
}

}  // namespace
