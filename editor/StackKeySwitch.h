// The key-switch keys of a stack: one key per layer (low .. high), kept clear of the keys the
// layers play (lowest .. highest). Unset (high 0), the range goes just below the played keys,
// or just above them when there is no room below; the arrows move it by a key and make it jump
// over the played keys instead of running into them. It never leaves 0..127.
#pragma once

struct StackKeySwitch {
    int low = 0;
    int high = 0;

    // Places an unset range (high 0); a set one stays.
    void Settle(int layers, int lowest, int highest);
    // One key down (when low > 0) or up (when high < 127).
    void StepDown(int layers, int lowest, int highest);
    void StepUp(int layers, int lowest, int highest);

private:
    // Below the played keys, or above them when that does not fit.
    void PlaceBelow(int layers, int lowest, int highest);
    // Above the played keys; false (nothing changes) when that does not fit.
    bool PlaceAbove(int layers, int highest);
};
