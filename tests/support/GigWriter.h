// Our own writer of .gig files, built from the chunk layouts, so that a test can make exactly the
// file it needs: instruments with regions and dimensions of every type, file versions 2 and 3,
// 16- and 24-bit samples, mono or stereo, looped or not, plain or block-compressed, and samples
// kept in extension files named in 'xfil'.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// Dimension types as the files store them (controllers use their MIDI number).
namespace gigdim {
inline constexpr std::uint8_t kNone = 0x00;
inline constexpr std::uint8_t kModWheel = 0x01;
inline constexpr std::uint8_t kSustainPedal = 0x40;
inline constexpr std::uint8_t kSampleChannel = 0x80;
inline constexpr std::uint8_t kLayer = 0x81;
inline constexpr std::uint8_t kVelocity = 0x82;
inline constexpr std::uint8_t kChannelAftertouch = 0x83;
inline constexpr std::uint8_t kReleaseTrigger = 0x84;
inline constexpr std::uint8_t kKeyboard = 0x85;
inline constexpr std::uint8_t kRoundRobin = 0x86;
inline constexpr std::uint8_t kRandom = 0x87;
}  // namespace gigdim

struct GigDimensionPlan {
    std::uint8_t type = gigdim::kVelocity;
    std::uint8_t bits = 1;
};

struct GigDimensionRegionPlan {
    std::int32_t sample = -1;  // wave pool index; -1 writes "no sample"
    std::uint16_t unityNote = 60;
    std::int16_t fineTune = 0;
    std::int32_t attenuation = 0;  // the whole 'wsmp' gain word; the high word is the attenuation
    std::uint32_t wsmpOptions = 0;
    bool loop = false;
    std::int32_t loopStart = 0;
    std::uint32_t loopLength = 0;
    std::uint32_t ewaLength = 140;        // '3ewa' length word and payload size (124, 140, 148 ...)
    std::uint8_t velocityUpperLimit = 0;  // '3ewa' byte 124
    std::array<std::uint8_t, 8> dimensionUpperLimits {};  // '3ewa' bytes 140-147
    std::map<std::size_t, std::uint8_t> ewaBytes;         // any other '3ewa' byte

    // Puts a little-endian value into ewaBytes.
    void SetEwa16(std::size_t offset, std::uint16_t v);
    void SetEwa32(std::size_t offset, std::uint32_t v);
};

struct GigRegionPlan {
    std::int16_t lowKey = 0;
    std::int16_t highKey = 127;
    std::vector<GigDimensionPlan> dimensions;  // file order; at most 5 (version 2) or 8
    // Dimension region i; missing ones (up to 2^total bits) copy `fill`.
    std::vector<GigDimensionRegionPlan> dimensionRegions;
    GigDimensionRegionPlan fill = [] {
        GigDimensionRegionPlan d;
        d.sample = 0;
        return d;
    }();
    bool writeLinks = true;                             // false: no '3lnk' and no '3prg'
    std::optional<std::uint32_t> dimensionRegionCount;  // written instead of 2^total bits
};

struct GigInstrumentPlan {
    std::string name = "Instrument";
    std::vector<GigRegionPlan> regions {GigRegionPlan {}};
    std::int16_t pitchBendRange = 2;
    std::uint8_t keySwitchLow = 0;  // '3ewg' dimension key range
    std::uint8_t keySwitchHigh = 0;
    std::optional<std::uint32_t> regionCount;  // written in 'insh' instead of the real count
    bool writeName = true;
};

struct GigSamplePlan {
    std::string name = "Sample";
    int channels = 1;
    int bits = 16;
    std::int32_t sampleRate = 44100;
    int frames = 1000;
    std::int32_t unityNote = 60;
    std::int32_t pitchFraction = 0;
    bool loop = false;
    std::int32_t loopStart = 0;
    std::int32_t loopEnd = 0;  // inclusive
    int file = 0;              // 0: the .gig; n: extension file n
    bool compressed = false;
    int blockFrames = 256;
    std::array<int, 2> modes {1, 1};  // per channel; 0/1 for 16 bits, 2..5 for 24 bits
    int truncatedBits = 0;            // 24-bit compressed samples
    // Interleaved values as stored (for 24-bit compressed: already reduced by truncatedBits);
    // empty: GigWriter::DefaultValues. Compressed values should fill whole blocks: the last block
    // is padded by repeating the last frame, which a delta mode may not be able to encode.
    std::vector<std::int32_t> values;
};

struct GigFilePlan {
    int version = 3;
    std::vector<GigInstrumentPlan> instruments {GigInstrumentPlan {}};
    std::vector<GigSamplePlan> samples {GigSamplePlan {}};
    std::optional<std::uint32_t> instrumentCount;  // written in 'colh' instead of the real count
    std::size_t minimumSize = 3000;                // files are padded to this size at the end
};

class GigWriter {
public:
    explicit GigWriter(GigFilePlan plan);

    // Writes the .gig at `path` and its extension files next to it (the stem with ".gx01",
    // ".gx02" ...). Answers the paths written; throws std::runtime_error when a file cannot be
    // written and std::invalid_argument on a plan the format cannot hold.
    std::vector<std::string> Write(const std::string& path) const;

    // The bytes of the .gig (file 0) or of extension file n, as Write would store them.
    std::vector<std::uint8_t> FileBytes(int file, const std::string& stem = "test") const;
    int ExtensionCount() const;

    // A smooth sine of `frames` frames per channel, small enough in its higher differences for
    // every delta mode: amplitude 8000 for 16 bits and 1000000 for 24 bits.
    static std::vector<std::int32_t> DefaultValues(int frames, int channels, int bits);
    // The values the writer stores for sample s (for compressed samples without values of their
    // own: the sine over whole blocks).
    std::vector<std::int32_t> Values(int s) const;
    // Name of extension file n for the .gig named `stem` + ".gig".
    static std::string ExtensionName(const std::string& stem, int n);

private:
    const GigFilePlan plan_;
};

}  // namespace testsupport
