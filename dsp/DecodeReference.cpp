#include "dsp/DecodeReference.h"

#include "dsp/DecodeBytes.h"

namespace dsp::reference {

namespace {

using namespace dsp::decode;

template <typename Sink>
std::size_t Delta24(int mode, DeltaState& s, const std::byte* src, int frames, bool odd, Sink out)
{
    std::size_t cursor = 0;
    for (int f = 0; f < frames; ++f) {
        std::int32_t d = 0;
        switch (mode) {
            case 2:
                s.w = static_cast<std::uint32_t>(S24(src + cursor));
                cursor += 3;
                break;
            case 3:
                d = S16(src + cursor);
                cursor += 2;
                break;
            case 4:
                // Two 12-bit deltas share 3 bytes; an odd frame uses the half kept back.
                if ((f + (odd ? 1 : 0)) % 2 == 0) {
                    const std::byte* q = src + cursor;
                    const auto b0 = std::to_integer<std::uint32_t>(q[0]);
                    const auto b1 = std::to_integer<std::uint32_t>(q[1]);
                    const auto b2 = std::to_integer<std::uint32_t>(q[2]);
                    d = SignExtend12(b0 | ((b1 & 0x0F) << 8));
                    s.pending = SignExtend12((b1 >> 4) | (b2 << 4));
                    cursor += 3;
                } else {
                    d = s.pending;
                }
                break;
            default:
                d = S8(src + cursor);
                cursor += 1;
                break;
        }
        if (mode != 2) Step(s, d);
        Put(out, static_cast<std::size_t>(f), static_cast<std::int32_t>(s.w));
    }
    return cursor;
}

template <typename Sink>
std::size_t Delta16(const int* modes, DeltaState* states, int channels, const std::byte* src,
                    int frames, Sink out)
{
    out.stride = 1;
    std::size_t cursor = 0;
    for (int f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            DeltaState& s = states[c];
            std::int32_t v = 0;
            if (modes[c] == 0) {
                v = S16(src + cursor);
                cursor += 2;
            } else {
                s.y -= static_cast<std::uint32_t>(S8(src + cursor));
                s.x -= s.y;
                cursor += 1;
                v = static_cast<std::int16_t>(s.x);
            }
            Put(out, static_cast<std::size_t>(f) * channels + c, v);
        }
    }
    return cursor;
}

template <typename Sink>
void Plain(int bits, const std::byte* src, std::size_t count, Sink out)
{
    out.stride = 1;
    const std::size_t bytes = bits == 16 ? 2 : 3;
    for (std::size_t i = 0; i < count; ++i, src += bytes) {
        Put(out, i, bits == 16 ? S16(src) : S24(src));
    }
}

}  // namespace

std::size_t DecodeDelta24(int mode, DeltaState& state, const std::byte* src, int frames, bool odd,
                          ShortSink out)
{
    return Delta24(mode, state, src, frames, odd, out);
}

std::size_t DecodeDelta24(int mode, DeltaState& state, const std::byte* src, int frames, bool odd,
                          FloatSink out)
{
    return Delta24(mode, state, src, frames, odd, out);
}

std::size_t DecodeDelta16(const int* modes, DeltaState* states, int channels, const std::byte* src,
                          int frames, ShortSink out)
{
    return Delta16(modes, states, channels, src, frames, out);
}

std::size_t DecodeDelta16(const int* modes, DeltaState* states, int channels, const std::byte* src,
                          int frames, FloatSink out)
{
    return Delta16(modes, states, channels, src, frames, out);
}

void DecodePlain(int bits, const std::byte* src, std::size_t count, ShortSink out)
{
    Plain(bits, src, count, out);
}

void DecodePlain(int bits, const std::byte* src, std::size_t count, FloatSink out)
{
    Plain(bits, src, count, out);
}

}  // namespace dsp::reference
