#include "host/sheet_soak.h"

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include "host/driver_helper.h"
#include "host/loaded_plugin.h"
#include "platform/printoem.h"

namespace {

constexpr size_t PLUGIN_PAGE_COUNT = 5;

// --- Counters -------------------------------------------------------------------------------

// Where Windows and Wine keep the process's GDI handle table: a field of the process block; a
// 32-bit Wine process finds it in the 64-bit process block that its thread block points at. Each
// entry is 24 bytes on both; a live object has a non-zero type. Read only when GetGuiResources
// does not answer, and only after a census of objects made on purpose has come out right.
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

enum class Source { Platform, Census, None };

struct Counters {
    Source gdi = Source::None, user = Source::None;
    bool memoryFromPagefile = false;

    // Chooses how each counter is read: the platform's count where it answers, otherwise a census
    // that must see three objects made for the purpose.
    void Choose()
    {
        HBRUSH brushes[3];
        HWND windows[3];
        // A thread's first window brings a helper window of its own (the input method's), which
        // lives as long as the thread has windows: one window stays open while the census counts.
        HWND anchor = CreateWindowW(L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        const DWORD gdiBefore = GdiCensus(), userBefore = ThreadWindows();
        for (HBRUSH& brush : brushes) brush = CreateSolidBrush(RGB(1, 2, 3));
        for (HWND& window : windows) window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        const DWORD gdiPlatform = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        const DWORD userPlatform = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
        const bool gdiCensusWorks = GdiCensus() == gdiBefore + 3;
        const bool userCensusWorks = ThreadWindows() == userBefore + 3;
        for (HBRUSH brush : brushes) DeleteObject(brush);
        for (HWND window : windows) DestroyWindow(window);
        DestroyWindow(anchor);
        gdi = gdiPlatform != 0 ? Source::Platform : gdiCensusWorks ? Source::Census : Source::None;
        user = userPlatform != 0 ? Source::Platform : userCensusWorks ? Source::Census : Source::None;

        PROCESS_MEMORY_COUNTERS_EX memory = {};
        memory.cb = sizeof(memory);
        GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
        memoryFromPagefile = memory.PrivateUsage == 0;
    }

    SoakSample Sample(int sheet) const
    {
        SoakSample sample = {sheet, 0, 0, 0};
        if (gdi == Source::Platform) sample.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        if (gdi == Source::Census) sample.gdiObjects = GdiCensus();
        if (user == Source::Platform) sample.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
        if (user == Source::Census) sample.userObjects = ThreadWindows();
        PROCESS_MEMORY_COUNTERS_EX memory = {};
        memory.cb = sizeof(memory);
        GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
        // Windows counts the commit charge in both; Wine fills only PagefileUsage.
        sample.privateBytes = memoryFromPagefile ? memory.PagefileUsage : memory.PrivateUsage;
        return sample;
    }
};

const wchar_t* Describe(Source source, const wchar_t* platform, const wchar_t* census)
{
    return source == Source::Platform ? platform : source == Source::Census ? census : L"not available";
}

// --- One sheet ------------------------------------------------------------------------------

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The core's side of CPSFUNC_ADD_PROPSHEETPAGEW: keeps a copy of each page; any other function
// (the pages' set-result on OK) is answered as the platform answers what it does not do.
LONG_PTR CALLBACK CollectPages(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM)
{
    auto* pages = static_cast<std::vector<PROPSHEETPAGEW>*>(sheet);
    if (function != CPSFUNC_ADD_PROPSHEETPAGEW || lParam1 == 0) return 0;
    pages->push_back(*reinterpret_cast<const PROPSHEETPAGEW*>(lParam1));
    return static_cast<LONG_PTR>(pages->size());
}

// The control run's page procedure: the page shows its template and does nothing else.
INT_PTR CALLBACK IdlePageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// Destroyed with the sheet, whatever path the round leaves by.
class PluginHeap {
public:
    PluginHeap() : heap_(HeapCreate(0, 0, 0)) {}
    ~PluginHeap()
    {
        if (heap_ != nullptr) HeapDestroy(heap_);
    }
    PluginHeap(const PluginHeap&) = delete;
    PluginHeap& operator=(const PluginHeap&) = delete;
    HANDLE get() const { return heap_; }

private:
    HANDLE heap_;
};

bool OpenAndCloseSheet(IPrintOemUI* plugin, HMODULE module, DWORD privateSize, bool idlePages, std::wstring* error)
{
    PluginHeap heap;
    if (heap.get() == nullptr) {
        *error = L"no heap for the sheet";
        return false;
    }
    // The job's devmode with the plug-in's section, defaulted as the core does for a new sheet.
    std::vector<BYTE> devmode(sizeof(DEVMODEW) + privateSize);
    auto* publicDevmode = reinterpret_cast<PDEVMODEW>(devmode.data());
    publicDevmode->dmSize = sizeof(DEVMODEW);
    publicDevmode->dmDriverExtra = static_cast<WORD>(privateSize);
    void* privateSection = devmode.data() + sizeof(DEVMODEW);
    OEMDMPARAM dm = {};
    dm.cbSize = sizeof(dm);
    dm.hModule = module;
    dm.pPublicDMIn = publicDevmode;
    dm.pOEMDMOut = privateSection;
    dm.cbBufSize = privateSize;
    plugin->DevMode(OEMDM_DEFAULT, &dm);

    // The document option items: how many, then the items on the plug-in heap to fill.
    OEMUIOBJ uiObject = {sizeof(OEMUIOBJ), nullptr};
    OEMCUIPPARAM items = {};
    items.cbSize = sizeof(items);
    items.poemuiobj = &uiObject;
    items.hModule = module;
    items.hOEMHeap = heap.get();
    items.pPublicDM = publicDevmode;
    items.pOEMDM = privateSection;
    plugin->CommonUIProp(OEMCUIP_DOCPROP, &items);
    if (items.cOEMOptItems != 0) {
        items.pOEMOptItems =
            static_cast<POPTITEM>(HeapAlloc(heap.get(), HEAP_ZERO_MEMORY, items.cOEMOptItems * sizeof(OPTITEM)));
        if (items.pOEMOptItems != nullptr) plugin->CommonUIProp(OEMCUIP_DOCPROP, &items);
    }

    wchar_t printerName[] = L"Soak";
    OEMUIPSPARAM param = {};
    param.cbSize = sizeof(param);
    param.poemuiobj = &uiObject;
    param.pPrinterName = printerName;
    param.hModule = module;
    param.hOEMHeap = heap.get();
    param.pPublicDM = publicDevmode;
    param.pOEMDM = privateSection;
    std::vector<PROPSHEETPAGEW> pages;
    PROPSHEETUI_INFO info = {};
    info.cbSize = sizeof(info);
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = PROPSHEETUI_REASON_INIT;
    info.hComPropSheet = &pages;
    info.pfnComPropSheet = CollectPages;
    info.lParamInit = reinterpret_cast<LPARAM>(&param);
    if (FAILED(plugin->DocumentPropertySheets(&info, 0)) || pages.size() != PLUGIN_PAGE_COUNT) {
        *error = L"the plug-in added " + std::to_wstring(pages.size()) + L" pages";
        return false;
    }

    // The real sheet: every page made by showing it, then OK, then the sheet destroyed.
    std::vector<HPROPSHEETPAGE> handles;
    for (PROPSHEETPAGEW& page : pages) {
        if (idlePages) {
            page.pfnDlgProc = IdlePageProc;
            page.lParam = 0;
        }
        handles.push_back(CreatePropertySheetPageW(&page));
    }
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | PSH_NOCONTEXTHELP;
    header.pszCaption = L"Document Properties";
    header.nPages = static_cast<UINT>(handles.size());
    header.phpage = handles.data();
    HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
    if (sheet == nullptr || reinterpret_cast<INT_PTR>(sheet) == -1) {
        *error = L"comctl32 made no property sheet";
        return false;
    }
    PumpMessages();
    for (size_t page = 0; page < pages.size(); ++page) {
        SendMessageW(sheet, PSM_SETCURSEL, page, 0);
        PumpMessages();
    }
    SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    PumpMessages();
    DestroyWindow(sheet);
    PumpMessages();

    info.Reason = PROPSHEETUI_REASON_DESTROY;
    plugin->DocumentPropertySheets(&info, 0);
    return true;
}

// Released on every path out of the run.
struct PluginReference {
    IPrintOemUI* plugin = nullptr;
    ~PluginReference()
    {
        if (plugin != nullptr) plugin->Release();
    }
};

}  // namespace

bool RunSheetSoak(const std::wstring& dllPath, const SoakOptions& options, SoakReport* report, std::wstring* error)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    Counters counters;
    counters.Choose();
    report->gdiSource = Describe(counters.gdi, L"GetGuiResources", L"census of the process's GDI handle table");
    report->userSource = Describe(counters.user, L"GetGuiResources", L"census of the thread's windows");
    report->memorySource = counters.memoryFromPagefile ? L"PagefileUsage (the platform leaves PrivateUsage 0)"
                                                       : L"PrivateUsage";

    LoadedModule module(dllPath.c_str());
    if (module.get() == nullptr) {
        *error = L"cannot load " + dllPath + L" (error " + std::to_wstring(GetLastError()) + L")";
        return false;
    }
    DriverHelperStandIn helper;
    {
        PluginReference reference;
        const HRESULT hr = CreatePluginObject(module, &reference.plugin);
        if (FAILED(hr)) {
            *error = L"cannot create the plug-in object";
            return false;
        }
        reference.plugin->PublishDriverInterface(&helper);
        OEMDMPARAM size = {};
        size.cbSize = sizeof(size);
        size.hModule = module.get();
        if (FAILED(reference.plugin->DevMode(OEMDM_SIZE, &size))) {
            *error = L"the plug-in did not give its devmode size";
            return false;
        }
        report->samples.push_back(counters.Sample(0));
        for (int sheet = 1; sheet <= options.sheets; ++sheet) {
            if (!OpenAndCloseSheet(reference.plugin, module.get(), size.cbBufSize, options.idlePages, error)) {
                *error = L"sheet " + std::to_wstring(sheet) + L": " + *error;
                return false;
            }
            report->samples.push_back(counters.Sample(sheet));
        }
    }
    if (helper.references() != 1) {
        *error = L"the plug-in kept " + std::to_wstring(helper.references() - 1) + L" references to the driver helper";
        return false;
    }
    return true;
}

SoakSample WarmUpPeak(const SoakReport& report, int warmUpSheets)
{
    SoakSample peak = {0, 0, 0, 0};
    for (const SoakSample& sample : report.samples) {
        if (sample.sheet < 1 || sample.sheet > warmUpSheets) continue;
        peak.sheet = sample.sheet;
        peak.gdiObjects = std::max(peak.gdiObjects, sample.gdiObjects);
        peak.userObjects = std::max(peak.userObjects, sample.userObjects);
        peak.privateBytes = std::max(peak.privateBytes, sample.privateBytes);
    }
    return peak;
}

bool SoakIsFlat(const SoakReport& report, const SoakTolerance& tolerance, std::wstring* why)
{
    const SoakSample peak = WarmUpPeak(report, tolerance.warmUpSheets);
    for (const SoakSample& now : report.samples) {
        if (now.sheet <= tolerance.warmUpSheets) continue;
        const long gdi = static_cast<long>(now.gdiObjects) - static_cast<long>(peak.gdiObjects);
        const long user = static_cast<long>(now.userObjects) - static_cast<long>(peak.userObjects);
        const long long memory = static_cast<long long>(now.privateBytes) - static_cast<long long>(peak.privateBytes);
        if (gdi <= tolerance.gdiObjects && user <= tolerance.userObjects &&
            memory <= static_cast<long long>(tolerance.privateBytes))
            continue;
        *why = L"after sheet " + std::to_wstring(now.sheet) + L": GDI " + std::to_wstring(gdi) + L", USER " +
               std::to_wstring(user) + L", private bytes " + std::to_wstring(memory) + L" over the warm-up peak";
        return false;
    }
    return true;
}

int RunSoakCommand(int argc, wchar_t** argv)
{
    SoakOptions options;
    std::wstring dll = PluginPath(L"");
    for (int i = 2; i < argc; ++i) {
        const std::wstring word = argv[i];
        if (word == L"--sheets" && i + 1 < argc) {
            options.sheets = _wtoi(argv[++i]);
        } else if (word == L"--idle-pages") {
            options.idlePages = true;
        } else if (word == L"--dll" && i + 1 < argc) {
            dll = argv[++i];
        } else {
            fwprintf(stderr, L"usage: orlinhost soak [--sheets N] [--idle-pages] [--dll PATH]\n");
            return 2;
        }
    }
    if (options.sheets < 1) {
        fwprintf(stderr, L"orlinhost: --sheets needs a count of at least 1\n");
        return 2;
    }

    SoakReport report;
    std::wstring error;
    if (!RunSheetSoak(dll, options, &report, &error)) {
        fwprintf(stderr, L"orlinhost soak: %ls\n", error.c_str());
        return 2;
    }
    wprintf(L"Soak: %d document sheets of %ls (%d-bit), a plug-in heap per sheet%ls\n", options.sheets, dll.c_str(),
            static_cast<int>(sizeof(void*) * 8), options.idlePages ? L", pages that do nothing (control)" : L"");
    wprintf(L"  GDI objects:   %ls\n  USER objects:  %ls\n  private bytes: %ls\n", report.gdiSource.c_str(),
            report.userSource.c_str(), report.memorySource.c_str());
    wprintf(L"  %6ls %6ls %6ls %12ls\n", L"sheet", L"GDI", L"USER", L"private KiB");
    const int step = options.sheets >= 20 ? options.sheets / 20 : 1;
    for (const SoakSample& sample : report.samples) {
        if (sample.sheet > 10 && sample.sheet % step != 0 && sample.sheet != options.sheets) continue;
        wprintf(L"  %6d %6lu %6lu %12lu\n", sample.sheet, static_cast<unsigned long>(sample.gdiObjects),
                static_cast<unsigned long>(sample.userObjects), static_cast<unsigned long>(sample.privateBytes / 1024));
    }
    const SoakTolerance tolerance;
    const SoakSample peak = WarmUpPeak(report, tolerance.warmUpSheets);
    SoakSample highest = peak;
    for (const SoakSample& sample : report.samples) {
        if (sample.sheet <= tolerance.warmUpSheets) continue;
        highest.gdiObjects = std::max(highest.gdiObjects, sample.gdiObjects);
        highest.userObjects = std::max(highest.userObjects, sample.userObjects);
        highest.privateBytes = std::max(highest.privateBytes, sample.privateBytes);
    }
    const SoakSample& last = report.samples.back();
    if (last.sheet > peak.sheet)
        wprintf(L"  sheets %d to %d against the peak of sheets 1 to %d: GDI %+ld, USER %+ld, private %+lld KiB at most\n",
            peak.sheet + 1, last.sheet, peak.sheet, static_cast<long>(highest.gdiObjects) - static_cast<long>(peak.gdiObjects),
            static_cast<long>(highest.userObjects) - static_cast<long>(peak.userObjects),
            (static_cast<long long>(highest.privateBytes) - static_cast<long long>(peak.privateBytes)) / 1024);
    std::wstring why;
    if (!SoakIsFlat(report, tolerance, &why)) {
        wprintf(L"  GREW %ls\n", why.c_str());
        return 1;
    }
    wprintf(L"  flat (no GDI or USER object more, private bytes within %lu KiB)\n",
            static_cast<unsigned long>(tolerance.privateBytes / 1024));
    return 0;
}
