#include "host/measure/object_census.h"

#include <psapi.h>

namespace {

// Where Windows and Wine keep the process's GDI handle table: a field of the process block; a
// 32-bit Wine process finds it in the 64-bit process block that its thread block points at. Each
// entry is 24 bytes on both; a live object has a non-zero type.
struct GdiHandleEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    BYTE type;
    BYTE flags;
    UINT64 userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "the platform's handle table entry");
constexpr size_t GDI_HANDLE_COUNT = 0x10000;
#ifdef _WIN64
constexpr size_t TEB_PEB = 0x60;
constexpr size_t PEB_GDI_HANDLE_TABLE = 0xF8;
#else
constexpr size_t TEB_PEB = 0x30;
constexpr size_t PEB_GDI_HANDLE_TABLE = 0x94;
constexpr size_t TEB_TEB64 = 0xF70;  // the 64-bit thread block of a 32-bit thread, where there is one
constexpr size_t TEB64_PEB64 = 0x60;
constexpr size_t PEB64_GDI_HANDLE_TABLE = 0xF8;
#endif

bool Readable(const void* address, size_t bytes)
{
    MEMORY_BASIC_INFORMATION region = {};
    if (address == nullptr || VirtualQuery(address, &region, sizeof(region)) == 0) return false;
    const auto* end = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE;
    return region.State == MEM_COMMIT && (region.Protect & readable) != 0 &&
           static_cast<const BYTE*>(address) + bytes <= end;
}

// The thread block, by its self pointer (the header's accessor trips GCC's bounds warning).
const BYTE* ThreadBlock()
{
    const BYTE* teb = nullptr;
#ifdef _WIN64
    __asm__("movq %%gs:0x30, %0" : "=r"(teb));
#else
    __asm__("movl %%fs:0x18, %0" : "=r"(teb));
#endif
    return teb;
}

const GdiHandleEntry* GdiHandleTable()
{
    const BYTE* teb = ThreadBlock();
    const auto* peb = *reinterpret_cast<const BYTE* const*>(teb + TEB_PEB);
    const void* table = *reinterpret_cast<void* const*>(peb + PEB_GDI_HANDLE_TABLE);
#ifndef _WIN64
    if (table == nullptr) {
        const ULONG teb64 = *reinterpret_cast<const ULONG*>(teb + TEB_TEB64);
        const auto* peb64Field = reinterpret_cast<const UINT64*>(static_cast<UINT_PTR>(teb64) + TEB64_PEB64);
        if (teb64 == 0 || !Readable(peb64Field, sizeof(UINT64)) || *peb64Field > 0xFFFFFFFFull) return nullptr;
        const auto* tableField =
            reinterpret_cast<const UINT64*>(static_cast<UINT_PTR>(*peb64Field) + PEB64_GDI_HANDLE_TABLE);
        if (!Readable(tableField, sizeof(UINT64)) || *tableField > 0xFFFFFFFFull) return nullptr;
        table = reinterpret_cast<const void*>(static_cast<UINT_PTR>(*tableField));
    }
#endif
    return Readable(table, GDI_HANDLE_COUNT * sizeof(GdiHandleEntry)) ? static_cast<const GdiHandleEntry*>(table)
                                                                      : nullptr;
}

DWORD GdiCensus()
{
    const GdiHandleEntry* table = GdiHandleTable();
    if (table == nullptr) return 0;
    DWORD live = 0;
    for (size_t i = 0; i < GDI_HANDLE_COUNT; ++i) live += table[i].type != 0;
    return live;
}

BOOL CALLBACK CountChildOnly(HWND, LPARAM count)
{
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

// Windows are what a property sheet makes of USER objects: the sheet, its pages and their
// controls. EnumChildWindows reaches every descendant, so each window counts once.
BOOL CALLBACK CountTopLevel(HWND window, LPARAM count)
{
    ++*reinterpret_cast<DWORD*>(count);
    EnumChildWindows(window, CountChildOnly, count);
    return TRUE;
}

DWORD ThreadWindows()
{
    DWORD windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

PROCESS_MEMORY_COUNTERS_EX MemoryCounters()
{
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
    return memory;
}

}  // namespace

ObjectCensus::ObjectCensus()
{
    // The self-check: three brushes and three windows made on purpose must show in each census.
    HBRUSH brushes[3];
    HWND windows[3];
    // A thread's first window brings a helper window of its own (the input method's), which lives
    // as long as the thread has windows: one window stays open while the census counts.
    HWND anchor = CreateWindowW(L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const DWORD gdiBefore = GdiCensus(), userBefore = ThreadWindows();
    for (HBRUSH& brush : brushes) brush = CreateSolidBrush(RGB(1, 2, 3));
    for (HWND& window : windows)
        window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const DWORD gdiPlatform = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userPlatform = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    const bool gdiCensusWorks = GdiCensus() == gdiBefore + 3;
    const bool userCensusWorks = ThreadWindows() == userBefore + 3;
    for (HBRUSH brush : brushes) DeleteObject(brush);
    for (HWND window : windows) DestroyWindow(window);
    DestroyWindow(anchor);
    gdi_ = gdiPlatform != 0 ? Source::Platform : gdiCensusWorks ? Source::Census : Source::None;
    user_ = userPlatform != 0 ? Source::Platform : userCensusWorks ? Source::Census : Source::None;
    memoryFromPagefile_ = MemoryCounters().PrivateUsage == 0;
}

ObjectCounts ObjectCensus::Take() const
{
    ObjectCounts counts;
    if (gdi_ == Source::Platform) counts.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (gdi_ == Source::Census) counts.gdiObjects = GdiCensus();
    if (user_ == Source::Platform) counts.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (user_ == Source::Census) counts.userObjects = ThreadWindows();
    // Windows counts the commit charge in both; Wine fills only PagefileUsage.
    const PROCESS_MEMORY_COUNTERS_EX memory = MemoryCounters();
    counts.privateBytes = memoryFromPagefile_ ? memory.PagefileUsage : memory.PrivateUsage;
    return counts;
}

std::wstring ObjectCensus::gdiSource() const
{
    return gdi_ == Source::Platform ? L"GetGuiResources"
           : gdi_ == Source::Census ? L"census of the process's GDI handle table"
                                    : L"not available";
}

std::wstring ObjectCensus::userSource() const
{
    return user_ == Source::Platform ? L"GetGuiResources"
           : user_ == Source::Census ? L"census of the thread's windows"
                                     : L"not available";
}

std::wstring ObjectCensus::memorySource() const
{
    return memoryFromPagefile_ ? L"PagefileUsage (the platform leaves PrivateUsage 0)" : L"PrivateUsage";
}
