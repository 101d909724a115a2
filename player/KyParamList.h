// Bindings from MIDI controllers to float parameters: a controller value 0..127 drives the
// bound float between a lower and an upper value. Owns its bindings.
#pragma once

#include <array>
#include <memory>
#include <vector>

class KyParamList {
public:
    static constexpr int kControllers = 128;

    struct Binding {
        float lower = 0.0f;
        float upper = 1.0f;
        float* target = nullptr;
    };

    KyParamList() = default;
    KyParamList(const KyParamList&) = delete;
    KyParamList& operator=(const KyParamList&) = delete;
    virtual ~KyParamList() = default;

    // Replaces any binding of the controller; false for a controller outside 0..127 or no target.
    bool Bind(int controller, float lower, float upper, float* target);
    const Binding* Find(int controller) const;
    // Moves the bound float to lower + (upper - lower) * value / 127, when a binding exists.
    void ApplyController(int controller, int value) const;

private:
    std::array<Binding*, kControllers> table_ {};
    std::vector<std::unique_ptr<Binding>> owned_;
};
