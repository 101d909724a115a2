#include "dsp/DecodeDelta.h"

#include <bit>
#include <cstring>

#include "dsp/DecodeBytes.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace dsp {

namespace {

using namespace dsp::decode;

// Two steps of the predictor at once, rearranged so that each of its four values depends on its
// previous one through a single operation (x2 = x0 + z2 since y1 - y2 = z2, and so on) instead
// of four chained ones. Unsigned arithmetic wraps, so the result is the same bit for bit.
struct Pair {
    std::int32_t first, second;
};

inline Pair Step2(DeltaState& s, std::int32_t d0, std::int32_t d1)
{
    const std::uint32_t z1 = s.z - static_cast<std::uint32_t>(d0);
    const std::uint32_t z2 = z1 - static_cast<std::uint32_t>(d1);
    const std::uint32_t y1 = s.y - z1;
    const std::uint32_t w1 = s.w - s.x - y1;
    const std::uint32_t w2 = s.w - y1 + z2;
    s.x += z2;
    s.y = y1 - z2;
    s.z = z2;
    s.w = w2;
    return {static_cast<std::int32_t>(w1), static_cast<std::int32_t>(w2)};
}

template <typename Sink>
inline void PutPair(const Sink& out, std::size_t i, Pair v)
{
    Put(out, i, v.first);
    Put(out, i + 1, v.second);
}

// One loop per mode, so the mode is decided once per run instead of once per value, and the
// predictor lives in registers (a local copy, written back at the end).
template <int Mode, typename Sink>
std::size_t Delta24(DeltaState& state, const std::byte* src, int frames, bool odd, Sink out)
{
    DeltaState s = state;
    const std::byte* p = src;
    int f = 0;
    if constexpr (Mode == 2) {
        for (; f < frames; ++f, p += 3) {
            s.w = static_cast<std::uint32_t>(S24(p));
            Put(out, static_cast<std::size_t>(f), S24(p));
        }
    } else if constexpr (Mode == 3 || Mode == 5) {
        constexpr int kBytes = Mode == 3 ? 2 : 1;
        auto delta = [](const std::byte* q) { return kBytes == 2 ? S16(q) : S8(q); };
        for (; f + 2 <= frames; f += 2, p += 2 * kBytes) {
            PutPair(out, static_cast<std::size_t>(f), Step2(s, delta(p), delta(p + kBytes)));
        }
        if (f < frames) {
            Put(out, static_cast<std::size_t>(f), Step(s, delta(p)));
            p += kBytes;
        }
    } else {
        if (odd && frames > 0) {
            Put(out, 0, Step(s, s.pending));
            f = 1;
        }
        auto pair = [&s](const std::byte* q) {
            const auto b0 = std::to_integer<std::uint32_t>(q[0]);
            const auto b1 = std::to_integer<std::uint32_t>(q[1]);
            const auto b2 = std::to_integer<std::uint32_t>(q[2]);
            s.pending = SignExtend12((b1 >> 4) | (b2 << 4));
            return SignExtend12(b0 | ((b1 & 0x0F) << 8));
        };
        // All but the last pair in one load of four bytes (the fourth belongs to the next pair,
        // so nothing past the data is read).
        if constexpr (std::endian::native == std::endian::little) {
            for (; f + 4 <= frames; f += 2, p += 3) {
                std::uint32_t u = 0;
                std::memcpy(&u, p, sizeof u);
                const std::int32_t first = SignExtend12(u);
                s.pending = SignExtend12(u >> 12);
                PutPair(out, static_cast<std::size_t>(f), Step2(s, first, s.pending));
            }
        }
        for (; f + 2 <= frames; f += 2, p += 3) {
            const std::int32_t first = pair(p);
            PutPair(out, static_cast<std::size_t>(f), Step2(s, first, s.pending));
        }
        // A run ending inside a pair keeps its second half for the next run.
        if (f < frames) {
            Put(out, static_cast<std::size_t>(f), Step(s, pair(p)));
            p += 3;
        }
    }
    state = s;
    return static_cast<std::size_t>(p - src);
}

template <typename Sink>
std::size_t Delta24Mode(int mode, DeltaState& state, const std::byte* src, int frames, bool odd,
                        Sink out)
{
    switch (mode) {
        case 2:
            return Delta24<2>(state, src, frames, odd, out);
        case 3:
            return Delta24<3>(state, src, frames, odd, out);
        case 4:
            return Delta24<4>(state, src, frames, odd, out);
        default:
            return Delta24<5>(state, src, frames, odd, out);
    }
}

template <int Mode>
std::int32_t Value16(DeltaState& s, const std::byte*& p)
{
    if constexpr (Mode == 0) {
        const std::int32_t v = S16(p);
        p += 2;
        return v;
    } else {
        s.y -= static_cast<std::uint32_t>(S8(p));
        s.x -= s.y;
        p += 1;
        return static_cast<std::int16_t>(s.x);
    }
}

// Mode1 < 0: mono.
template <int Mode0, int Mode1, typename Sink>
std::size_t Delta16(DeltaState* states, const std::byte* src, int frames, Sink out)
{
    out.stride = 1;
    DeltaState a = states[0];
    DeltaState b = Mode1 >= 0 ? states[1] : DeltaState {};
    const std::byte* p = src;
    for (int f = 0; f < frames; ++f) {
        if constexpr (Mode1 < 0) {
            Put(out, static_cast<std::size_t>(f), Value16<Mode0>(a, p));
        } else {
            const auto i = static_cast<std::size_t>(f) * 2;
            Put(out, i, Value16<Mode0>(a, p));
            Put(out, i + 1, Value16<Mode1>(b, p));
        }
    }
    states[0] = a;
    if constexpr (Mode1 >= 0) states[1] = b;
    return static_cast<std::size_t>(p - src);
}

template <typename Sink>
std::size_t Delta16Modes(const int* modes, DeltaState* states, int channels, const std::byte* src,
                         int frames, Sink out)
{
    const bool delta0 = modes[0] != 0;
    if (channels == 1) {
        return delta0 ? Delta16<1, -1>(states, src, frames, out)
                      : Delta16<0, -1>(states, src, frames, out);
    }
    const bool delta1 = modes[1] != 0;
    if (delta0) {
        return delta1 ? Delta16<1, 1>(states, src, frames, out)
                      : Delta16<1, 0>(states, src, frames, out);
    }
    return delta1 ? Delta16<0, 1>(states, src, frames, out)
                  : Delta16<0, 0>(states, src, frames, out);
}

template <int Bytes, typename Sink>
void Plain(const std::byte* src, std::size_t count, Sink out)
{
    out.stride = 1;
    for (std::size_t i = 0; i < count; ++i, src += Bytes) {
        Put(out, i, Bytes == 2 ? S16(src) : S24(src));
    }
}

void Plain16ToFloat(const std::byte* src, std::size_t count, FloatSink out)
{
    std::size_t i = 0;
#ifdef __SSE2__
    // Eight values at a time: each widened to 32 bits (sign kept by the arithmetic shift),
    // converted exactly, then scaled with one rounding, as the scalar path does.
    const __m128 scale = _mm_set1_ps(out.scale);
    for (; i + 8 <= count; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * i));
        const __m128i lo = _mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16);
        const __m128i hi = _mm_srai_epi32(_mm_unpackhi_epi16(v, v), 16);
        _mm_storeu_ps(out.dst + i, _mm_mul_ps(_mm_cvtepi32_ps(lo), scale));
        _mm_storeu_ps(out.dst + i + 4, _mm_mul_ps(_mm_cvtepi32_ps(hi), scale));
    }
#endif
    out.dst += i;
    Plain<2>(src + 2 * i, count - i, out);
}

}  // namespace

std::size_t Delta24Bytes(int mode, int frames, bool odd)
{
    const auto n = static_cast<std::size_t>(frames > 0 ? frames : 0);
    switch (mode) {
        case 2:
            return 3 * n;
        case 3:
            return 2 * n;
        case 4: {
            const std::size_t fresh = odd && n > 0 ? n - 1 : n;  // frames that start a pair
            return 3 * ((fresh + 1) / 2);
        }
        default:
            return n;
    }
}

std::size_t DecodeDelta24(int mode, DeltaState& state, const std::byte* src, int frames, bool odd,
                          ShortSink out)
{
    return Delta24Mode(mode, state, src, frames, odd, out);
}

std::size_t DecodeDelta24(int mode, DeltaState& state, const std::byte* src, int frames, bool odd,
                          FloatSink out)
{
    return Delta24Mode(mode, state, src, frames, odd, out);
}

std::size_t DecodeDelta16(const int* modes, DeltaState* states, int channels, const std::byte* src,
                          int frames, ShortSink out)
{
    return Delta16Modes(modes, states, channels, src, frames, out);
}

std::size_t DecodeDelta16(const int* modes, DeltaState* states, int channels, const std::byte* src,
                          int frames, FloatSink out)
{
    return Delta16Modes(modes, states, channels, src, frames, out);
}

void DecodePlain(int bits, const std::byte* src, std::size_t count, ShortSink out)
{
    if (bits == 16) {
        Plain<2>(src, count, out);
    } else {
        Plain<3>(src, count, out);
    }
}

void DecodePlain(int bits, const std::byte* src, std::size_t count, FloatSink out)
{
    if (bits == 16) {
        Plain16ToFloat(src, count, out);
    } else {
        Plain<3>(src, count, out);
    }
}

}  // namespace dsp
