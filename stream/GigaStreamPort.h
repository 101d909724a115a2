// How a playing voice reaches the disk thread, owned down here so that the disk thread never
// needs to know the voice: the voice implements GigaStreamClient, and the disk thread installs the
// process-wide GigaStreamPort through which voices ask for, read and let go of streams.
#pragma once

#include <atomic>

class GigaSample;
class GigaStream;

// What the disk thread needs of one that asked for a stream. Disk thread only.
class GigaStreamClient {
public:
    // The sample a pending stream request is for (null when none is pending).
    virtual const GigaSample* RequestedSample() const = 0;
    // The hand-over of a stream started on `sample`. One that arrives after the client has ended
    // or moved on is marked finished at once; answers whether the client took it.
    virtual bool AttachStream(GigaStream* stream, const GigaSample* sample) = 0;

protected:
    // Never deleted through this interface.
    ~GigaStreamClient() = default;
};

// Ask for a stream, pull decoded floats from one (false on underrun), and tell one that it is no
// longer needed. Process-wide, set before audio runs. A host that renders offline never plays in
// real time, so its clients may wait: for the stream they asked for, and for the values a pull
// needs (false when none will come).
struct GigaStreamPort {
    bool (*request)(GigaStreamClient& client);
    bool (*pull)(GigaStream& stream, float* dst, int values);
    void (*finish)(GigaStream& stream);
    void (*awaitStream)(const GigaStreamClient& client);
    bool (*awaitValues)(const GigaStream& stream, int values);

    // The port installed now; one that refuses everything while none is.
    static const GigaStreamPort& Current() { return *current_.load(std::memory_order_acquire); }
    // Null puts back the port that refuses everything.
    static void SetCurrent(const GigaStreamPort* port);

private:
    static std::atomic<const GigaStreamPort*> current_;
};
