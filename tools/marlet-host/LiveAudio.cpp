#include "tools/marlet-host/LiveAudio.h"

#include <chrono>
#include <vector>

#include "tools/marlet-host/EventScheduler.h"

LiveAudio::LiveAudio(OfflineRenderer& renderer, const std::string& wavPath, int sampleRate)
    : renderer_(renderer), wav_(wavPath, renderer.Outputs(), sampleRate), sampleRate_(sampleRate)
{
    renderer_.SwitchOn();
    thread_ = std::thread([this] { Run(); });
}

LiveAudio::~LiveAudio()
{
    try {
        Stop();
    } catch (...) {
        // Already reported by whoever called Stop; a destructor must not throw.
    }
}

void LiveAudio::Stop()
{
    if (!thread_.joinable()) return;
    stop_.store(true, std::memory_order_release);
    thread_.join();
    renderer_.SwitchOff();
    if (failure_) std::rethrow_exception(failure_);
    wav_.Close();
}

void LiveAudio::Run()
{
    using Clock = std::chrono::steady_clock;
    const std::vector<TimedMidiEvent> none;
    EventScheduler events(none, sampleRate_);
    const std::int32_t block = renderer_.BlockSize();
    const Clock::time_point start = Clock::now();
    try {
        for (std::int64_t done = 0; !stop_.load(std::memory_order_acquire); done += block) {
            // Block k is due when the previous k blocks have played out; a late block is not
            // made up for by skipping, just as a sound card would report an underrun.
            const auto due =
                start + std::chrono::duration_cast<Clock::duration>(
                            std::chrono::duration<double>(static_cast<double>(done) / sampleRate_));
            std::this_thread::sleep_until(due);
            wav_.Write(renderer_.RenderBlock(events, done, block), block);
        }
    } catch (...) {
        failure_ = std::current_exception();
    }
}
