// One dimension region of a region: the sample it plays and how it plays it, decoded from its
// 'wsmp' and '3ewa' chunks. Linked to its sample at program load; the link is dropped when the
// zone is destroyed.
#pragma once

#include <array>
#include <cstdint>

class GigaSample;

class GigaZone {
public:
    GigaZone() = default;
    ~GigaZone();
    GigaZone(const GigaZone&) = delete;
    GigaZone& operator=(const GigaZone&) = delete;

    // Links the zone to `sample` unless the sample is too short to be played (the zone then stays
    // silent). The zone's own loop is kept inside the sample's frames. Answers whether it linked.
    bool LinkSample(GigaSample& sample);
    void UnlinkSample();

    std::int32_t sampleIndex = -1;
    std::int32_t pan = 64;
    float gain = 0.9f;
    float velocityDepth = 0.8f;
    float eg1PreAttack = 0.0f;
    float eg1Attack = 0.0f;
    float eg1Decay = 0.0f;
    float eg1Sustain = 1.0f;
    float eg1Release = 80.0f;
    std::int32_t eg1Controller = 0;
    std::int32_t eg1AttackInfluence = 0;
    std::int32_t eg1DecayInfluence = 0;
    std::int32_t eg1ReleaseInfluence = 0;
    std::int32_t velocityCurve = 0;
    float velocityScale = 0.0f;
    std::int32_t attenuationController = 0;
    std::int32_t attenuationControllerInvert = 0;
    std::int32_t attenuationThreshold = 0;
    std::array<std::uint8_t, 4> wsmpOptions {};
    float filterCutoff = 0.0f;
    float filterVelocityDepth = 0.0f;
    float eg2PreAttack = 0.0f;
    float eg2Attack = 0.0f;
    float eg2Decay = 0.0f;
    float eg2Sustain = 0.0f;
    float eg2Release = 0.0f;
    std::int32_t filterVelocityCurve = 0;
    std::int32_t filterCutoffController = 0;
    std::int32_t filterControllerInvert = 0;
    std::int32_t filterVelocityScale = 0;
    std::int32_t filterEnabled = 0;
    std::int32_t unityNote = -1;
    std::int32_t fineTune = 0;
    bool pitchTrack = false;
    std::int32_t sampleStartOffset = 0;
    std::int32_t loopEnabled = 0;
    std::int32_t loopStart = 0;
    std::int32_t loopEnd = 0;
    std::int16_t releaseTriggerDecay = 0;
    std::int32_t channelOffset = 0;
    GigaSample* sample = nullptr;
};
