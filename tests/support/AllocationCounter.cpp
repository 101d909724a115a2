#include "tests/support/AllocationCounter.h"

#include <cstdlib>
#ifdef _WIN32
#include <malloc.h>
#endif
#include <new>

namespace {

thread_local std::size_t allocations = 0;
thread_local int counting = 0;

void* Allocate(std::size_t size)
{
    if (counting) ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment)
{
    if (counting) ++allocations;
    const auto align = static_cast<std::size_t>(alignment);
#ifdef _WIN32
    // Windows' C runtime has no aligned_alloc: its aligned blocks need their own free.
    if (void* p = _aligned_malloc(size ? size : 1, align)) return p;
#else
    if (void* p = std::aligned_alloc(align, (size + align - 1) / align * align)) return p;
#endif
    throw std::bad_alloc();
}

void FreeAligned(void* p)
{
#ifdef _WIN32
    _aligned_free(p);
#else
    std::free(p);
#endif
}

}  // namespace

void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
void* operator new(std::size_t size, std::align_val_t a)
{
    return AllocateAligned(size, a);
}
void* operator new[](std::size_t size, std::align_val_t a)
{
    return AllocateAligned(size, a);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
    FreeAligned(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
    FreeAligned(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    FreeAligned(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    FreeAligned(p);
}

namespace testsupport {

AllocationCounter::AllocationCounter() : start_(allocations)
{
    ++counting;
}
AllocationCounter::~AllocationCounter()
{
    --counting;
}
std::size_t AllocationCounter::Count() const
{
    return allocations - start_;
}

}  // namespace testsupport
