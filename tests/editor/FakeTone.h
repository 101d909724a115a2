// A tone for the editor's tests that is nothing but the editor's door: plain values, layers
// kept in a list, notifications passed straight to the view. No player, no bank, no loader.
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "engine/GigaToneEdit.h"

namespace editortest {

class FakeTone : public GigaToneEdit {
public:
    // What the view shows as the tone's name (a real tone makes it of its stack).
    std::string displayName = "demo.gig";

    // As a tone notifies on the audio or loading thread.
    void Notify(std::int32_t code, std::int32_t value) const
    {
        if (KyToneView* view = view_.load(std::memory_order_acquire)) view->ToneNotify(code, value);
    }

    int ToneIndex() const override { return 0; }
    std::int32_t TypeCode() const override { return kTypeCode; }
    int Volume() const override { return volume_; }
    int EffectiveVolume() const override { return effectiveVolume_; }
    void SetEffectiveVolume(int volume) override { effectiveVolume_ = volume; }
    int Pan() const override { return pan_; }
    void SetPan(int pan) override { pan_ = pan; }
    int Tune() const override { return tune_; }
    void SetTune(int cents) override { tune_ = cents; }
    int OutputBus() const override { return bus_; }
    void SetOutputBus(int bus) override { bus_ = bus; }
    int Mute(MuteWord which) const override { return mute_[which]; }
    void SetMute(MuteWord which, int value) override { mute_[which] = value; }
    int ControllerValue(int slot) const override { return controllers_[Slot(slot)]; }
    void SetController(int slot, int value) { controllers_[Slot(slot)] = value; }
    int ShownValue(int slot) const override { return shown_[Slot(slot)]; }
    void SetShownValue(int slot, int value) override { shown_[Slot(slot)] = value; }
    void KeyboardNoteOn(int key, int) override { keysDown.push_back(key); }
    void KeyboardNoteOff(int key) override { keysDown.push_back(-key); }
    void SetView(KyToneView* view) override { view_.store(view, std::memory_order_release); }
    KyToneView* View() const override { return view_.load(std::memory_order_acquire); }

    GigaPart* AddLayer(const std::string& bankPath, int programIndex) override
    {
        auto& layer = layers_.emplace_back(std::make_unique<GigaPart>(nullptr));
        layer->bankPath = bankPath;
        layer->programIndex = programIndex;
        return layer.get();
    }
    void Clear() override { layers_.clear(); }
    int LayerCount() const override { return static_cast<int>(layers_.size()); }
    int SelectMode() const override { return selectMode_; }
    void SetSelectMode(int mode) override { selectMode_ = mode; }
    bool EditLayer(int index, const LayerEdit& edit) override
    {
        if (index < 0 || index >= LayerCount()) return false;
        edit(*layers_[static_cast<std::size_t>(index)]);
        return true;
    }
    void EditLayers(const StackEdit& edit) override
    {
        for (int i = 0; i < LayerCount(); ++i) edit(i, *layers_[static_cast<std::size_t>(i)]);
    }
    bool EditLayerBySerial(std::uint32_t serial, const LayerEdit& edit) override
    {
        for (auto& layer : layers_)
            if (layer->serial == serial) return edit(*layer), true;
        return false;
    }
    bool ReplaceLayer(std::uint32_t serial, const std::string& bankPath, int program) override
    {
        return EditLayerBySerial(serial, [&](GigaPart& layer) {
            layer.bankPath = bankPath;
            layer.programIndex = program;
        });
    }
    bool RemoveLayer(std::uint32_t serial) override
    {
        return std::erase_if(layers_, [&](const auto& layer) { return layer->serial == serial; });
    }
    void SetStackName(const std::string& name) override { stackName_ = name; }
    std::string StackName() const override { return stackName_; }
    std::string DisplayName() const override { return displayName; }
    GigaToneFacts Facts() const override
    {
        GigaToneFacts facts {status_, stackName_, selectMode_, keySwitchLow_, {}};
        for (const auto& layer : layers_) {
            GigaLayerFacts& f = facts.layers.emplace_back();
            f.bankPath = layer->bankPath;
            f.programIndex = layer->programIndex;
            f.state = layer->state;
            f.volume = layer->volume;
            f.pan = layer->pan;
            f.tune = layer->tune;
            f.serial = layer->serial;
        }
        return facts;
    }
    int KeySwitchLow() const override { return keySwitchLow_; }
    int KeySwitchHigh() const override { return keySwitchHigh_; }
    void SetKeySwitchRange(int low, int high) override
    {
        keySwitchLow_ = low;
        keySwitchHigh_ = high;
    }
    int LowestKey() const override { return 0; }
    int HighestKey() const override { return 127; }
    int Status() const override { return status_; }
    // As the loader does: the status, then the view hears of it.
    void SetStatus(int status) override
    {
        status_ = status;
        Notify(KyToneView::kStatusChanged, status);
    }

    std::vector<int> keysDown;  // keyboard notes: the key on, minus the key off

private:
    static std::size_t Slot(int slot) { return static_cast<std::size_t>(slot) & 0xFF; }

    int volume_ = 90;
    int effectiveVolume_ = 90;
    int pan_ = 64;
    int tune_ = 0;
    int bus_ = 0;
    std::array<int, 3> mute_ {};
    std::array<int, 256> controllers_ {};
    std::array<int, 256> shown_ {};
    std::atomic<KyToneView*> view_ {nullptr};
    std::vector<std::unique_ptr<GigaPart>> layers_;
    int selectMode_ = kSelectNone;
    std::string stackName_;
    int keySwitchLow_ = 0;
    int keySwitchHigh_ = 0;
    int status_ = kEmpty;
};

}  // namespace editortest
