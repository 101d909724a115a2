#include "stream/GigaStreamPort.h"

namespace {

// Until the disk thread is wired in, nobody answers a request and no stream can be read.
bool NoRequest(GigaStreamClient&)
{
    return false;
}
bool NoPull(GigaStream&, float*, int)
{
    return false;
}
void NoFinish(GigaStream&) {}
void NoAwaitStream(const GigaStreamClient&) {}
bool NoAwaitValues(const GigaStream&, int)
{
    return false;
}

constexpr GigaStreamPort kNoStreams {NoRequest, NoPull, NoFinish, NoAwaitStream, NoAwaitValues};

}  // namespace

// Constant-initialised: voices made during static initialisation already find a port.
constinit std::atomic<const GigaStreamPort*> GigaStreamPort::current_ {&kNoStreams};

void GigaStreamPort::SetCurrent(const GigaStreamPort* port)
{
    current_.store(port ? port : &kNoStreams, std::memory_order_release);
}
