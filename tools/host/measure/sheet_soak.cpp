#include "host/measure/sheet_soak.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include "emulation/driver_core.h"
#include "emulation/loaded_plugin.h"
#include "host/measure/object_census.h"
#include "host/session/host_session.h"
#include "platform/printoem.h"

namespace {

constexpr size_t PLUGIN_PAGE_COUNT = 5;

// The control run's page procedure: the page shows its template and does nothing else.
INT_PTR CALLBACK IdlePageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

SoakSample Sample(const ObjectCensus& census, int sheet)
{
    const ObjectCounts counts = census.Take();
    return {sheet, counts.gdiObjects, counts.userObjects, counts.privateBytes};
}

bool OpenAndCloseSheet(IPrintOemUI* plugin, HMODULE module, bool idlePages, std::wstring* error)
{
    // The core of one document-properties dialog, with a plug-in heap of its own that goes with it and
    // the job's devmode, defaulted by the plug-in as the core does for a new sheet.
    DriverCoreSetup setup;
    setup.pluginModule = module;
    setup.printer = CorePrinter::None;
    setup.printerName = L"Soak";
    DriverCoreStandIn core(plugin, setup);
    if (!core.error().empty()) {
        *error = core.error();
        return false;
    }
    core.setResultAnswer = 0;  // the pages' set-result on OK, answered as the platform answers what it does not do

    core.ExchangeItems(SheetKind::Document);  // the document option items, as before every sheet

    PROPSHEETUI_INFO info = core.Info(PROPSHEETUI_REASON_INIT);
    if (FAILED(plugin->DocumentPropertySheets(&info, 0)) || core.pages.size() != PLUGIN_PAGE_COUNT) {
        *error = L"the plug-in added " + std::to_wstring(core.pages.size()) + L" pages";
        return false;
    }

    // The real sheet: every page made by showing it, then OK, then the sheet destroyed.
    if (idlePages) {
        for (PROPSHEETPAGEW& page : core.pages) {
            page.pfnDlgProc = IdlePageProc;
            page.lParam = 0;
        }
    }
    if (core.OpenSheet() == nullptr) {
        *error = L"comctl32 made no property sheet";
        return false;
    }
    for (size_t page = 0; page < core.pages.size(); ++page) core.ShowPage(page);
    core.Press(PSBTN_OK);
    core.CloseSheet();

    info.Reason = PROPSHEETUI_REASON_DESTROY;
    plugin->DocumentPropertySheets(&info, 0);
    return true;
}

}  // namespace

bool RunSheetSoak(const std::wstring& dllPath, const SoakOptions& options, FILE* log, SoakReport* report,
                  std::wstring* error)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const ObjectCensus census;
    report->gdiSource = census.gdiSource();
    report->userSource = census.userSource();
    report->memorySource = census.memorySource();

    HostSession session;
    if (!session.Open(dllPath, nullptr, log, error)) return false;
    report->samples.push_back(Sample(census, 0));
    for (int sheet = 1; sheet <= options.sheets; ++sheet) {
        if (!OpenAndCloseSheet(session.plugin(), session.module(), options.idlePages, error)) {
            *error = L"sheet " + std::to_wstring(sheet) + L": " + *error;
            return false;
        }
        report->samples.push_back(Sample(census, sheet));
    }
    session.ReleasePlugin();
    if (session.helperReferences() != 1) {
        *error = L"the plug-in kept " + std::to_wstring(session.helperReferences() - 1) +
                 L" references to the driver helper";
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

namespace {

// orlinhost soak's own options. False once the usage is on standard error.
bool ParseSoakOptions(int argc, wchar_t** argv, SoakOptions* options, std::wstring* dll)
{
    for (int i = 2; i < argc; ++i) {
        const std::wstring word = argv[i];
        if (word == L"--sheets" && i + 1 < argc) {
            options->sheets = _wtoi(argv[++i]);
        } else if (word == L"--idle-pages") {
            options->idlePages = true;
        } else if (word == L"--dll" && i + 1 < argc) {
            *dll = argv[++i];
        } else {
            fwprintf(stderr, L"usage: orlinhost soak [--sheets N] [--idle-pages] [--dll PATH]\n");
            return false;
        }
    }
    if (options->sheets >= 1) return true;
    fwprintf(stderr, L"orlinhost: --sheets needs a count of at least 1\n");
    return false;
}

// The first ten samples, then about twenty more across the run, and the last.
void PrintSamples(const SoakReport& report, int sheets)
{
    wprintf(L"  GDI objects:   %ls\n  USER objects:  %ls\n  private bytes: %ls\n", report.gdiSource.c_str(),
            report.userSource.c_str(), report.memorySource.c_str());
    wprintf(L"  %6ls %6ls %6ls %12ls\n", L"sheet", L"GDI", L"USER", L"private KiB");
    const int step = sheets >= 20 ? sheets / 20 : 1;
    for (const SoakSample& sample : report.samples) {
        if (sample.sheet > 10 && sample.sheet % step != 0 && sample.sheet != sheets) continue;
        wprintf(L"  %6d %6lu %6lu %12lu\n", sample.sheet, static_cast<unsigned long>(sample.gdiObjects),
                static_cast<unsigned long>(sample.userObjects), static_cast<unsigned long>(sample.privateBytes / 1024));
    }
}

// The most each counter grew over its warm-up peak, after the warm-up.
void PrintGrowth(const SoakReport& report, const SoakTolerance& tolerance)
{
    const SoakSample peak = WarmUpPeak(report, tolerance.warmUpSheets);
    SoakSample highest = peak;
    for (const SoakSample& sample : report.samples) {
        if (sample.sheet <= tolerance.warmUpSheets) continue;
        highest.gdiObjects = std::max(highest.gdiObjects, sample.gdiObjects);
        highest.userObjects = std::max(highest.userObjects, sample.userObjects);
        highest.privateBytes = std::max(highest.privateBytes, sample.privateBytes);
    }
    const SoakSample& last = report.samples.back();
    if (last.sheet <= peak.sheet) return;
    wprintf(L"  sheets %d to %d against the peak of sheets 1 to %d: GDI %+ld, USER %+ld, private %+lld KiB at most\n",
            peak.sheet + 1, last.sheet, peak.sheet,
            static_cast<long>(highest.gdiObjects) - static_cast<long>(peak.gdiObjects),
            static_cast<long>(highest.userObjects) - static_cast<long>(peak.userObjects),
            (static_cast<long long>(highest.privateBytes) - static_cast<long long>(peak.privateBytes)) / 1024);
}

}  // namespace

int RunSoakCommand(int argc, wchar_t** argv)
{
    SoakOptions options;
    std::wstring dll = PluginPath(L"");
    if (!ParseSoakOptions(argc, argv, &options, &dll)) return 2;
    SoakReport report;
    std::wstring error;
    if (!RunSheetSoak(dll, options, stdout, &report, &error)) {
        fwprintf(stderr, L"orlinhost soak: %ls\n", error.c_str());
        return 2;
    }
    wprintf(L"Soak: %d document sheets of %ls (%d-bit), a plug-in heap per sheet%ls\n", options.sheets, dll.c_str(),
            static_cast<int>(sizeof(void*) * 8), options.idlePages ? L", pages that do nothing (control)" : L"");
    PrintSamples(report, options.sheets);
    const SoakTolerance tolerance;
    PrintGrowth(report, tolerance);
    std::wstring why;
    if (!SoakIsFlat(report, tolerance, &why)) {
        wprintf(L"  GREW %ls\n", why.c_str());
        return 1;
    }
    wprintf(L"  flat (no GDI or USER object more, private bytes within %lu KiB)\n",
            static_cast<unsigned long>(tolerance.privateBytes / 1024));
    return 0;
}
