#include "support/fault_injection.h"

#include <cstdlib>
#include <new>

namespace {

FailingHeap* ActiveHeap = nullptr;
HANDLE TargetHeap = nullptr;
// The kernel's own functions: a call by name from this program would come back to the patch.
const auto RealHeapAlloc =
    reinterpret_cast<decltype(&HeapAlloc)>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "HeapAlloc"));
const auto RealHeapReAlloc =
    reinterpret_cast<decltype(&HeapReAlloc)>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "HeapReAlloc"));
FailingNew* ActiveNew = nullptr;

bool HeapCallFails(HANDLE heap)
{
    if (ActiveHeap == nullptr || heap != TargetHeap) return false;
    const size_t call = ++ActiveHeap->calls;
    const bool fails =
        ActiveHeap->failAt != 0 && (call == ActiveHeap->failAt || (ActiveHeap->failAfter && call > ActiveHeap->failAt));
    if (fails) ++ActiveHeap->failures;
    return fails;
}

LPVOID WINAPI CountedHeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes)
{
    if (HeapCallFails(heap)) return nullptr;
    return RealHeapAlloc(heap, flags, bytes);
}

LPVOID WINAPI CountedHeapReAlloc(HANDLE heap, DWORD flags, LPVOID memory, SIZE_T bytes)
{
    if (HeapCallFails(heap)) return nullptr;
    return RealHeapReAlloc(heap, flags, memory, bytes);
}

}  // namespace

FailingHeap::FailingHeap(HANDLE heap, HMODULE module)
    : patches_(module, {{"kernel32.dll", "HeapAlloc", reinterpret_cast<const void*>(&CountedHeapAlloc)},
                        {"kernel32.dll", "HeapReAlloc", reinterpret_cast<const void*>(&CountedHeapReAlloc)}})
{
    ActiveHeap = this;
    TargetHeap = heap;
}

FailingHeap::~FailingHeap()
{
    ActiveHeap = nullptr;
    TargetHeap = nullptr;
}

FailingNew::FailingNew()
{
    ActiveNew = this;
}
FailingNew::~FailingNew()
{
    ActiveNew = nullptr;
}

// The plug-in allocates its COM objects with nothrow new; this replacement lets a test fail them.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (ActiveNew != nullptr && ++ActiveNew->calls == ActiveNew->failAt) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void operator delete(void* memory, const std::nothrow_t&) noexcept
{
    std::free(memory);
}
