#include "gig/GigaZoneDecoder.h"

#include <algorithm>
#include <cstring>

#include "gig/GigaBytes.h"
#include "gig/GigaConvert.h"
#include "gig/GigaZone.h"

namespace {

constexpr std::size_t kEwaCopy = 256;
constexpr std::uint32_t kSustainForever = 0x7FFFFFFF;

float Thousandths(std::int16_t v)
{
    return static_cast<float>(v) / 1000.0f;
}

}  // namespace

void GigaZoneDecoder::ReadWsmp(std::span<const std::uint8_t> data, int version, GigaZone& zone)
{
    const GigaBytes b(data);
    zone.unityNote = b.S16(4);
    zone.fineTune = b.S16(6);
    zone.gain = GigaConvert::AttenuationGain(b.S16(10));
    if (version >= 2) {
        for (std::size_t i = 0; i < zone.wsmpOptions.size(); ++i)
            zone.wsmpOptions[i] = b.U8(12 + i);
    }
    if (b.U32(16) == 0) return;
    const std::int64_t start = b.S32(28);
    const std::uint32_t length = b.U32(32);
    if (length <= 1) return;
    zone.loopEnabled = 1;
    zone.loopStart = static_cast<std::int32_t>(start);
    zone.loopEnd = static_cast<std::int32_t>(std::min<std::int64_t>(start + length - 1, INT32_MAX));
}

GigaZoneLimits GigaZoneDecoder::Read3ewa(std::span<const std::uint8_t> data, GigaZone& zone)
{
    // Decoded from a zeroed copy of at most 256 bytes, so nothing of an earlier chunk shows
    // through a short one.
    std::array<std::uint8_t, kEwaCopy> copy {};
    const GigaBytes raw(data);
    const std::uint32_t length = raw.U32(0);
    const std::size_t n = std::min<std::size_t>({length, kEwaCopy, data.size()});
    std::copy_n(data.begin(), n, copy.begin());
    const GigaBytes b(copy);

    zone.eg1Attack = GigaConvert::TimeCodeSeconds(b.S32(28));
    zone.eg1Decay = GigaConvert::LimitedTimeCodeSeconds(b.S32(32));
    zone.eg1Sustain = Thousandths(b.S16(38));
    zone.eg1Release = GigaConvert::LimitedTimeCodeSeconds(b.S32(40));
    zone.eg1Controller = GigaConvert::MapController(b.U8(44));
    const auto influences = GigaConvert::Influences(b.U8(45));
    zone.eg1AttackInfluence = influences.attack;
    zone.eg1DecayInfluence = influences.decay;
    zone.eg1ReleaseInfluence = influences.release;
    zone.eg2Attack = GigaConvert::TimeCodeSeconds(b.S32(52));
    zone.eg2Decay = GigaConvert::LimitedTimeCodeSeconds(b.S32(56));
    zone.eg2Sustain = b.U32(88) == kSustainForever ? 1.0f : Thousandths(b.S16(62));
    zone.eg2Release = GigaConvert::LimitedTimeCodeSeconds(b.S32(64));
    zone.eg1PreAttack = Thousandths(b.S16(86));
    zone.eg2PreAttack = Thousandths(b.S16(94));
    zone.velocityDepth = GigaConvert::VelocityDepth(b.U8(96));
    zone.velocityCurve = GigaConvert::VelocityCurve(b.U8(96));
    zone.velocityScale = GigaConvert::VelocityScale(b.U8(98));
    zone.attenuationThreshold = b.U8(99) & 0x7F;
    zone.sampleStartOffset = b.S16(104);
    zone.pitchTrack = (b.U8(108) & 1) == 0;
    zone.pan = GigaConvert::Pan(b.U8(109));
    zone.attenuationControllerInvert = (b.U8(112) & 0x80) ? 1 : 0;
    zone.attenuationController = GigaConvert::MapController(b.U8(113));
    zone.channelOffset = (b.U8(120) >> 2) & 0x0F;

    GigaZoneLimits limits;
    limits.selfMask = (b.U8(110) & 1) != 0;
    limits.sustainDefeat = (b.U8(121) & 2) != 0;
    if (length > 124) {
        const int v = b.U8(124);
        if (v >= 1 && v <= 127) limits.velocityUpperLimit = v;
    }
    if (length > 128) {
        zone.releaseTriggerDecay = static_cast<std::int16_t>(b.U8(128) & 0x0F);
        const std::uint8_t cutoff = b.U8(132);
        zone.filterCutoff = static_cast<float>(cutoff & 0x7F) / 127.0f;
        const std::uint8_t controller = b.U8(133);
        zone.filterCutoffController = (controller & 0x80) ? controller - 128 : controller;
        zone.filterControllerInvert = (b.U8(134) & 0x80) ? 1 : 0;
        zone.filterVelocityScale = b.U8(134) & 0x7F;
        zone.filterVelocityDepth = GigaConvert::VelocityDepth(b.U8(138));
        zone.filterVelocityCurve = GigaConvert::VelocityCurve(b.U8(138));
        // Only the low-pass filter exists; other types play unfiltered.
        zone.filterEnabled = ((cutoff & 0x80) != 0 && (b.U8(139) & 3) == 0) ? 1 : 0;
    }
    if (length > 140) {
        for (std::size_t i = 0; i < limits.dimensionUpperLimits.size(); ++i) {
            limits.dimensionUpperLimits[i] = b.U8(140 + i);
        }
    }
    return limits;
}
