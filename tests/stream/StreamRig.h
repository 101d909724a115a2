// A long sample in a generated .gig, its head preloaded as the loader would do it, and the disk
// thread's helpers the streaming tests (and the streaming benchmark) share.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "gig/GigaFile.h"
#include "gig/GigaSample.h"
#include "prefs/SampleBudget.h"
#include "sample/GigaMemory.h"
#include "stream/GigaDiskThread.h"

namespace streamtest {

struct Format {
    int channels;
    int bits;
    bool compressed;
    std::array<int, 2> modes;
};

inline std::string Name(const Format& f)
{
    return std::to_string(f.channels) + "ch " + std::to_string(f.bits) + "bit" +
           (f.compressed ? " compressed" : " plain");
}

inline testsupport::GigSamplePlan SamplePlan(const Format& f, int frames)
{
    testsupport::GigSamplePlan plan;
    plan.channels = f.channels;
    plan.bits = f.bits;
    // Compressed data come in whole blocks.
    plan.frames = f.compressed ? frames - frames % 256 : frames;
    plan.compressed = f.compressed;
    plan.blockFrames = 256;
    plan.modes = f.modes;
    return plan;
}

// Writes one file holding the given samples.
inline std::string WriteGig(const testsupport::TempFolder& folder, const std::string& name,
                            std::vector<testsupport::GigSamplePlan> samples)
{
    testsupport::GigFilePlan plan;
    plan.samples = std::move(samples);
    const std::string path = folder.File(name);
    testsupport::GigWriter(plan).Write(path);
    return path;
}

// The file's samples with the first `preload` frames of each in memory (all when negative),
// compressed heads ending on a block boundary as the loader cuts them.
class PreloadedFile {
public:
    PreloadedFile(const std::string& path, int count, int preload)
        : samples_(static_cast<std::size_t>(count))
    {
        opened_ = file_.Open(path) && file_.ReadWavePool(samples_) == count;
        if (!opened_) return;
        for (GigaSample& s : samples_) {
            int frames = preload < 0 ? s.frameCount : std::min(preload, s.frameCount);
            if (s.blockFrames > 0) frames -= frames % s.blockFrames;
            s.preloadFrames = frames;
            s.memory = &memory_;
            s.memoryOffset = memory_.Reserve(std::int64_t {frames} * s.channels);
        }
        opened_ = memory_.Allocate();
        for (GigaSample& s : samples_) {
            const std::span<std::int16_t> head(
                memory_.Address(s.memoryOffset),
                static_cast<std::size_t>(s.preloadFrames) * static_cast<std::size_t>(s.channels));
            opened_ = opened_ && file_.reader.Open(s, file_.Input(), s.dataOffset) &&
                      file_.reader.ReadShorts(head, s.preloadFrames) == s.preloadFrames;
            s.streamOffset = static_cast<std::int32_t>(file_.reader.Position());
            s.loaded = true;
        }
    }

    bool Ok() const { return opened_; }
    GigaSample& Sample(int i = 0) { return samples_[static_cast<std::size_t>(i)]; }
    GigaFile& File() { return file_; }

    // The floats of the whole sample decoded in one go, from a handle of our own.
    std::vector<float> DecodeAll(int i = 0)
    {
        GigaSample& s = Sample(i);
        InputStreamFile input;
        GigaSampleReader reader;
        std::vector<float> out(static_cast<std::size_t>(s.frameCount) *
                               static_cast<std::size_t>(s.channels));
        if (!input.Open(file_.Path()) || !reader.Open(s, input, s.dataOffset)) return {};
        out.resize(static_cast<std::size_t>(reader.ReadFloats(out, s.frameCount)) *
                   static_cast<std::size_t>(s.channels));
        return out;
    }

private:
    GigaFile file_;
    std::vector<GigaSample> samples_;
    SampleBudget budget_ {4096};
    GigaMemory memory_ {budget_};
    bool opened_ = false;
};

// Holds the disk thread running for the length of a test.
class DiskUser {
public:
    DiskUser() { GigaDiskThread::Instance().AddUser(); }
    ~DiskUser() { GigaDiskThread::Instance().RemoveUser(); }
    DiskUser(const DiskUser&) = delete;
    DiskUser& operator=(const DiskUser&) = delete;
};

}  // namespace streamtest
