// Counts heap allocations made by the calling thread while a scope is open. A test executable
// that links AllocationCounter.cpp replaces the global allocation functions with counting ones.
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
