#include "tests/support/GigBlockEncoder.h"

#include <stdexcept>
#include <string>

#include "tests/support/GigChunkBuilder.h"

namespace testsupport {

namespace {

std::int32_t Fit(std::int64_t v, int bits)
{
    const std::int64_t limit = std::int64_t {1} << (bits - 1);
    if (v < -limit || v >= limit) {
        throw std::invalid_argument("delta " + std::to_string(v) + " does not fit " +
                                    std::to_string(bits) + " bits");
    }
    return static_cast<std::int32_t>(v);
}

void Put24(GigChunkBuilder& out, std::int32_t v)
{
    out.U8(static_cast<std::uint8_t>(v)).U8(static_cast<std::uint8_t>(v >> 8));
    out.U8(static_cast<std::uint8_t>(v >> 16));
}

std::size_t ChannelStartBytes(int bits, int mode)
{
    if (bits == 16) return mode == 1 ? 4 : 0;
    return mode > 2 ? 12 : 0;
}

std::size_t ChannelDataBytes(int bits, int blockFrames, int mode)
{
    if (bits == 16) return mode == 1 ? blockFrames : 2 * blockFrames;
    return 3 * blockFrames - (blockFrames / 2) * (mode - 1) * (mode > 2 ? 1 : 0);
}

void CheckModes(int channels, int bits, int blockFrames, std::array<int, 2> modes)
{
    if (channels != 1 && channels != 2) throw std::invalid_argument("1 or 2 channels");
    if (blockFrames <= 0 || blockFrames % 2 != 0) throw std::invalid_argument("even block frames");
    for (int c = 0; c < channels; ++c) {
        const bool ok = bits == 16 ? (modes[c] == 0 || modes[c] == 1)
                                   : (bits == 24 && modes[c] >= 2 && modes[c] <= 5);
        if (!ok) throw std::invalid_argument("mode not valid for the bit depth");
    }
}

// The 16-bit delta decoder keeps x (the output) and y; each delta d gives y -= d, x -= y.
struct Delta16 {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int32_t Next(std::int32_t v)
    {
        const std::int64_t yNew = x - v;
        const std::int32_t d = Fit(y - yNew, 8);
        y = yNew;
        x = v;
        return d;
    }
};

// The 24-bit delta decoder keeps w (the output), x, y, z; each delta d gives z -= d, y -= z,
// x = -(x + y), w += x.
struct Delta24 {
    std::int64_t w = 0, x = 0, y = 0, z = 0;
    std::int32_t Next(std::int32_t v, int bits)
    {
        const std::int64_t xNew = v - w;
        const std::int64_t yNew = -xNew - x;
        const std::int64_t zNew = y - yNew;
        const std::int32_t d = Fit(z - zNew, bits);
        w = v;
        x = xNew;
        y = yNew;
        z = zNew;
        return d;
    }
};

constexpr std::array<int, 6> kDeltaBits = {0, 0, 0, 16, 12, 8};

}  // namespace

std::size_t GigBlockEncoder::BlockBytes(int channels, int bits, int blockFrames,
                                        std::array<int, 2> modes)
{
    std::size_t n = static_cast<std::size_t>(channels);
    for (int c = 0; c < channels; ++c) {
        n += ChannelStartBytes(bits, modes[c]) + ChannelDataBytes(bits, blockFrames, modes[c]);
    }
    return n;
}

GigBlockEncoder::Encoded GigBlockEncoder::Encode(std::span<const std::int32_t> values, int channels,
                                                 int bits, int blockFrames,
                                                 std::array<int, 2> modes)
{
    CheckModes(channels, bits, blockFrames, modes);
    const std::size_t frames = values.size() / channels;
    if (frames == 0) throw std::invalid_argument("no frames");
    const std::size_t blocks = (frames + blockFrames - 1) / blockFrames;
    auto value = [&](std::size_t frame, int c) {
        return values[std::min(frame, frames - 1) * channels + c];
    };

    // Frame `first - k` of channel c; before the first frame the signal is continued by a
    // parabola through its first three frames, so the delta modes start without a jump.
    auto before = [&](std::size_t first, std::size_t k, int c) -> std::int64_t {
        if (first >= k) return value(first - k, c);
        const std::int64_t s0 = value(0, c), s1 = value(1, c), s2 = value(2, c);
        const auto n = static_cast<std::int64_t>(k - first);
        return s0 - n * (s1 - s0) + n * (n + 1) / 2 * (s2 - 2 * s1 + s0);
    };

    GigChunkBuilder out;
    for (std::size_t b = 0; b < blocks; ++b) {
        const std::size_t first = b * blockFrames;
        std::array<Delta16, 2> state16 {};
        std::array<Delta24, 2> state24 {};
        for (int c = 0; c < channels; ++c) out.U8(static_cast<std::uint8_t>(modes[c]));
        for (int c = 0; c < channels; ++c) {
            const std::int64_t h1 = before(first, 1, c), h2 = before(first, 2, c);
            if (bits == 16 && modes[c] == 1) {
                // State before the first output: x the previous value, y minus its slope.
                state16[c].x = static_cast<std::int16_t>(Fit(h1, 16));
                state16[c].y = static_cast<std::int16_t>(Fit(h2 - h1, 16));
                out.U16(static_cast<std::uint16_t>(state16[c].x));
                out.U16(static_cast<std::uint16_t>(state16[c].y));
            } else if (bits == 24 && modes[c] > 2) {
                const std::int64_t h3 = before(first, 3, c), h4 = before(first, 4, c);
                Delta24& st = state24[c];
                st.w = h1;
                st.x = h1 - h2;
                st.y = -(h1 - h2) - (h2 - h3);
                const std::int64_t yEarlier = -(h2 - h3) - (h3 - h4);
                st.z = yEarlier - st.y;
                for (const std::int64_t v : {st.w, st.w - st.x, st.y, st.z}) Put24(out, Fit(v, 24));
            }
        }
        if (bits == 16) {
            for (int f = 0; f < blockFrames; ++f) {
                for (int c = 0; c < channels; ++c) {
                    const std::int32_t v = value(first + f, c);
                    if (modes[c] == 0) {
                        out.U16(static_cast<std::uint16_t>(v));
                    } else {
                        out.U8(static_cast<std::uint8_t>(state16[c].Next(v)));
                    }
                }
            }
            continue;
        }
        for (int c = 0; c < channels; ++c) {
            Delta24& st = state24[c];
            std::vector<std::int32_t> deltas;
            for (int f = 0; f < blockFrames; ++f) {
                const std::int32_t v = value(first + f, c);
                if (modes[c] == 2) {
                    Put24(out, v);
                } else {
                    deltas.push_back(st.Next(v, kDeltaBits[modes[c]]));
                }
            }
            if (modes[c] == 3) {
                for (const auto d : deltas) out.U16(static_cast<std::uint16_t>(d));
            } else if (modes[c] == 5) {
                for (const auto d : deltas) out.U8(static_cast<std::uint8_t>(d));
            } else if (modes[c] == 4) {
                for (std::size_t i = 0; i < deltas.size(); i += 2) {
                    const std::uint32_t a = static_cast<std::uint32_t>(deltas[i]) & 0xFFF;
                    const std::uint32_t n = static_cast<std::uint32_t>(deltas[i + 1]) & 0xFFF;
                    out.U8(static_cast<std::uint8_t>(a));
                    out.U8(static_cast<std::uint8_t>((a >> 8) | ((n & 0x0F) << 4)));
                    out.U8(static_cast<std::uint8_t>(n >> 4));
                }
            }
        }
    }
    return {out.Bytes(), static_cast<std::uint32_t>(blocks)};
}

}  // namespace testsupport
