// The fast sample decoders against their scalar references, on random bytes (any byte string is
// valid input: damaged data must decode the same way too), cut into runs of uneven lengths so
// that runs start and end inside 12-bit pairs and the predictor is carried between them.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "dsp/DecodeDelta.h"
#include "dsp/DecodeReference.h"

namespace {

constexpr int kFrames = 1000;
constexpr std::array<int, 6> kRuns {1, 7, 2, 64, 3, 923};  // adds up to kFrames

std::vector<std::byte> RandomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::byte> bytes(n);
    for (auto& b : bytes) b = static_cast<std::byte>(random() & 0xFF);
    return bytes;
}

dsp::DeltaState RandomState(unsigned seed)
{
    std::mt19937 random(seed);
    auto next = [&] { return static_cast<std::uint32_t>(random()); };
    return {next(), next(), next(), next(), static_cast<std::int32_t>(next() % 4096)};
}

bool SameState(const dsp::DeltaState& a, const dsp::DeltaState& b)
{
    return a.w == b.w && a.x == b.x && a.y == b.y && a.z == b.z && a.pending == b.pending;
}

// Bitwise, so that floats compare exactly (and equal NaNs would too).
template <typename T>
bool SameBits(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0;
}

dsp::ShortSink SinkInto(std::vector<std::int16_t>& v, int stride, int shift)
{
    return {v.data(), stride, shift};
}

dsp::FloatSink SinkInto(std::vector<float>& v, int stride, int shift)
{
    return {v.data(), stride, 1.0f / static_cast<float>(1 << (23 - shift))};
}

template <typename T>
class DecodeOutput : public ::testing::Test {
};
using OutputTypes = ::testing::Types<std::int16_t, float>;
TYPED_TEST_SUITE(DecodeOutput, OutputTypes);

}  // namespace

TYPED_TEST(DecodeOutput, Delta24MatchesReferenceInRunsOfAnyLength)
{
    for (int mode = 2; mode <= 5; ++mode) {
        for (int shift : {0, 5, 8}) {
            const auto src = RandomBytes(3 * kFrames, static_cast<unsigned>(mode * 10 + shift));
            const int stride = 2;  // the second channel's slots stay untouched
            std::vector<TypeParam> fast(kFrames * stride), slow(kFrames * stride);
            dsp::DeltaState fastState = RandomState(static_cast<unsigned>(mode));
            dsp::DeltaState slowState = fastState;
            std::size_t fastAt = 0, slowAt = 0;
            int frame = 0;
            for (int run : kRuns) {
                const bool odd = frame % 2 != 0;
                auto fastOut = SinkInto(fast, stride, shift);
                auto slowOut = SinkInto(slow, stride, shift);
                fastOut.dst += frame * stride;
                slowOut.dst += frame * stride;
                fastAt +=
                    dsp::DecodeDelta24(mode, fastState, src.data() + fastAt, run, odd, fastOut);
                slowAt += dsp::reference::DecodeDelta24(mode, slowState, src.data() + slowAt, run,
                                                        odd, slowOut);
                ASSERT_EQ(fastAt, slowAt) << "mode " << mode << " after frame " << frame;
                frame += run;
            }
            EXPECT_EQ(fastAt, dsp::Delta24Bytes(mode, 1, false) +
                                  dsp::Delta24Bytes(mode, kFrames - 1, true));
            EXPECT_TRUE(SameBits(fast, slow)) << "mode " << mode << " shift " << shift;
            EXPECT_TRUE(SameState(fastState, slowState)) << "mode " << mode;
        }
    }
}

TYPED_TEST(DecodeOutput, Delta16MatchesReferenceForEveryModePair)
{
    const std::vector<std::vector<int>> modeSets {{0}, {1}, {0, 0}, {0, 1}, {1, 0}, {1, 1}};
    for (const auto& modes : modeSets) {
        const int channels = static_cast<int>(modes.size());
        const auto src = RandomBytes(
            4 * kFrames,
            static_cast<unsigned>(modes.size() * 7 + modes[0] * 3 + modes[1 % channels]));
        std::vector<TypeParam> fast(kFrames * channels), slow(kFrames * channels);
        std::array<dsp::DeltaState, 2> fastStates {RandomState(1), RandomState(2)};
        auto slowStates = fastStates;
        std::size_t fastAt = 0, slowAt = 0;
        int frame = 0;
        for (int run : kRuns) {
            auto fastOut = SinkInto(fast, 1, 0);
            auto slowOut = SinkInto(slow, 1, 0);
            fastOut.dst += frame * channels;
            slowOut.dst += frame * channels;
            fastAt += dsp::DecodeDelta16(modes.data(), fastStates.data(), channels,
                                         src.data() + fastAt, run, fastOut);
            slowAt += dsp::reference::DecodeDelta16(modes.data(), slowStates.data(), channels,
                                                    src.data() + slowAt, run, slowOut);
            ASSERT_EQ(fastAt, slowAt);
            frame += run;
        }
        EXPECT_TRUE(SameBits(fast, slow)) << channels << " channels, first mode " << modes[0];
        for (int c = 0; c < channels; ++c) EXPECT_TRUE(SameState(fastStates[c], slowStates[c]));
    }
}

TYPED_TEST(DecodeOutput, PlainMatchesReferenceIncludingTheTail)
{
    for (int bits : {16, 24}) {
        for (std::size_t count : {std::size_t {0}, std::size_t {5}, std::size_t {1003}}) {
            const auto src = RandomBytes(3 * count, static_cast<unsigned>(bits + count));
            std::vector<TypeParam> fast(count + 1), slow(count + 1);
            dsp::DecodePlain(bits, src.data(), count, SinkInto(fast, 2, 8));
            dsp::reference::DecodePlain(bits, src.data(), count, SinkInto(slow, 2, 8));
            EXPECT_TRUE(SameBits(fast, slow)) << bits << " bits, " << count << " values";
        }
    }
}
