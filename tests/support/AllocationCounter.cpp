#include "tests/support/AllocationCounter.h"

#include <cstdlib>
#ifdef _WIN32
#include <malloc.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#endif
#include <new>

namespace {

thread_local std::size_t allocations = 0;
thread_local int counting = 0;

#ifdef _WIN32
// The plug-in DLL carries its own C++ runtime, whose operator new is not the one below; it gets
// its memory from msvcrt.dll's malloc, calloc and realloc, so those entries of the DLL's import
// table are pointed at counting ones.
void* CountingMalloc(std::size_t size)
{
    if (counting) ++allocations;
    return std::malloc(size);
}
void* CountingCalloc(std::size_t count, std::size_t size)
{
    if (counting) ++allocations;
    return std::calloc(count, size);
}
void* CountingRealloc(void* p, std::size_t size)
{
    if (counting) ++allocations;
    return std::realloc(p, size);
}

void* CountingReplacement(const char* name)
{
    if (std::strcmp(name, "malloc") == 0) return reinterpret_cast<void*>(&CountingMalloc);
    if (std::strcmp(name, "calloc") == 0) return reinterpret_cast<void*>(&CountingCalloc);
    if (std::strcmp(name, "realloc") == 0) return reinterpret_cast<void*>(&CountingRealloc);
    return nullptr;
}

// Once per load of the plug-in (it stays loaded once a host has opened it): the import slots
// are rewritten only while they do not point here yet.
void CountPluginAllocations()
{
    const auto base = reinterpret_cast<std::uintptr_t>(GetModuleHandleW(L"marlet.dll"));
    if (!base) return;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* dll =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         imports.VirtualAddress && dll->Name; ++dll) {
        if (_stricmp(reinterpret_cast<const char*>(base + dll->Name), "msvcrt.dll") != 0) continue;
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            void* replacement = CountingReplacement(reinterpret_cast<const char*>(byName->Name));
            const auto target = reinterpret_cast<ULONGLONG>(replacement);
            if (!replacement || slots->u1.Function == target) continue;
            DWORD was = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof target, PAGE_READWRITE, &was)) continue;
            slots->u1.Function = target;
            VirtualProtect(&slots->u1.Function, sizeof target, was, &was);
        }
    }
}
#endif

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
#ifdef _WIN32
    CountPluginAllocations();
#endif
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
