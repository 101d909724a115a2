// The host's 32 output channels with a guard zone before and after each block: the plug-in must
// write exactly the frames it was given, and only finite samples. The storage is made once for
// the largest block, so that a host thread can render block after block without allocating.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace hostside {

class GuardedOutputs {
public:
    static constexpr int kChannels = 32;
    static constexpr float kGuard = 12345.0f;
    static constexpr int kGuardFrames = 64;

    explicit GuardedOutputs(int maxFrames) : maxFrames_(maxFrames)
    {
        for (auto& c : storage_)
            c.assign(static_cast<std::size_t>(maxFrames + 2 * kGuardFrames), 0);
        for (auto& c : storage_) pointers_.push_back(c.data() + kGuardFrames);
    }

    // The channels for a block of `frames` (at most the largest block): guard zones around it
    // and garbage inside it, as a host's reused buffers hold.
    float** Prepare(int frames)
    {
        frames_ = std::min(frames, maxFrames_);
        for (auto& c : storage_) {
            std::fill(c.begin(), c.begin() + kGuardFrames, kGuard);
            std::fill(c.begin() + kGuardFrames, c.begin() + kGuardFrames + frames_, -7.0f);
            std::fill(c.begin() + kGuardFrames + frames_, c.begin() + 2 * kGuardFrames + frames_,
                      kGuard);
        }
        return pointers_.data();
    }

    // What is wrong with the block last prepared, empty when nothing is; also keeps the peak.
    std::string Fault()
    {
        blockPeak_ = 0.0f;
        for (std::size_t channel = 0; channel < storage_.size(); ++channel) {
            const auto& c = storage_[channel];
            const char* fault = nullptr;
            for (int i = 0; !fault && i < kGuardFrames; ++i) {
                if (c[static_cast<std::size_t>(i)] != kGuard) fault = "written before the block";
                if (c[static_cast<std::size_t>(kGuardFrames + frames_ + i)] != kGuard)
                    fault = "written after the block";
            }
            for (int i = 0; !fault && i < frames_; ++i) {
                const float sample = c[static_cast<std::size_t>(kGuardFrames + i)];
                if (!std::isfinite(sample)) fault = "a sample that is not finite";
                blockPeak_ = std::max(blockPeak_, std::fabs(sample));
            }
            if (fault) return std::string(fault) + " on channel " + std::to_string(channel);
        }
        peak_ = std::max(peak_, blockPeak_);
        return {};
    }

    // The largest magnitude seen in any checked block: proof that something played.
    float Peak() const { return peak_; }
    // The largest magnitude of the block last checked.
    float BlockPeak() const { return blockPeak_; }

private:
    int maxFrames_;
    int frames_ = 0;
    float peak_ = 0.0f;
    float blockPeak_ = 0.0f;
    std::vector<std::vector<float>> storage_ = std::vector<std::vector<float>>(kChannels);
    std::vector<float*> pointers_;
};

}  // namespace hostside
