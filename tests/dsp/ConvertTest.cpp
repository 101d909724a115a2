#include "dsp/Convert.h"

#include <gtest/gtest.h>

#include <vector>

#include "DspTestData.h"

namespace {

TEST(DspConvert, Int16MatchesTheReferenceBitForBitAtEveryLength)
{
    const auto src = dsptest::Noise16(300);
    for (int n : {0, 1, 7, 8, 9, 16, 31, 300}) {
        std::vector<float> fast(static_cast<std::size_t>(n) + 1, -9.0f), ref = fast;
        dsp::ConvertInt16(src.data(), fast.data(), n);
        dsp::ConvertInt16Reference(src.data(), ref.data(), n);
        EXPECT_EQ(fast, ref) << n;
        EXPECT_EQ(fast.back(), -9.0f) << "wrote past the end at " << n;
    }
}

TEST(DspConvert, Int16FullScale)
{
    const std::int16_t src[] = {32767, -32767, -32768, 0, 1, -1, 16384, 100, 32767};
    float out[9];
    dsp::ConvertInt16(src, out, 9);
    EXPECT_EQ(out[0], 1.0f);
    EXPECT_EQ(out[1], -1.0f);
    EXPECT_LT(out[2], -1.0f);
    EXPECT_EQ(out[3], 0.0f);
    EXPECT_EQ(out[8], 1.0f);
}

TEST(DspConvert, Int24MatchesTheReferenceAndTheValues)
{
    std::vector<std::int32_t> values;
    const auto src = dsptest::Noise24(257, &values);
    for (int n : {0, 1, 4, 5, 8, 9, 100, 257}) {
        std::vector<float> fast(static_cast<std::size_t>(n)), ref(fast.size());
        dsp::ConvertInt24(src.data(), fast.data(), n);
        dsp::ConvertInt24Reference(src.data(), ref.data(), n);
        EXPECT_EQ(fast, ref) << n;
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(fast[static_cast<std::size_t>(i)],
                      static_cast<float>(values[static_cast<std::size_t>(i)]) * dsp::kInt24Scale);
    }
    const std::uint8_t extremes[] = {0xff, 0xff, 0x7f, 0x01, 0x00, 0x80, 0xff, 0xff, 0xff};
    float out[3];
    dsp::ConvertInt24(extremes, out, 3);
    EXPECT_EQ(out[0], 1.0f);
    EXPECT_EQ(out[1], -1.0f);
    EXPECT_EQ(out[2], -1.0f / 8388607.0f);
}

}  // namespace
