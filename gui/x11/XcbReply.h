// XCB's replies and events are malloc'ed: owned by a unique_ptr that frees them.
#pragma once

#include <cstdlib>
#include <memory>

struct XcbFree {
    void operator()(void* p) const { std::free(p); }
};

template <typename T>
using XcbReply = std::unique_ptr<T, XcbFree>;
