// The output buses of one host block. The pointers refer to the host's buffers (the list owns
// them only when told to). Every writer obeys one rule: a bus whose ready flag is clear is
// zeroed for the block first, so a bus never carries samples of an earlier block.
#pragma once

#include <cstdint>

class KyBufferList {
public:
    static constexpr int kMaxBuses = 48;

    struct Bus {
        float* left = nullptr;
        float* right = nullptr;
    };

    KyBufferList() = default;
    KyBufferList(const KyBufferList&) = delete;
    KyBufferList& operator=(const KyBufferList&) = delete;
    virtual ~KyBufferList();

    int BusCount() const { return busCount_; }
    void SetBusCount(int count);

    void SetBus(int bus, float* left, float* right);
    const Bus& GetBus(int bus) const { return buses_[bus]; }
    bool IsReady(int bus) const { return ready_[bus] != 0; }
    void SetReady(int bus, bool ready) { ready_[bus] = ready ? 1 : 0; }
    void ClearReadyFlags();

    // Fills both channels of every bus with `frames` zeros and marks them ready.
    void ZeroAll(int frames);
    // The writer's rule: zero the bus unless it is ready, mark it ready, hand it out. A bus at
    // or beyond the bus count (or with no buffers) answers null.
    Bus* PrepareForMix(int bus, int frames);

    // For lists that own their memory (tests, offline rendering): allocates `frames` floats per
    // channel for every valid bus, freed with the list.
    void AllocateOwned(int frames);

private:
    void FreeOwned();

    Bus buses_[kMaxBuses] {};
    std::uint8_t ready_[kMaxBuses] {};
    int busCount_ = 0;
    bool ownsBuffers_ = false;
};
