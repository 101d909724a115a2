#include "gig/GigaZoneDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fixtures/GigChunkBuilder.h"
#include "gig/GigaZone.h"

using testsupport::GigChunkBuilder;

namespace {

std::vector<std::uint8_t> Wsmp(std::uint32_t loops, std::int32_t start, std::uint32_t length)
{
    GigChunkBuilder p;
    p.U32(20).U16(64).U16(static_cast<std::uint16_t>(-12)).U32(0x0064'0000).U8(1).U8(2).U8(3).U8(4);
    p.U32(loops);
    if (loops) p.U32(16).U32(0).U32(static_cast<std::uint32_t>(start)).U32(length);
    return p.Bytes();
}

// A '3ewa' with a distinct value in every field the zone reads.
std::vector<std::uint8_t> Ewa(std::uint32_t length)
{
    std::vector<std::uint8_t> e(std::max<std::uint32_t>(length, 148), 0);
    auto put = [&e](std::size_t o, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) e[o + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(0, length, 4);
    put(28, 78643200, 4);      // attack 2 s
    put(32, 78643200 * 4, 4);  // decay 16 s -> 10
    put(38, 500, 2);
    put(40, static_cast<std::uint32_t>(-78643200), 4);
    put(44, 3, 1);     // controller index 1 -> CC 1
    put(45, 0x2B, 1);  // influences -1, -1, -1
    put(52, 0, 4);
    put(56, 78643200, 4);
    put(62, 250, 2);
    put(64, 0x80000000, 4);
    put(86, static_cast<std::uint16_t>(-100), 2);
    put(94, 300, 2);
    put(96, 7, 1);
    put(98, 10, 1);
    put(99, 0x85, 1);
    put(104, 1234, 2);
    put(108, 1, 1);  // pitch tracking off
    put(109, 70, 1);
    put(110, 1, 1);
    put(112, 0x80, 1);
    put(113, 255, 1);
    put(120, 0x3C, 1);
    put(121, 2, 1);
    put(124, 90, 1);
    put(128, 0x1F, 1);
    put(132, 0x80 | 127, 1);
    put(133, 0x80 | 7, 1);
    put(134, 0x80 | 9, 1);
    put(138, 6, 1);
    put(139, 0, 1);
    for (int i = 0; i < 8; ++i) put(140 + i, 10 + i, 1);
    e.resize(length);
    return e;
}

}  // namespace

TEST(GigaZoneDecoder, WsmpGivesPitchGainOptionsAndLoop)
{
    GigaZone zone;
    GigaZoneDecoder::ReadWsmp(Wsmp(1, 100, 50), 2, zone);
    EXPECT_EQ(zone.unityNote, 64);
    EXPECT_EQ(zone.fineTune, -12);
    EXPECT_NEAR(zone.gain, 1.234f * 0.316228f, 1e-5f);  // attenuation 100: -10 dB
    EXPECT_EQ(zone.loopEnabled, 1);
    EXPECT_EQ(zone.loopStart, 100);
    EXPECT_EQ(zone.loopEnd, 149);
    EXPECT_EQ(zone.wsmpOptions, (std::array<std::uint8_t, 4> {1, 2, 3, 4}));

    GigaZone old;
    GigaZoneDecoder::ReadWsmp(Wsmp(1, 100, 1), 1, old);
    EXPECT_EQ(old.loopEnabled, 0) << "a loop of one frame is no loop";
    EXPECT_EQ(old.wsmpOptions, (std::array<std::uint8_t, 4> {})) << "version 1 has no options";

    GigaZone huge;
    GigaZoneDecoder::ReadWsmp(Wsmp(1, 0x7FFFFF00, 0xFFFFFFFF), 2, huge);
    EXPECT_EQ(huge.loopEnd, INT32_MAX);
}

TEST(GigaZoneDecoder, FullEwaDecodesEveryField)
{
    GigaZone zone;
    const auto limits = GigaZoneDecoder::Read3ewa(Ewa(148), zone);
    EXPECT_FLOAT_EQ(zone.eg1Attack, 2.0f);
    EXPECT_FLOAT_EQ(zone.eg1Decay, 10.0f);
    EXPECT_FLOAT_EQ(zone.eg1Sustain, 0.5f);
    EXPECT_FLOAT_EQ(zone.eg1Release, 0.5f);
    EXPECT_EQ(zone.eg1Controller, 1);
    EXPECT_EQ(zone.eg1AttackInfluence, -1);
    EXPECT_EQ(zone.eg1DecayInfluence, -1);
    EXPECT_EQ(zone.eg1ReleaseInfluence, -1);
    EXPECT_FLOAT_EQ(zone.eg2Attack, 1.0f);
    EXPECT_FLOAT_EQ(zone.eg2Decay, 2.0f);
    EXPECT_FLOAT_EQ(zone.eg2Sustain, 0.25f);
    EXPECT_FLOAT_EQ(zone.eg2Release, 0.0f);
    EXPECT_FLOAT_EQ(zone.eg1PreAttack, -0.1f);
    EXPECT_FLOAT_EQ(zone.eg2PreAttack, 0.3f);
    EXPECT_FLOAT_EQ(zone.velocityDepth, 0.5f);
    EXPECT_EQ(zone.velocityCurve, 1);
    EXPECT_FLOAT_EQ(zone.velocityScale, 0.5f);
    EXPECT_EQ(zone.attenuationThreshold, 5);
    EXPECT_EQ(zone.sampleStartOffset, 1234);
    EXPECT_FALSE(zone.pitchTrack);
    EXPECT_EQ(zone.pan, 57);
    EXPECT_EQ(zone.attenuationControllerInvert, 1);
    EXPECT_EQ(zone.attenuationController, 130);
    EXPECT_EQ(zone.channelOffset, 15);
    EXPECT_EQ(zone.releaseTriggerDecay, 15);
    EXPECT_FLOAT_EQ(zone.filterCutoff, 1.0f);
    EXPECT_EQ(zone.filterCutoffController, 7);
    EXPECT_EQ(zone.filterControllerInvert, 1);
    EXPECT_EQ(zone.filterVelocityScale, 9);
    EXPECT_FLOAT_EQ(zone.filterVelocityDepth, 0.75f);
    EXPECT_EQ(zone.filterVelocityCurve, 1);
    EXPECT_EQ(zone.filterEnabled, 1);
    EXPECT_TRUE(limits.selfMask);
    EXPECT_TRUE(limits.sustainDefeat);
    EXPECT_EQ(limits.velocityUpperLimit, 90);
    EXPECT_EQ(limits.dimensionUpperLimits,
              (std::array<std::uint8_t, 8> {10, 11, 12, 13, 14, 15, 16, 17}));
}

TEST(GigaZoneDecoder, LengthWordGatesTheLaterFields)
{
    // 124 bytes: no velocity limit, no filter, no dimension limits, even if the bytes follow.
    auto bytes = Ewa(148);
    bytes[0] = 124;
    GigaZone zone;
    const auto limits = GigaZoneDecoder::Read3ewa(bytes, zone);
    EXPECT_EQ(limits.velocityUpperLimit, 0);
    EXPECT_EQ(limits.dimensionUpperLimits, (std::array<std::uint8_t, 8> {}));
    EXPECT_EQ(zone.filterEnabled, 0);
    EXPECT_EQ(zone.releaseTriggerDecay, 0);
    EXPECT_FLOAT_EQ(zone.eg1Attack, 2.0f) << "the first 124 bytes are still read";

    GigaZone mid;
    const auto midLimits = GigaZoneDecoder::Read3ewa(Ewa(140), mid);
    EXPECT_EQ(midLimits.velocityUpperLimit, 90);
    EXPECT_EQ(mid.filterEnabled, 1);
    EXPECT_EQ(midLimits.dimensionUpperLimits, (std::array<std::uint8_t, 8> {}));
}

TEST(GigaZoneDecoder, OnlyTheLowPassFilterIsEnabled)
{
    for (std::uint8_t type = 1; type <= 3; ++type) {
        auto bytes = Ewa(148);
        bytes[139] = type;
        GigaZone zone;
        GigaZoneDecoder::Read3ewa(bytes, zone);
        EXPECT_EQ(zone.filterEnabled, 0) << int(type);
    }
    auto off = Ewa(148);
    off[132] = 0x7F;
    GigaZone zone;
    GigaZoneDecoder::Read3ewa(off, zone);
    EXPECT_EQ(zone.filterEnabled, 0);
}

TEST(GigaZoneDecoder, SustainForeverAndShortChunks)
{
    auto bytes = Ewa(148);
    bytes[88] = 0xFF, bytes[89] = 0xFF, bytes[90] = 0xFF, bytes[91] = 0x7F;
    GigaZone zone;
    GigaZoneDecoder::Read3ewa(bytes, zone);
    EXPECT_FLOAT_EQ(zone.eg2Sustain, 1.0f);

    // A chunk that claims 148 bytes but holds 40: what is missing reads as zero.
    auto shortBytes = Ewa(148);
    shortBytes.resize(40);
    GigaZone cut;
    const auto limits = GigaZoneDecoder::Read3ewa(shortBytes, cut);
    EXPECT_FLOAT_EQ(cut.eg1Attack, 2.0f);
    EXPECT_FLOAT_EQ(cut.eg1Release, 1.0f);  // time code 0
    EXPECT_EQ(cut.pan, 64);
    EXPECT_EQ(limits.velocityUpperLimit, 0);

    GigaZone empty;
    GigaZoneDecoder::Read3ewa({}, empty);
    GigaZoneDecoder::ReadWsmp({}, 3, empty);
    EXPECT_EQ(empty.loopEnabled, 0);
}
