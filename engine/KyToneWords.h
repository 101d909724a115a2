// Words a tone and its editor share: the MIDI controllers a tone answers itself (also the slots
// of its controller table) and the indices of its mute words.
#pragma once

#include "player/KyControllerSources.h"

struct KyToneWords {
    static constexpr int kSustainPedal = 64;
    static constexpr int kVolumeController = 7;
    static constexpr int kPanController = 10;
    static constexpr int kExpressionController = 11;
    static constexpr int kAllSoundOff = 120;
    static constexpr int kResetControllers = 121;
    static constexpr int kAllNotesOff = 123;
    static constexpr int kMidiControllers = KyControllerSources::kMidiControllers;

    // Mute words: 0 saved, 1 current (1 muted, 2 solo), 2 requested.
    enum MuteWord { kSavedMute = 0, kCurrentMute = 1, kRequestedMute = 2 };
};
