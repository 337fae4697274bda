// The document property sheet opened and closed many times, as the driver's UI core does for each
// document-properties dialog: a plug-in heap per sheet, the plug-in's option items and pages, a
// real comctl32 property sheet showing every page, then the sheet destroyed and the heap with it.
// After each destroyed heap the process's GDI objects, USER objects and private bytes are sampled,
// so that anything the plug-in leaves behind outside its heap shows as growth.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

struct SoakSample {
    int sheet;  // 1-based number of the sheet just closed; 0 before the first
    DWORD gdiObjects;
    DWORD userObjects;
    SIZE_T privateBytes;
};

struct SoakReport {
    std::vector<SoakSample> samples;  // one before the first sheet, then one after each sheet
    // How each counter was read: the platform's own count, or this process's own census where
    // the platform does not answer (Wine answers 0 to GetGuiResources).
    std::wstring gdiSource, userSource, memorySource;
};

struct SoakOptions {
    int sheets = 500;
    // Control run: the same sheets with the plug-in's page procedures replaced by ones that do
    // nothing, so that what the platform's sheets themselves leave behind can be told apart.
    bool idlePages = false;
};

// Runs the sheets against the plug-in DLL at dllPath, its start-up calls reported on log. False,
// with the reason, when the plug-in could not be loaded or a sheet could not be made.
bool RunSheetSoak(const std::wstring& dllPath, const SoakOptions& options, FILE* log, SoakReport* report,
                  std::wstring* error);

// Growth limits for a flat run. The first sheets load fonts, classes and caches that later sheets
// reuse, so every later sample is held against the highest one of the warm-up.
struct SoakTolerance {
    int warmUpSheets = 10;
    long gdiObjects = 0;
    long userObjects = 0;
    SIZE_T privateBytes = 512 * 1024;
};

// Per counter, the highest sample of the warm-up sheets (sheet number: the last of them).
SoakSample WarmUpPeak(const SoakReport& report, int warmUpSheets);

// True when no sample after the warm-up exceeds its peak by more than the tolerance; why names
// the first that did.
bool SoakIsFlat(const SoakReport& report, const SoakTolerance& tolerance, std::wstring* why);

// orlinhost soak [--sheets N] [--idle-pages] [--dll PATH]: prints the samples and the verdict.
// Exit code 0 flat, 1 grew, 2 could not run.
int RunSoakCommand(int argc, wchar_t** argv);
