// Who hears how a program load goes: the tone whose layer asked for it. Called on the loading
// thread; an implementation records or posts, it never blocks.
#pragma once

class GigaLoadReport {
public:
    // Tone status codes a load passes through.
    static constexpr int kReadingProgram = 2;
    static constexpr int kLoadingSamples = 3;
    static constexpr int kNotEnoughMemory = 5;

    virtual ~GigaLoadReport() = default;
    virtual void LoadStatus(int status) = 0;
    // `done` of `total` preloads have been read.
    virtual void LoadProgress(int done, int total) = 0;
    // Asked between the steps of a load: true when its result is no longer wanted, and the load
    // ends early without counting as a failure of the bank.
    virtual bool LoadCancelled() const { return false; }
};
