// Mute and solo across the rack's tones and their layers.
#include <vector>

#include "editor/GigaEditor.h"
#include "editor/GigaView.h"
#include "engine/GigaToneEdit.h"

// Mute words: 0 playing, 1 muted, 2 soloed; a request (wanted) of 1 mutes, 2 solos, 3 unmutes,
// 4 unsolos. Soloing one part mutes every other that is not soloed, remembering what each was;
// the last unsolo puts those back.
void GigaEditor::ResolveMute(GigaView* sender)
{
    // Every part of the rack, tone and layers alike, through one accessor each.
    struct Part {
        GigaToneEdit* tone;
        int layer;  // -1: the tone itself
    };
    std::vector<Part> parts;
    for (int i = 0; i < ViewCount(); ++i) {
        GigaToneEdit& tone = View(i)->Tone();
        parts.push_back({&tone, -1});
        tone.EditLayers([&](int index, GigaPart&) { parts.push_back({&tone, index}); });
    }
    const auto get = [](const Part& p, int word) {
        int value = 0;
        if (p.layer < 0)
            value = p.tone->Mute(static_cast<GigaToneEdit::MuteWord>(word));
        else
            p.tone->EditLayer(p.layer, [&](GigaPart& l) { value = l.mute[word]; });
        return value;
    };
    const auto set = [](const Part& p, int word, int value) {
        if (p.layer < 0)
            p.tone->SetMute(static_cast<GigaToneEdit::MuteWord>(word), value);
        else
            p.tone->EditLayer(
                p.layer, [&](GigaPart& l) { l.mute[word] = static_cast<std::int16_t>(value); });
    };
    constexpr int kSaved = GigaToneEdit::kSavedMute;
    constexpr int kCurrent = GigaToneEdit::kCurrentMute;
    constexpr int kWanted = GigaToneEdit::kRequestedMute;

    int soloed = 0;
    for (const Part& p : parts) soloed += get(p, kCurrent) == 2;

    GigaToneEdit& tone = sender->Tone();
    std::vector<Part> own;
    for (const Part& p : parts)
        if (p.tone == &tone) own.push_back(p);
    const int toneWanted = tone.Mute(GigaToneEdit::kRequestedMute);
    if (toneWanted != tone.Mute(GigaToneEdit::kCurrentMute))
        for (const Part& p : own)
            if (p.layer >= 0) set(p, kWanted, toneWanted);

    for (const Part& p : own) {
        const int wanted = get(p, kWanted);
        if (wanted == get(p, kCurrent)) continue;
        switch (wanted) {
            case 1:
                set(p, kCurrent, 1);
                break;
            case 3:
                set(p, kCurrent, soloed > 0 ? 2 : 0);
                break;
            case 2:
                if (soloed == 0) {
                    for (const Part& q : parts) {
                        set(q, kSaved, get(q, kCurrent));
                        if (get(q, kWanted) != 2) set(q, kCurrent, 1);
                    }
                }
                ++soloed;
                set(p, kCurrent, 2);
                break;
            case 4:
                --soloed;
                set(p, kCurrent, 1);
                if (soloed <= 0) {
                    soloed = 0;
                    for (const Part& q : parts) set(q, kCurrent, get(q, kSaved));
                }
                break;
            default:
                break;
        }
    }
    for (const Part& p : parts) set(p, kWanted, get(p, kCurrent));
    RefreshViews();
}
