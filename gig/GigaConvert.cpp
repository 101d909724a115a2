#include "gig/GigaConvert.h"

#include <cmath>

namespace GigaConvert {

namespace {

constexpr float kTimeCodeOctave = 78643200.0f;  // 1200 x 65536
constexpr float kLongestDecay = 10.0f;
constexpr std::size_t kNameCapacity = 199;

constexpr std::array<std::uint8_t, 23> kControllers = {
    64, 1, 2, 4, 67, 5, 12, 13, 16, 17, 18, 19, 65, 66, 80, 81, 82, 83, 91, 92, 93, 94, 95,
};
constexpr int kVelocityIndex = 127;

}  // namespace

float TimeCodeSeconds(std::int32_t code)
{
    if (code == INT32_MIN) return 0.0f;
    return std::exp2(static_cast<float>(code) / kTimeCodeOctave);
}

float LimitedTimeCodeSeconds(std::int32_t code)
{
    const float seconds = TimeCodeSeconds(code);
    return seconds > kLongestDecay ? kLongestDecay : seconds;
}

float AttenuationGain(std::int16_t attenuation)
{
    const float x = -static_cast<float>(attenuation) / 10.0f;
    if (x >= 0.0f) return 1.0f;
    if (x >= -2.0f) return 1.0f + 0.01f * x;
    return 1.234f * std::pow(10.0f, x / 20.0f);
}

int MapController(std::uint8_t b)
{
    if ((b & 1) == 0) return 0;
    const int index = (b - 1) / 2;
    if (index == kVelocityIndex) return kVelocitySource;
    if (index < static_cast<int>(kControllers.size())) return kControllers[index];
    return 0;
}

EnvelopeInfluences Influences(std::uint8_t b)
{
    const int sign = (b & 1) ? -1 : 1;
    return {((b >> 1) & 3) * sign, ((b >> 3) & 3) * sign, ((b >> 5) & 3) * sign};
}

int Pan(std::uint8_t b)
{
    const int p = b + 64;
    return p > 127 ? 127 - b : p;
}

float VelocityDepth(std::uint8_t b)
{
    return static_cast<float>(4 - b % 5) * 0.25f;
}

int VelocityCurve(std::uint8_t b)
{
    return (b / 5) % 3;
}

float VelocityScale(std::uint8_t b)
{
    int d = b & 0x7F;
    if (d == 0) d = 20;
    if (d == 20) return 1.0f;
    if (d < 20) return static_cast<float>(d) / 20.0f;
    return static_cast<float>(d) / 20.5f;
}

int SampleFineTune(std::int32_t fraction)
{
    // Integer division truncates toward zero, which is what the tuning wants.
    return static_cast<int>(static_cast<std::int64_t>(fraction) * 50 / (std::int64_t {1} << 31));
}

std::string CleanName(std::string_view raw)
{
    std::string name;
    for (const char c : raw.substr(0, kNameCapacity)) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0) break;
        name += b == 0xB4 ? '\'' : (b >= 0x80 ? ' ' : c);
    }
    return name;
}

void SanitiseLoop(std::int32_t& enabled, std::int32_t& start, std::int32_t& end,
                  std::int32_t frameCount)
{
    if (enabled == 0) return;
    if (end >= frameCount) end = frameCount - 1;
    if (start < 0 || end < start) enabled = 0;
}

}  // namespace GigaConvert
