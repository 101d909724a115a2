// Shared inputs for the kernel tests: reproducible noise and sines, 16- and 24-bit data.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace dsptest {

inline std::vector<float> Noise(std::size_t n, unsigned seed = 1, float amplitude = 1.0f)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> d(-amplitude, amplitude);
    std::vector<float> v(n);
    for (auto& x : v) x = d(rng);
    return v;
}

inline std::vector<std::int16_t> Noise16(std::size_t n, unsigned seed = 2)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> d(-32768, 32767);
    std::vector<std::int16_t> v(n);
    for (auto& x : v) x = static_cast<std::int16_t>(d(rng));
    return v;
}

// Packed little-endian 24-bit values, and the same values as integers.
inline std::vector<std::uint8_t> Noise24(std::size_t n, std::vector<std::int32_t>* values = nullptr,
                                         unsigned seed = 3)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> d(-8388608, 8388607);
    std::vector<std::uint8_t> v(3 * n + 4);  // slack past the end, as a file buffer has
    for (std::size_t i = 0; i < n; ++i) {
        const int x = d(rng);
        if (values) values->push_back(x);
        const auto u = static_cast<std::uint32_t>(x);
        v[3 * i] = static_cast<std::uint8_t>(u);
        v[3 * i + 1] = static_cast<std::uint8_t>(u >> 8);
        v[3 * i + 2] = static_cast<std::uint8_t>(u >> 16);
    }
    return v;
}

}  // namespace dsptest
