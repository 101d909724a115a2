// Counts heap allocations made by the calling thread while a scope is open. A test executable
// that links AllocationCounter.cpp replaces the global allocation functions with counting ones.
//
// A plug-in library loaded with dlopen counts too: its references to operator new and delete
// are bound through the process's global scope, where the executable comes first, and the
// linker exports the executable's definitions because libstdc++.so, which the executable
// links, defines the same symbols. A library that brought its own copy (a static libstdc++, or
// -Bsymbolic) would go uncounted; a test that relies on counting a plug-in's allocations
// therefore first counts a call known to allocate inside it. On Windows the plug-in DLL has a
// runtime of its own; its calls to the C runtime's heap are counted instead.
#pragma once

#include <cstddef>

namespace testsupport {

class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    std::size_t Count() const;

private:
    std::size_t start_;
};

}  // namespace testsupport
