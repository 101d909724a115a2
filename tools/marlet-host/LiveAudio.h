// An audio thread paced in real time, as a live host runs one: it renders block after block
// through an OfflineRenderer at the pace of the sample rate and records every output to a WAV
// file, until it is stopped (at the latest by the destructor).
#pragma once

#include <atomic>
#include <exception>
#include <string>
#include <thread>

#include "tools/marlet-host/OfflineRenderer.h"
#include "tools/marlet-host/WavFile.h"

class LiveAudio {
public:
    // The renderer must be open; the plug-in is switched on here and off again in Stop.
    LiveAudio(OfflineRenderer& renderer, const std::string& wavPath, int sampleRate);
    ~LiveAudio();
    LiveAudio(const LiveAudio&) = delete;
    LiveAudio& operator=(const LiveAudio&) = delete;

    // Ends the thread, switches the plug-in off and finishes the file. Rethrows what went wrong
    // on the audio thread (a full disk, say).
    void Stop();

private:
    void Run();

    OfflineRenderer& renderer_;
    WavFile wav_;
    int sampleRate_;
    std::atomic<bool> stop_ {false};
    std::exception_ptr failure_;
    std::thread thread_;
};
