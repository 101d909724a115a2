#include "tools/marlet-host/RenderJob.h"

#include <cmath>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "tools/marlet-host/BinaryFile.h"
#include "tools/marlet-host/EventScheduler.h"
#include "tools/marlet-host/MidiFile.h"
#include "tools/marlet-host/OfflineRenderer.h"
#include "tools/marlet-host/VstPluginModule.h"
#include "tools/marlet-host/WavFile.h"

void RenderJob::Run(std::ostream& log) const
{
    const Settings& s = settings_;
    std::vector<TimedMidiEvent> events;
    double musicEnd = 0.0;
    if (s.midiFile) {
        const MidiFile midi = MidiFile::Read(*s.midiFile);
        events = midi.Events();
        musicEnd = midi.LengthSeconds();
    } else if (s.notes) {
        events = s.notes->Events();
        musicEnd = s.notes->EndSeconds();
    }
    const double seconds = s.seconds.value_or(musicEnd + s.tail);
    const std::vector<std::uint8_t> chunk =
        s.loadChunk ? binaryfile::Read(*s.loadChunk, kMaxChunkBytes) : std::vector<std::uint8_t> {};

    VstPluginModule::Options options;
    options.sampleRate = s.sampleRate;
    options.blockSize = s.blockSize;
    std::string error;
    const auto module = VstPluginModule::Load(s.plugin, options, error);
    if (!module) throw std::runtime_error(error);
    OfflineRenderer renderer(*module, s.sampleRate, s.blockSize);

    int firstChannel = 0;
    int channels = renderer.Outputs();
    if (s.bus) {
        firstChannel = 2 * *s.bus;
        channels = 2;
        if (firstChannel + 1 >= renderer.Outputs())
            throw std::runtime_error("bus " + std::to_string(*s.bus) +
                                     " does not exist: the plug-in has " +
                                     std::to_string(renderer.Outputs()) + " outputs");
    }
    const double frameCount = std::round(seconds * s.sampleRate);
    if (frameCount * channels * sizeof(float) > static_cast<double>(WavFile::kMaxDataBytes)) {
        std::ostringstream message;
        message << "a render of " << seconds << " seconds with " << channels
                << " channels is too large for a WAV file (use --seconds or --bus)";
        throw std::runtime_error(message.str());
    }
    const auto frames = static_cast<std::int64_t>(frameCount);

    WavFile wav(s.out, channels, s.sampleRate);
    EventScheduler scheduler(events, s.sampleRate);
    renderer.Open();
    if (s.loadChunk) renderer.LoadChunk(chunk);
    renderer.Play(scheduler, frames, [&](std::span<const float* const> outputs, std::int32_t n) {
        wav.Write(outputs.subspan(static_cast<std::size_t>(firstChannel),
                                  static_cast<std::size_t>(channels)),
                  n);
    });
    wav.Close();

    if (s.saveChunk) {
        const auto saved = renderer.SaveChunk();
        binaryfile::Write(*s.saveChunk, saved);
        if (saved.empty())
            log << "note: the plug-in returned an empty chunk; " << *s.saveChunk << " is empty\n";
    }
    module->Close();
}
