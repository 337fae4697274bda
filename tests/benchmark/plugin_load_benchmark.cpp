// What the driver pays to reach the plug-in: loading the DLL, its class factory and object, and the
// devmode defaults it asks for with every new devmode, measured side by side against the floor of
// loading and freeing the same DLL and nothing else. Not a test: it reports figures.
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
#include "emulation/virtual_printer.h"

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

}  // namespace

int main()
{
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
