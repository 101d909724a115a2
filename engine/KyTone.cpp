#include "engine/KyTone.h"

#include <thread>

namespace {

bool ValidSlot(int slot)
{
    return slot >= 0 && slot < KyTone::kControllerSlots;
}

}  // namespace

KyTone::KyTone(int toneIndex, int midiChannel) : KyToneBase(toneIndex, midiChannel)
{
    ResetControllers();
}

KyTone::~KyTone()
{
    // Voices still sounding belong to the pool, not to the tone.
    EndVoicesNow();
}

KyVoice* KyTone::StartVoice(int key, int velocity, int frameOffset, GigaZone* zone, GigaPart* layer)
{
    KyVoice* voice = pool_ ? pool_->TakeFirst() : nullptr;
    if (!voice) return nullptr;
    voice->Initialise(key, velocity, frameOffset, zone, this, layer);
    voices_.Append(voice);
    return voice;
}

int KyTone::MixVoices(KyBufferList* outputs, int frames)
{
    // A muted tone keeps its voices running, silently.
    KyBufferList* target = IsMuted() ? nullptr : outputs;
    int count = 0;
    for (KyVoice* voice = voices_.Head(); voice;) {
        KyVoice* next = KyVoiceList::Next(voice);
        ++count;
        if (voice->Block(target, frames) < frames) {
            voice->ReleaseStream();
            voices_.Remove(voice);
            if (pool_) pool_->Append(voice);
        }
        voice = next;
    }
    return count;
}

void KyTone::KillVoices()
{
    for (KyVoice* voice = voices_.Head(); voice; voice = KyVoiceList::Next(voice))
        if (voice->GetState() != KyVoice::kEnded) voice->Kill();
}

void KyTone::EndVoicesNow()
{
    if (!pool_) return;  // no voice can have been started
    while (KyVoice* voice = voices_.TakeFirst()) {
        voice->ReleaseStream();
        voice->SetState(KyVoice::kEnded);
        pool_->Append(voice);
    }
}

void KyTone::SetVolume(int volume)
{
    volume_.store(volume, std::memory_order_relaxed);
    effectiveVolume_.store(volume * Expression() / 127, std::memory_order_relaxed);
}

int KyTone::ControllerValue(int slot) const
{
    return ValidSlot(slot) ? controllers_[slot].value.load(std::memory_order_relaxed) : 0;
}

void KyTone::SetController(int slot, int value)
{
    if (!ValidSlot(slot)) return;
    controllers_[slot].value.store(value, std::memory_order_relaxed);
    if (controllers_[slot].watched.load(std::memory_order_relaxed)) controllersChanged_ = true;
}

void KyTone::WatchController(int slot, bool watched)
{
    if (ValidSlot(slot)) controllers_[slot].watched.store(watched, std::memory_order_relaxed);
}

bool KyTone::IsWatched(int slot) const
{
    return ValidSlot(slot) && controllers_[slot].watched.load(std::memory_order_relaxed);
}

int KyTone::ShownValue(int slot) const
{
    return ValidSlot(slot) ? controllers_[slot].shown : 0;
}

void KyTone::SetShownValue(int slot, int value)
{
    if (ValidSlot(slot)) controllers_[slot].shown = value;
}

void KyTone::ResetControllers()
{
    for (int slot = 0; slot < 120; ++slot) SetController(slot, 0);
    for (int slot : {12, 13, 80, 81, 82, 83, 94, 95}) SetController(slot, 127);
}

void KyTone::ResetDefaults()
{
    volume_.store(kDefaultVolume, std::memory_order_relaxed);
    expression_.store(kDefaultExpression, std::memory_order_relaxed);
    effectiveVolume_.store(kDefaultVolume, std::memory_order_relaxed);
    pan_.store(kDefaultPan, std::memory_order_relaxed);
    tune_.store(0, std::memory_order_relaxed);
    pitchBend_.store(0, std::memory_order_relaxed);
    for (int key = 0; key < kKeys; ++key) SetKeyDown(key, false);
}

void KyTone::SetView(KyToneView* view)
{
    // Both sides use sequentially consistent order: either a notification counted itself before
    // the new view was stored (and is waited for here), or it reads the new view.
    view_.store(view, std::memory_order_seq_cst);
    while (notifying_.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
}

void KyTone::Notify(std::int32_t code, std::int32_t value) const
{
    notifying_.fetch_add(1, std::memory_order_seq_cst);
    if (KyToneView* view = view_.load(std::memory_order_seq_cst)) view->ToneNotify(code, value);
    notifying_.fetch_sub(1, std::memory_order_release);
}

void KyTone::ProcessEvents(std::span<const KyMidiEvent> events)
{
    for (const KyMidiEvent& event : events) HandleEvent(event);
}

void KyTone::HandleEvent(const KyMidiEvent& event)
{
    switch (event.type) {
        case KyMidiEvent::kNoteOn:
            AddActiveNotes(1);
            OnNoteOnEvent(event.data1, event.data2, event.offset);
            break;
        case KyMidiEvent::kNoteOff:
            AddActiveNotes(-1);
            OnNoteOffEvent(event.data1, event.data2, event.offset);
            break;
        case KyMidiEvent::kPitchBend:
            pitchBend_.store(event.data2 * 128 + event.data1 - 8192, std::memory_order_relaxed);
            break;
        case KyMidiEvent::kControlChange:
            HandleControlChange(event.data1, event.data2);
            break;
        case KyMidiEvent::kProgramChange:
            OnProgramChangeEvent(event.data1);
            break;
        default:
            break;
    }
}

void KyTone::HandleControlChange(int controller, int value)
{
    if (controller < 0 || controller >= kMidiControllers) return;
    SetController(controller, value);
    if (controller == kSustainPedal) sustain_.store(value > 0, std::memory_order_relaxed);
    switch (controller) {
        case kVolumeController:
            volume_.store(value, std::memory_order_relaxed);
            effectiveVolume_.store(value * Expression() / 127, std::memory_order_relaxed);
            break;
        case kExpressionController:
            expression_.store(value, std::memory_order_relaxed);
            effectiveVolume_.store(Volume() * value / 127, std::memory_order_relaxed);
            break;
        case kPanController:
            pan_.store(value, std::memory_order_relaxed);
            break;
        default:
            OnOtherController(controller, value);
            if (controller == kAllSoundOff || controller == kAllNotesOff)
                AllNotesOff();  // queued: takes effect in the next block
            else if (controller == kResetControllers)
                ResetControllers();
            break;
    }
}

void KyTone::BeginBlock()
{
    controllersChanged_ = false;
}

void KyTone::EndBlock(bool hadVoices, bool notesAtStart)
{
    if (controllersChanged_) Notify(KyToneView::kControllersChanged, 0);
    const bool notesNow = ActiveNotes() > 0;
    if (hadVoices && notesNow != notesAtStart) Notify(KyToneView::kNotesHeld, notesNow ? 1 : 0);
}
