#include "player/KyToneBase.h"

#include "platform/Platform.h"
#include "player/KyAudioGate.h"

KyToneBase::KyToneBase(int toneIndex, int midiChannel)
    : toneIndex_(toneIndex), midiChannel_(midiChannel)
{
}

KyToneBase::~KyToneBase() = default;

bool KyToneBase::IsKeyDown(int key) const
{
    return key >= 0 && key < kKeys && keyDown_[key].load(std::memory_order_relaxed) != 0;
}

void KyToneBase::SetKeyDown(int key, bool down)
{
    if (key >= 0 && key < kKeys) keyDown_[key].store(down ? 1 : 0, std::memory_order_relaxed);
}

void KyToneBase::Queue(KyRingBuffer<KyMidiEvent>& ring, const KyMidiEvent& event)
{
    // A tone about to start takes MIDI already: a host's first block brings its events before
    // the block that activates the tone.
    if (!active_.load(std::memory_order_acquire) &&
        mailbox_.load(std::memory_order_acquire) != kStartRequest)
        return;
    if (!ring.Push(event)) dropped_.fetch_add(1, std::memory_order_relaxed);
}

void KyToneBase::NoteOn(int key, int velocity, int offset)
{
    if (key < 0 || key >= kKeys) return;
    SetKeyDown(key, true);
    Queue(hostQueue_, {KyMidiEvent::kNoteOn, key, velocity, offset});
}

void KyToneBase::NoteOff(int key, int velocity, int offset)
{
    if (key < 0 || key >= kKeys) return;
    SetKeyDown(key, false);
    Queue(hostQueue_, {KyMidiEvent::kNoteOff, key, velocity, offset});
}

void KyToneBase::ControlChange(int controller, int value, int offset)
{
    Queue(hostQueue_, {KyMidiEvent::kControlChange, controller, value, offset});
}

void KyToneBase::PitchBend(int low, int high, int offset)
{
    Queue(hostQueue_, {KyMidiEvent::kPitchBend, low, high, offset});
}

void KyToneBase::ProgramChange(int program)
{
    Queue(hostQueue_, {KyMidiEvent::kProgramChange, program, 0, 0});
}

void KyToneBase::AllNotesOff()
{
    for (int key = 0; key < kKeys; ++key) NoteOff(key, 0, 0);
}

void KyToneBase::KeyboardNoteOn(int key, int velocity)
{
    if (key < 0 || key >= kKeys) return;
    SetKeyDown(key, true);
    Queue(keyboardQueue_, {KyMidiEvent::kNoteOn, key, velocity, 0});
}

void KyToneBase::KeyboardNoteOff(int key)
{
    if (key < 0 || key >= kKeys) return;
    SetKeyDown(key, false);
    Queue(keyboardQueue_, {KyMidiEvent::kNoteOff, key, 0, 0});
}

void KyToneBase::Attach(KyPlayer* player, KyAudioGate* gate)
{
    player_ = player;
    gate_ = gate;
    OnAttach();
}

bool KyToneBase::Start()
{
    if (IsActive()) return false;
    ResetActiveNotes();
    // Nobody consumes the queues of a tone that is neither active nor about to start: what a
    // producer pushed while the last stop emptied them goes now, so that no note survives
    // without the events that followed it.
    if (Mailbox() != kStartRequest) ClearQueues();
    if (!HasInstrument()) return false;
    mailbox_.store(kStartRequest, std::memory_order_release);
    return true;
}

void KyToneBase::Stop()
{
    // A start the audio thread has not taken up is withdrawn; a block in progress may be taking
    // it up right now, so that block is waited out before the tone counts as inactive.
    std::int32_t start = kStartRequest;
    mailbox_.compare_exchange_strong(start, 0, std::memory_order_seq_cst);
    if (!IsActive() && gate_) gate_->WaitOutRender();
    if (!IsActive()) {
        // Nothing renders the tone: its queues are ours to empty, before and after alike.
        ResetActiveNotes();
        ClearQueues();
        return;
    }
    ResetActiveNotes();
    Request(kClearMidiRequest);
    Request(kStopVoicesRequest);
    active_.store(false, std::memory_order_release);
}

void KyToneBase::Request(std::int32_t code)
{
    mailbox_.store(code, std::memory_order_release);
    std::uint64_t lastBlocks = gate_ ? gate_->Blocks() : 0;
    // Idle time by the clock: a sleep of 10 ms lasts up to 16 on Windows.
    std::uint32_t idleSince = platform::TickCount();
    std::uint32_t idleMs = 0;
    for (;;) {
        if (mailbox_.load(std::memory_order_acquire) == 0) return;
        // A tone outside any player is rendered by nobody; with the gate held by this control
        // thread nobody renders it either. Either way the requester answers the request itself.
        if (!gate_ || gate_->TakenOver() ||
            (idleMs >= static_cast<std::uint32_t>(kTakeOverAfterMs) && gate_->TryTakeOver())) {
            ServeMailbox(true);
            return;
        }
        platform::SleepMs(10);
        const std::uint64_t blocks = gate_->Blocks();
        if (blocks != lastBlocks) idleSince = platform::TickCount();
        idleMs = platform::TickCount() - idleSince;
        lastBlocks = blocks;
    }
}

bool KyToneBase::CheckActive()
{
    if (active_.load(std::memory_order_relaxed)) return true;
    // Taken up or withdrawn by a stop: exactly one of the two.
    std::int32_t start = kStartRequest;
    if (!mailbox_.compare_exchange_strong(start, 0, std::memory_order_seq_cst)) return false;
    active_.store(true, std::memory_order_release);
    return true;
}

void KyToneBase::ServeMailbox(bool byRequester)
{
    const std::int32_t code = mailbox_.load(std::memory_order_acquire);
    if (code == kClearMidiRequest) {
        ClearQueues();
        mailbox_.store(0, std::memory_order_release);
    } else if (code == kStopVoicesRequest || (byRequester && code == kVoicesSounding)) {
        if (byRequester) {
            EndVoicesNow();
            mailbox_.store(0, std::memory_order_release);
        } else {
            KillVoices();
            mailbox_.store(kVoicesSounding, std::memory_order_release);
        }
    }
}

void KyToneBase::ClearQueues()
{
    hostQueue_.Clear();
    keyboardQueue_.Clear();
}

void KyToneBase::Drain(KyRingBuffer<KyMidiEvent>& ring)
{
    const auto runs = ring.Peek(kMaxEventsPerBlock);
    if (runs.Count() == 0) return;
    ProcessEvents(runs.first);
    if (!runs.second.empty()) ProcessEvents(runs.second);
    ring.Advance(runs.Count());
}

void KyToneBase::Render(KyBufferList* outputs, int frames)
{
    ServeMailbox(false);
    int notes = activeNotes_.load(std::memory_order_relaxed);
    if (notes < 0) {
        notes = 0;
        activeNotes_.store(0, std::memory_order_relaxed);
    }
    BeginBlock();
    // A tone being stopped starts no new voice: what is queued meanwhile waits for the next
    // start, which empties the queues.
    const bool stopping = mailbox_.load(std::memory_order_relaxed) == kVoicesSounding;
    if (!stopping) {
        Drain(hostQueue_);
        Drain(keyboardQueue_);
    }
    const int voices = MixVoices(outputs, frames);
    if (stopping && voices == 0) {
        // The last voice has gone: the tone goes inactive in this very block, so that no later
        // block renders it (and takes up a note) before the requester has seen the answer.
        active_.store(false, std::memory_order_release);
        std::int32_t sounding = kVoicesSounding;
        mailbox_.compare_exchange_strong(sounding, 0, std::memory_order_acq_rel);
    }
    EndBlock(voices > 0, notes > 0);
}

void KyToneBase::Unload()
{
    EndVoicesNow();
    ClearQueues();
    active_.store(false, std::memory_order_release);
    mailbox_.store(0, std::memory_order_release);
    ReleaseLayers();
}
