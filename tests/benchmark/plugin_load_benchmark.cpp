// What the driver pays to reach the plug-in: loading the DLL, its class factory and object, and the
// devmode defaults it asks for with every new devmode, measured side by side against the floor of
// loading and freeing the same DLL and nothing else; and the pages made and drawn in English, in
// Japanese and in the pseudo-language, side by side. Not a test: it reports figures.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "benchmark_clock.h"
#include "emulation/driver_core.h"
#include "emulation/loaded_plugin.h"
#include "emulation/ui_language.h"
#include "emulation/virtual_printer.h"
#include "resources/resource_ids.h"

namespace {

constexpr int CALLS = 200;
constexpr int ROUNDS = 5;

// Microseconds per call of one batch of CALLS calls; negative when a call failed.
double PerCall(const std::function<bool()>& call)
{
    const double start = Seconds();
    for (int i = 0; i < CALLS; ++i) {
        if (!call()) return -1;
    }
    return (Seconds() - start) * 1e6 / CALLS;
}

// Best of ROUNDS for each measurement, the measurements taking turns within every round so that
// the machine's drift reaches all of them alike. False when a call failed.
bool SideBySide(const std::vector<std::function<bool()>>& calls, std::vector<double>* best)
{
    best->assign(calls.size(), 0);
    for (int round = 0; round < ROUNDS; ++round) {
        for (size_t i = 0; i < calls.size(); ++i) {
            const double us = PerCall(calls[i]);
            if (us < 0) return false;
            if (round == 0 || us < (*best)[i]) (*best)[i] = us;
        }
    }
    return true;
}

// The devmode defaults as the driver asks for them: size first, then the section.
bool Defaults(IPrintOemUI* plugin, HMODULE module, HANDLE printer)
{
    BYTE section[64] = {};
    OEMDMPARAM param = DriverCoreStandIn::DevModeRecord(printer, module);
    if (FAILED(plugin->DevMode(OEMDM_SIZE, &param)) || param.cbBufSize > sizeof(section)) return false;
    param.pOEMDMOut = section;
    return SUCCEEDED(plugin->DevMode(OEMDM_DEFAULT, &param));
}

INT_PTR CALLBACK QuietPage(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// The five pages made from their templates, drawn once and destroyed, as the sheet shows them, in
// the thread's UI language.
bool MakePages(HMODULE module, HWND sheet)
{
    for (int page : {IDD_PRINT_MODE_PAGE, IDD_INK_LEVEL_PAGE, IDD_UTILITIES_PAGE, IDD_PURGE_PAGE, IDD_ABOUT_PAGE}) {
        HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(page), sheet, QuietPage, 0);
        if (dialog == nullptr) return false;
        ShowWindow(dialog, SW_SHOWNA);
        UpdateWindow(dialog);
        DestroyWindow(dialog);
    }
    return true;
}

// Page making per language, from the test copy of the DLL that carries the pseudo-language too.
// Each language is measured with the thread's UI language set to it, taking turns round by round.
int MeasurePagesPerLanguage()
{
    const std::wstring path = ProgramFolder() + L"orlinui_pseudo.dll";
    LoadedModule module(path.c_str());
    HWND sheet = CreateWindowExW(0, L"Static", L"sheet", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    if (module.get() == nullptr || sheet == nullptr) {
        std::fprintf(stderr, "cannot load %ls\n", path.c_str());
        return 1;
    }
    const struct {
        const char* name;
        LANGID language;
    } languages[] = {{"English (en-US)", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)},
                     {"Japanese (ja-JP)", MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN)},
                     {"pseudo (qps-ploc)", PSEUDO_LANGUAGE}};
    double best[3] = {};
    for (int round = 0; round < ROUNDS; ++round) {
        for (size_t i = 0; i < 3; ++i) {
            const ThreadUiLanguage language(languages[i].language);
            const double us = PerCall([&] { return MakePages(module.get(), sheet); });
            if (us < 0) return 1;
            if (round == 0 || us < best[i]) best[i] = us;
        }
    }
    DestroyWindow(sheet);
    std::printf("%d-bit, the five pages made, drawn and destroyed, best of %d rounds of %d:\n",
                static_cast<int>(sizeof(void*) * 8), ROUNDS, CALLS);
    for (size_t i = 0; i < 3; ++i)
        std::printf("  %-18s %8.1f us  x%.2f English\n", languages[i].name, best[i], best[i] / best[0]);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--pages") return MeasurePagesPerLanguage();
    const std::wstring path = ProgramFolder() + L"orlinui.dll";
    // The driver's calls carry a printer handle; the virtual printer's makes the Offset read real.
    HANDLE printer = nullptr;
    const bool realPrinter = OpenPrinterW(const_cast<LPWSTR>(VIRTUAL_PRINTER_NAME), &printer, nullptr) != 0;

    // The steps after loading are timed on a copy that stays loaded, so that the original is
    // really loaded and freed by every call of the first two measurements.
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring copy = std::wstring(temp) + L"orlinui-benchmark.dll";
    CopyFileW(path.c_str(), copy.c_str(), FALSE);
    auto loaded = std::make_unique<LoadedModule>(copy.c_str());
    IPrintOemUI* plugin = nullptr;
    if (loaded->get() == nullptr || FAILED(CreatePluginObject(*loaded, &plugin))) {
        std::fprintf(stderr, "cannot load %ls\n", copy.c_str());
        return 1;
    }
    std::vector<double> us;
    const bool ok = SideBySide({
                                   // The floor: load and free the DLL, nothing else.
                                   [&] {
                                       HMODULE module = LoadLibraryW(path.c_str());
                                       return module != nullptr && FreeLibrary(module);
                                   },
                                   [&] {
                                       LoadedModule module(path.c_str());
                                       IPrintOemUI* fresh = nullptr;
                                       if (FAILED(CreatePluginObject(module, &fresh))) return false;
                                       const bool defaults = Defaults(fresh, module.get(), printer);
                                       return fresh->Release() == 0 && defaults;
                                   },
                                   [&] {
                                       IPrintOemUI* fresh = nullptr;
                                       return SUCCEEDED(CreatePluginObject(*loaded, &fresh)) && fresh->Release() == 0;
                                   },
                                   [&] { return Defaults(plugin, loaded->get(), printer); },
                                   [&] { return Defaults(plugin, loaded->get(), nullptr); },
                               },
                               &us);
    plugin->Release();
    loaded.reset();
    DeleteFileW(copy.c_str());
    if (printer != nullptr) ClosePrinter(printer);
    if (!ok) {
        std::fprintf(stderr, "a call to %ls failed\n", path.c_str());
        return 1;
    }
    const double floorUs = us[0], startUpUs = us[1], objectUs = us[2], defaultsUs = us[3], defaultsAloneUs = us[4];

    std::printf("%d-bit, plug-in start-up per call, best of %d rounds of %d calls (printer handle: %s):\n",
                static_cast<int>(sizeof(void*) * 8), ROUNDS, CALLS, realPrinter ? "Wine's spooler" : "none");
    std::printf("  floor: LoadLibrary + FreeLibrary of the DLL          %8.1f us\n", floorUs);
    std::printf("  load, class factory, object, DevMode defaults, free  %8.1f us  x%.2f the floor\n", startUpUs,
                startUpUs / floorUs);
    std::printf("  class factory and object alone (DLL loaded)          %8.2f us\n", objectUs);
    std::printf("  DevMode size and defaults alone                       %8.2f us\n", defaultsUs);
    std::printf("    the same with no printer handle to read the Offset  %8.2f us\n", defaultsAloneUs);
    return 0;
}
